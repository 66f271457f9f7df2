#!/usr/bin/env bash
# Builds the program and starts it in examples/, where the first file
# dialog opens. Installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
install_missing cmake make g++ qt6-base-dev
cmake -S . -B build
cmake --build build --target kartenauswertung -j"$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: start this from a desktop session (or under xvfb-run)." >&2
  exit 1
fi
cd examples
exec ../build/src/kartenauswertung
