#!/usr/bin/env bash
# Installs what is missing, checks the layout of the sources, builds the
# player with its tests and runs every test: the unit, window, end-to-end and
# soak suites; then the unit and window suites again in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer; then each fuzz target for a
# minute (tools/fuzz.sh). Fails if any of them does.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/setup.sh" --tests
failed=0
bash "$here/tools/check-format.sh" || failed=1
build="$here/build-test"
cmake -S "$here" -B "$build" -DCORVAN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300 || failed=1

# The end-to-end suite, the soak and the benchmarks measure real time; the
# sanitizers would only slow them down.
sanitized="$here/build-test-sanitize"
cmake -S "$here" -B "$sanitized" -DCORVAN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVAN_SANITIZE=ON -DCORVAN_BENCH=OFF >/dev/null
cmake --build "$sanitized" -j"$(nproc)"
ASAN_OPTIONS=detect_stack_use_after_return=1:strict_init_order=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions="$here/tools/lsan.supp":print_suppressions=0 \
  ctest --test-dir "$sanitized" --output-on-failure -j"$(nproc)" --timeout 600 -LE 'e2e|soak' || failed=1

bash "$here/tools/fuzz.sh" "$here/build-test-fuzz" 60 || failed=1
exit "$failed"
