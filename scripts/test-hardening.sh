#!/usr/bin/env bash
# The hardening stage of scripts/test.sh; also runs on its own (after
# scripts/setup.sh). In order:
#   1. the whole host suite built with AddressSanitizer and UBSan (preset asan)
#   2. the fault sweep under the sanitizers, with its failure points per sequence
#   3. valgrind memcheck over the scenario suite, the bad input tables and the
#      fault sweep: no definite or indirect leak, no invalid read or write
#   4. every fuzz target for FUZZ_SECONDS (default 20) seconds
# HOST_BUILD_DIR (default build/host, the host preset's folder) is where the
# valgrind runs take their programs from; scripts/test.sh has built it already.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
started=$SECONDS
stage() { echo "== hardening: $1 (at $((SECONDS - started)) s)"; }

stage "sanitizer build (preset asan)"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"

stage "host suite under ASan and UBSan"
ctest --preset asan -j "$jobs" -E '^convertapi_fault_sweep$'

stage "fault sweep under ASan and UBSan"
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
build/asan/bin/convertapi_fault_sweep --gtest_brief=1
unset ASAN_OPTIONS UBSAN_OPTIONS

stage "valgrind memcheck"
host=${HOST_BUILD_DIR:-build/host}
cmake --preset host -B "$host" >/dev/null
cmake --build "$host" -j "$jobs" --target convertapi_scenario_tests convertapi_bad_input convertapi_fault_sweep
memcheck=(valgrind --quiet --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect
          --errors-for-leak-kinds=definite,indirect)
for program in convertapi_scenario_tests convertapi_bad_input; do
  echo "valgrind: $program"
  "${memcheck[@]}" "$host/bin/$program" --gtest_brief=1
done
# The fault sweep replaces operator new; without this option valgrind would
# put its own in place and no allocation fault would reach the library. Its
# counts were printed above; here only a failure is shown.
echo "valgrind: convertapi_fault_sweep"
log=$host/valgrind-fault-sweep.log
if ! "${memcheck[@]}" --soname-synonyms=somalloc=nouserintercepts "$host/bin/convertapi_fault_sweep" \
    --gtest_brief=1 >"$log" 2>&1; then
  grep -v '^fault sweep:' "$log"
  exit 1
fi

stage "fuzzing, ${FUZZ_SECONDS:-20} s per target"
FUZZ_JOBS=${FUZZ_JOBS:-$jobs} scripts/fuzz.sh all "${FUZZ_SECONDS:-20}"

stage "done"
