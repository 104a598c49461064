#!/usr/bin/env bash
# The Windows stages of scripts/test.sh, also runnable alone:
#   1. windows-x86: the 32-bit product DLL, and the check of its export table
#      (names, ordinals, __stdcall argument bytes);
#   2. windows-x64: the same code built for 64 bits;
#   3. a fresh Wine prefix with the stand-in printers (scripts/wine-prefix.sh);
#   4. every test program of the windows-x64 build under Wine, in that
#      prefix, with one persistent wineserver, which is ended afterwards.
# The 32-bit DLL under 32-bit Wine is scripts/smoke-x86.sh: too slow for here.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

stage() {
  echo "== $1 (${SECONDS}s)"
}

stage "windows-x86 build"
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 -j "$jobs"
stage "windows-x86 export table"
tests/windows/check_exports.sh build/windows-x86

stage "windows-x64 build"
cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 -j "$jobs"

stage "Wine prefix"
unset CONVERTAPI_WINE_BUILD  # the preset's folder, build/windows-x64
source scripts/wine-env.sh
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT
scripts/wine-prefix.sh

stage "windows-x64 tests under Wine"
# One at a time: the programs share the prefix's registry and printers.
ctest --preset windows-x64
stage "Windows stages done"
