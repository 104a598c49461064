#!/usr/bin/env bash
# Builds and runs the benchmarks (bench/, docs/performance.md) and prints their
# report: the library's cost as a ratio of the floor, the calls that a
# conversion cannot do without, and of the library's heap.
#
#   scripts/bench.sh          the host build, then the windows-x64 build under Wine
#   scripts/bench.sh host     the host build only
#   scripts/bench.sh wine     the windows-x64 build under Wine only
#
# Build folders: build/bench-host and build/bench-win. Options after the first
# argument go to the benchmark program (on the host Google Benchmark's, for
# example --benchmark_filter=ConvertTicket).
set -euo pipefail
cd "$(dirname "$0")/.."
which=${1:-all}
[ $# -gt 0 ] && shift
case "$which" in
  all | host | wine) ;;
  *)
    echo "usage: scripts/bench.sh [all|host|wine] [benchmark options]" >&2
    exit 2
    ;;
esac
scripts/setup.sh
jobs=$(nproc)

# The builds' own output only when they fail.
build() {
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
}

if [ "$which" != wine ]; then
  echo "== host build (build/bench-host)"
  build cmake --preset host -B build/bench-host
  build cmake --build build/bench-host -j "$jobs" --target convertapi_bench
  build/bench-host/bin/convertapi_bench "$@"
fi

if [ "$which" != host ]; then
  echo "== windows-x64 build under Wine (build/bench-win)"
  build cmake --preset windows-x64 -B build/bench-win
  build cmake --build build/bench-win -j "$jobs" --target convertapi_bench setup_printers
  scripts/wine-run.sh build/bench-win/bin/convertapi_bench.exe "$@"
fi
