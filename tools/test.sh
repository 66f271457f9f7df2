#!/usr/bin/env bash
# Builds the program and runs every test, installing what is missing.
# The tests draw on Qt's offscreen platform and need no display.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
install_missing cmake make g++ qt6-base-dev libbenchmark-dev
cmake -S . -B build -DKARTE_WERROR=ON
cmake --build build -j"$(nproc)"
cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure
