#!/usr/bin/env bash
# Builds the libFuzzer targets (the `fuzz` preset, clang with ASan and UBSan)
# and runs one or all of them for a given time each.
#
#   scripts/fuzz.sh [TARGET|all] [SECONDS]     default: all, 60 seconds each
#   scripts/fuzz.sh list                        the targets
#
# Seeds come from fuzz/corpus/<target>/ and are never written to; what the
# fuzzer adds goes to build/fuzz/corpus/<target>/, findings (crashing inputs)
# to build/fuzz/findings/<target>/. Replay one with: build/fuzz/bin/<target> FILE
# FUZZ_JOBS=N runs N targets at once (default 1); FUZZ_ARGS adds libFuzzer flags.
set -euo pipefail
cd "$(dirname "$0")/.."

target=${1:-all}
seconds=${2:-60}
build=build/fuzz
targets=(fuzz_devmode_tag fuzz_bounded_string fuzz_version_override fuzz_ticket_parser fuzz_read_ticket)

if [ "$target" = list ]; then printf '%s\n' "${targets[@]}"; exit 0; fi
if [ "$target" != all ]; then
  found=0
  for t in "${targets[@]}"; do [ "$t" = "$target" ] && found=1; done
  [ $found = 1 ] || { echo "unknown fuzz target: $target (try: $0 list)" >&2; exit 2; }
  targets=("$target")
fi

cmake --preset fuzz >/dev/null
cmake --build "$build" --target "${targets[@]}" -j "$(nproc)" >/dev/null

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_one() {
  local t=$1 log=$build/findings/$1.log
  mkdir -p "$build/corpus/$t" "$build/findings/$t"
  local dict=()
  [ -f "fuzz/dict/$t.dict" ] && dict=(-dict="fuzz/dict/$t.dict")
  if "$build/bin/$t" "$build/corpus/$t" "fuzz/corpus/$t" "${dict[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$t/" ${FUZZ_ARGS:-} >"$log" 2>&1; then
    local runs cov
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || true)
    echo "fuzz: $t: ${seconds}s, ${runs:-?} runs, coverage ${cov:-?}, no finding"
  else
    echo "fuzz: $t: FINDING (see $log and $build/findings/$t/)"
    grep -E 'ERROR|SUMMARY|runtime error|deadly signal' "$log" | head -5
    return 1
  fi
}

failed=0
jobs=${FUZZ_JOBS:-1}
if [ "$jobs" -le 1 ]; then
  for t in "${targets[@]}"; do run_one "$t" || failed=1; done
else
  pids=()
  for t in "${targets[@]}"; do
    run_one "$t" & pids+=($!)
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 1; done
  done
  for p in "${pids[@]}"; do wait "$p" || failed=1; done
fi
exit $failed
