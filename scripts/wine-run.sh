#!/usr/bin/env bash
# Runs a program of the windows-x64 build under Wine, in the build's prepared
# prefix (scripts/wine-prefix.sh), creating the prefix first if it is missing.
# The toolchain file names this script as CMAKE_CROSSCOMPILING_EMULATOR, so
# ctest runs every test program through it; by hand:
#   scripts/wine-run.sh build/windows-x64/bin/convertapi_scenario_tests.exe
#
# Before each run it brings the prefix's copy of the stand-in driver up to
# date with the build's, and applies the Wine exclusions of
# tests/windows/wine-exclusions.txt to a test program (as GTEST_FILTER, unless
# the caller chose a filter).
set -uo pipefail
if [ $# -lt 1 ]; then
  echo "usage: wine-run.sh <program.exe> [arguments]" >&2
  exit 2
fi
scripts=$(cd "$(dirname "$0")" && pwd)
program=$1

# The program's build folder owns the prefix: <build>/bin/<program>.exe.
if [ -z "${CONVERTAPI_WINE_BUILD:-}" ]; then
  build=$(cd "$(dirname "$program")/.." 2>/dev/null && pwd)
  if [ -n "$build" ] && [ -f "$build/CMakeCache.txt" ]; then
    export CONVERTAPI_WINE_BUILD=$build
  fi
fi
source "$scripts/wine-env.sh"

mkdir -p "$CONVERTAPI_WINE_BUILD"
(
  flock 9
  if [ ! -f "$CONVERTAPI_WINE_READY" ]; then
    # Made here rather than by scripts/test.sh: let the server end by itself.
    CONVERTAPI_WINESERVER_PERSIST=${CONVERTAPI_WINESERVER_PERSIST:-60} "$scripts/wine-prefix.sh" || exit 1
  fi
  # The spooler loads the driver from its own folder, not from the build.
  built=$CONVERTAPI_WINE_BUILD/bin/standin_driver.dll
  installed=$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3/standin_driver.dll
  if [ -f "$built" ] && ! cmp -s "$built" "$installed"; then
    # A new file, not rewritten in place: a running process may have it mapped.
    cp "$built" "$installed.new" && mv -f "$installed.new" "$installed"
  fi
) 9>"$CONVERTAPI_WINE_BUILD/wine-prefix.lock" || exit 1

# Keep a server running between the processes of one ctest run.
# (Its own output goes nowhere: a caller such as ctest waits for its pipes.)
"$WINESERVER" -p${CONVERTAPI_WINESERVER_PERSIST:-60} </dev/null >/dev/null 2>&1

name=$(basename "$program" .exe)
if [ -z "${GTEST_FILTER:-}" ] && ! printf '%s\n' "$@" | grep -q -- '^--gtest_filter'; then
  excluded=$(sed -e 's/#.*//' "$scripts/../tests/windows/wine-exclusions.txt" 2>/dev/null |
    awk -v name="$name" '$1 == name { printf "%s%s", sep, $2; sep = ":" }')
  if [ -n "$excluded" ]; then export GTEST_FILTER="-$excluded"; fi
fi

exec "$WINE" "$@"
