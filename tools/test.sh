#!/usr/bin/env bash
# Builds the program and runs every test, installing what is missing.
# The tests draw on Qt's offscreen platform and need no display.
#  1. the normal build (gcc, warnings as errors) and its tests;
#  2. the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer,
#     failing on the first report;
#  3. the fuzz targets (clang, libFuzzer), each run briefly from its corpus
#     in fuzz/corpus/ so that they keep building and keep passing.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
install_missing cmake make g++ qt6-base-dev libbenchmark-dev clang libclang-rt-14-dev
jobs="$(nproc)"

cmake -S . -B build -DKARTE_WERROR=ON
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure)

cmake -S . -B build-asan -DKARTE_SANITIZE=ON -DKARTE_BENCH=OFF -DKARTE_WERROR=ON
cmake --build build-asan -j"$jobs"
(
  cd build-asan
  export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure
)

# FUZZ_SECONDS sets the time of each run (30 s here; hours for a real search).
cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DKARTE_WERROR=ON
cmake --build build-fuzz -j"$jobs"
for corpus in fuzz/corpus/*/; do
  name="$(basename "$corpus")"
  work="$(mktemp -d)" # new inputs stay out of the repository's corpus
  echo "fuzz_$name: ${FUZZ_SECONDS:-30} s"
  if ! build-fuzz/"fuzz_$name" -max_total_time="${FUZZ_SECONDS:-30}" -timeout=10 -rss_limit_mb=4096 \
      -malloc_limit_mb=2200 -print_final_stats=1 -artifact_prefix=build-fuzz/"$name"- \
      "$work" "$corpus" > "$work.log" 2>&1; then
    tail -n 60 "$work.log" >&2
    echo "fuzz_$name found a fault; the input is in build-fuzz/$name-*" >&2
    exit 1
  fi
  grep -E '^stat::number_of_executed_units' "$work.log"
  rm -rf "$work" "$work.log"
done
