#!/usr/bin/env bash
# Sets up the machine, builds the host build's command-line tool and runs the
# demo: a sample ticket sent round ticket -> DEVMODEW -> ticket through the
# library and the stand-in printer driver, then the DEVMODEW in between.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# The build's own output only when it fails.
if ! { cmake --preset host && cmake --build --preset host --target convertapi_cli; } >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
tool=build/host/bin/convertapi
devmode=build/host/demo.devmode

echo "\$ convertapi roundtrip --ticket examples/tickets/sample.xml --devmode-out $devmode"
"$tool" roundtrip --ticket examples/tickets/sample.xml --devmode-out "$devmode"
echo
echo "\$ convertapi show-devmode $devmode"
"$tool" show-devmode "$devmode"
