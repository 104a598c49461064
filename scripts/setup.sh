#!/usr/bin/env bash
# Installs every Debian package that the builds and tests need. Safe to run
# again: apt skips what is already there. Packages and why each is here:
#   cmake, ninja-build, g++       host build
#   googletest, libgtest-dev      unit and scenario tests
#   libbenchmark-dev              benchmarks
#   librapidxml-dev               XML parser of the stand-in ticket library (header-only, builds with mingw too)
#   libcli11-dev                  argument parser of the command-line tool (header-only)
#   g++-mingw-w64-i686            the 32-bit product DLL
#   g++-mingw-w64-x86-64          the 64-bit build that runs under Wine
#   wine64, wine                  runs the 64-bit tests against a real Win32 implementation
#   binutils-mingw-w64-*          objdump for the export-table check
#   valgrind                      leak checks (scripts/test-hardening.sh)
#   clang                         the fuzz preset: the libFuzzer targets build with clang
#   libclang-rt-14-dev            clang's runtimes: libFuzzer and the sanitizers
#   llvm                          llvm-symbolizer: sanitizer and fuzzer reports with source lines
# With --x86-smoke, also what scripts/smoke-x86.sh needs (not scripts/test.sh:
# it brings the i386 architecture and about 200 packages):
#   wine32:i386                   the 32-bit Wine, to run the 32-bit product DLL
#   qemu-user-static              runs that i386 code, which this machine cannot execute itself
set -euo pipefail
packages=(
  cmake ninja-build g++ make
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  librapidxml-dev libcli11-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64
  valgrind
  clang libclang-rt-14-dev llvm
)
if [ "${1:-}" == "--x86-smoke" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $([ "$(id -u)" -ne 0 ] && echo sudo) dpkg --add-architecture i386
  fi
  packages+=(wine32:i386 qemu-user-static)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
