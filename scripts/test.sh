#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the
# normal build, then the same tests and the fuzz corpora under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)

# Every option the run needs is set here, whatever an earlier configuration
# of the same folder (the demo's, say) left in its cache; a folder without
# tests is an error, not a pass.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEMO_TESTS=ON -DVEMO_BENCH=ON \
  -DVEMO_SANITIZE=OFF -DVEMO_FUZZ=OFF >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEMO_TESTS=ON -DVEMO_BENCH=OFF \
  -DVEMO_SANITIZE=ON -DVEMO_FUZZ=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs"
