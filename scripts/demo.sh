#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on a shipped
# example: the transient response of a feedback loop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEMO_TESTS=OFF -DVEMO_BENCH=OFF >/dev/null
cmake --build build --target vemo-cli
echo "Transient response of examples/feedback_loop.vmo (time, output A, error B):"
./build/bin/vemo-cli simulate examples/feedback_loop.vmo | awk 'NR % 50 == 1'
