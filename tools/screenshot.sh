#!/usr/bin/env bash
# Renews docs/screenshot.png (the example map loaded with its calibration,
# the example summit list and the example track) under a virtual display and
# writes the practice map examples/uebungskarte.bmp.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
install_missing cmake make g++ qt6-base-dev xvfb xauth
cmake -S . -B build
cmake --build build --target kartescreenshot -j"$(nproc)"
QT_QPA_PLATFORM=offscreen build/tools/screenshot/kartescreenshot --map examples/uebungskarte.bmp
xvfb-run -a -s "-screen 0 1400x900x24" build/tools/screenshot/kartescreenshot \
    --karte examples/beispielkarte.bmp --gipfel examples/gipfelliste.txt --track examples/track.txt \
    --zoom 1 --scroll 780 480 docs/screenshot.png
xvfb-run -a -s "-screen 0 1400x900x24" build/tools/screenshot/kartescreenshot \
    --karte examples/beispielkarte.bmp --gipfel examples/gipfelliste.txt --track examples/track.txt \
    --zoom 1 --scroll 780 480 --dialoge docs/dialogs.png
