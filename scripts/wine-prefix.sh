#!/usr/bin/env bash
# Makes a fresh Wine prefix for the windows-x64 build (build/windows-x64/
# wine-prefix, see scripts/wine-env.sh) with the stand-in driver installed as
# a real printer driver and the printers "Standin Printer" and "Standin
# Restricted" on port "FILE:". Needs the windows-x64 build (standin_driver.dll
# and setup_printers.exe in its bin folder).
#
# It starts a persistent wineserver for the prefix, so that each later Wine
# process starts in a fraction of a second; stop it with
#   scripts/wine-prefix.sh --stop
# (CONVERTAPI_WINESERVER_PERSIST=<seconds> makes it end by itself instead,
# that many seconds after the last Wine process.)
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

if [ "${1:-}" == "--stop" ]; then
  "$WINESERVER" -k 2>/dev/null || true
  exit 0
fi

bin=$CONVERTAPI_WINE_BUILD/bin
driver=$bin/standin_driver.dll
setup=$bin/setup_printers.exe
for file in "$driver" "$setup"; do
  if [ ! -f "$file" ]; then
    echo "wine-prefix.sh: $file is missing; build the windows-x64 preset first" >&2
    exit 1
  fi
done

log=$CONVERTAPI_WINE_BUILD/wine-prefix.log
# A server of an earlier prefix at this path would keep its old registry.
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w 2>/dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# The launcher stops waiting for wineboot after a while (a busy machine, or a
# 32-bit half set up under qemu): wait for the server, which ends after the
# last process, before anything uses the prefix.
"$WINE" wineboot -i >"$log" 2>&1 || true
"$WINESERVER" -w
# (Its own output goes nowhere: a caller such as ctest waits for its pipes.)
"$WINESERVER" -p${CONVERTAPI_WINESERVER_PERSIST:-} </dev/null >/dev/null 2>&1
# The prefix's drive Z: is the Linux root.
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }
if ! "$WINE" "$setup" "$(windows_path "$driver")" >>"$log" 2>&1; then
  echo "wine-prefix.sh: installing the stand-in printers failed; see $log" >&2
  tail -n 20 "$log" >&2
  exit 1
fi
touch "$CONVERTAPI_WINE_READY"
