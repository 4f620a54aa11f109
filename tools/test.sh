#!/usr/bin/env bash
# Installs what is missing, builds the player with its tests and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/setup.sh"
build="$here/build-test"
cmake -S "$here" -B "$build" -DCORVAN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300
