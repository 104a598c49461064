#!/usr/bin/env bash
# Sets up the machine, builds the host build and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset host >/dev/null
cmake --build --preset host --target convertapi_demo
build/host/bin/convertapi_demo
