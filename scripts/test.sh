#!/usr/bin/env bash
# Sets up the machine, then builds and runs every test: the host build, the
# 64-bit Windows build under Wine and the checks of the 32-bit product DLL.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

echo "== host build and tests"
cmake --preset host >/dev/null
cmake --build --preset host -j "$jobs"
ctest --preset host -j "$jobs"
