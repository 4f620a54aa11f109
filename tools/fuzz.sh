#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs each for a bounded
# time, starting from its committed seed corpus (fuzz/corpus/TARGET). The
# targets run side by side, so the whole run takes SECONDS plus the build.
#
#   fuzz.sh BUILD_FOLDER [SECONDS]     (default 60; 0 only builds)
#
# A crash, a sanitizer report or a wrong answer stops that target; its input
# is kept as BUILD_FOLDER/fuzz-findings/TARGET/crash-* and the script fails.
# New inputs that reach new code go to BUILD_FOLDER/fuzz-findings/TARGET/
# corpus, never into the committed seeds.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: fuzz.sh BUILD_FOLDER [SECONDS]}
seconds=${2:-60}
targets=(fuzz_playlist_file fuzz_m3u fuzz_pls fuzz_pattern fuzz_region_scan fuzz_gif_decoder)

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DCORVAN_FUZZ=ON -DCORVAN_SANITIZE=ON \
  -DCORVAN_TESTS=OFF -DCORVAN_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
[ "$seconds" -gt 0 ] || exit 0

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

pids=()
for target in "${targets[@]}"; do
  seeds=$here/fuzz/corpus/${target#fuzz_}
  out=$build/fuzz-findings/$target
  rm -rf "$out"
  mkdir -p "$out/corpus"
  "$build/fuzz/$target" "$out/corpus" "$seeds" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 -artifact_prefix="$out/" \
    >"$out/log.txt" 2>&1 &
  pids+=($!)
done

passed=0
failed=0
for i in "${!targets[@]}"; do
  target=${targets[$i]}
  log=$build/fuzz-findings/$target/log.txt
  if wait "${pids[$i]}"; then
    passed=$((passed + 1))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$target: ${runs:-?} inputs in ${seconds} s, no finding"
  else
    failed=$((failed + 1))
    echo "$target: FAILED; the input that failed and the log are in $(dirname "$log")"
    grep -E 'ERROR|SUMMARY|deadly|Test unit written' "$log" | head -n 10 || true
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
