#!/usr/bin/env bash
# Installs what is missing, builds the player and starts it in the current folder.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/setup.sh"
cmake -S "$here" -B "$here/build" -DCORVAN_TESTS=OFF -DCORVAN_BENCH=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build" -j"$(nproc)"
exec "$here/build/corvan-player"
