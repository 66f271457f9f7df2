#!/usr/bin/env bash
# Renews docs/screenshot.png under a virtual display and writes the
# practice map examples/uebungskarte.bmp.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
install_missing cmake make g++ qt6-base-dev xvfb xauth
cmake -S . -B build
cmake --build build --target kartescreenshot -j"$(nproc)"
QT_QPA_PLATFORM=offscreen build/tools/screenshot/kartescreenshot --map examples/uebungskarte.bmp
xvfb-run -a -s "-screen 0 1280x800x24" build/tools/screenshot/kartescreenshot docs/screenshot.png
