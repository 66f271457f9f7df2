#!/usr/bin/env bash
# Builds the program and runs every test, installing what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
need=()
for p in cmake g++ qt6-base-dev libbenchmark-dev; do
  dpkg -s "$p" >/dev/null 2>&1 || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}"
fi
cmake -S . -B build -DKARTE_WERROR=ON
cmake --build build -j"$(nproc)"
cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure
