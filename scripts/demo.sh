#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on a shipped
# example, the transient response of a feedback loop: in the desktop program
# when a display is present, otherwise as a PNG plot written by the batch
# program. The demo builds in a folder of its own (build-demo), so that it
# and scripts/test.sh (build, build-asan) never reconfigure each other.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEMO_TESTS=OFF -DVEMO_BENCH=OFF \
  -DVEMO_SANITIZE=OFF -DVEMO_FUZZ=OFF >/dev/null
cmake --build build-demo
example=examples/feedback_loop.vmo
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build-demo/bin/vemo ]; then
  echo "Opening $example in the desktop program (F9: transient response)."
  exec ./build-demo/bin/vemo "$example"
fi
echo "Transient response of $example (time, output A, error B):"
./build-demo/bin/vemo-cli simulate "$example" | awk 'NR % 50 == 1'
./build-demo/bin/vemo-cli simulate "$example" --plot build-demo/feedback_loop.png
echo "Plot of the same response written to $(pwd)/build-demo/feedback_loop.png"
