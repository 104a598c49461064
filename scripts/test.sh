#!/usr/bin/env bash
# Sets up the machine, then builds and runs every test: the host build, the
# Windows builds (the 32-bit product DLL's checks and the 64-bit build under
# Wine) and the hardening runs (sanitizers, fault sweeps, valgrind, fuzzing).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

echo "== host build and tests"
cmake --preset host >/dev/null
cmake --build --preset host -j "$jobs"
ctest --preset host -j "$jobs"

# Each further stage has a script of its own, so it can also be run alone.
for stage in scripts/test-windows.sh scripts/test-hardening.sh; do
  if [ -x "$stage" ]; then
    echo "== $stage"
    "$stage"
  fi
done
echo "== all tests passed"
