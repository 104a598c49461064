#!/usr/bin/env bash
# The 32-bit smoke run: the real product DLL of the windows-x86 build under
# 32-bit Wine, on the 32-bit stand-in driver installed as "Standin Printer".
# One program (tests/windows/smoke_x86.cpp) goes through InitializeConvertAPI,
# GetConvertAPIVersionEx, ConvertDevModeEx, ReadTicket, ConvertTicketEx and
# KillConvertAPI and checks the results and the registry afterwards.
#
# This machine cannot execute i386 code, so the 32-bit Wine runs under qemu
# user emulation (registered with binfmt_misc here, which needs root). It is
# slow: a new 32-bit prefix takes 3 minutes on an idle machine and up to 45
# on a busy one (it is kept for the next run in build/windows-x86/wine-prefix;
# --fresh makes a new one), and each 32-bit process a minute or more. Not part
# of scripts/test.sh for that reason (docs/windows.md).
# usage: scripts/smoke-x86.sh [--fresh]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
build=$repo/build/windows-x86

stage() { echo "== $1 (${SECONDS}s)"; }

stage "packages"
scripts/setup.sh --x86-smoke

stage "qemu for i386 code"
binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/register" ]; then
  mount -t binfmt_misc binfmt_misc "$binfmt"
fi
registered=0
if [ ! -e "$binfmt/qemu-i386" ]; then
  registered=1
  # i386 ELF files (executables and shared objects) go to qemu; Debian ships
  # no rule for them on amd64, where they would normally run natively. "F"
  # opens the interpreter at registration, so it is found from any root.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf '%s' ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" >"$binfmt/register"
fi
# Only for this run: with the rule in place, every new 64-bit prefix also
# sets up its 32-bit half under qemu (minutes instead of seconds).
unregister() { if [ "$registered" == 1 ]; then echo -1 >"$binfmt/qemu-i386"; fi; }
trap unregister EXIT

stage "windows-x86 build"
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 -j "$(nproc)" --target convertapi standin_driver standin_ticketlib
cxx=(i686-w64-mingw32-g++-posix -std=c++17 -O1 -Wall -municode -static
  -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I"$repo" -I"$repo/include")
"${cxx[@]}" -o "$build/bin/setup_printers.exe" tests/windows/setup_printers.cpp -lwinspool
"${cxx[@]}" -o "$build/bin/smoke_x86.exe" tests/windows/smoke_x86.cpp tests/support/wine_import_patch.cpp \
  "$build/lib/libconvertapi.dll.a" -lwinspool -ladvapi32 -lole32

export WINEPREFIX=$build/wine-prefix
export WINEARCH=win32
export WINEDEBUG=-all
# As in scripts/wine-env.sh: no Mono, no Gecko, no menus, no desktop process.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;explorer.exe=d"
WINE=/usr/lib/wine/wine  # the 32-bit loader
WINESERVER=/usr/lib/wine/wineserver
windows_path() { local path=$1; echo "Z:${path//\//\\}"; }
trap '"$WINESERVER" -k 2>/dev/null || true; unregister' EXIT

if [ "${1:-}" == "--fresh" ] || [ ! -f "$WINEPREFIX/.convertapi-ready" ]; then
  stage "32-bit Wine prefix"
  "$WINESERVER" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # The launcher stops waiting for wineboot after a while, and under qemu
  # wineboot takes longer: wait for the server, which ends after its last
  # process, before anything uses the prefix.
  "$WINE" wineboot -i >"$build/wine-prefix.log" 2>&1 || true
  "$WINESERVER" -w
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
  "$WINE" "$build/bin/setup_printers.exe" "$(windows_path "$build/bin/standin_driver.dll")" >>"$build/wine-prefix.log" 2>&1
  touch "$WINEPREFIX/.convertapi-ready"
else
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
  # The spooler loads the driver from its own folder: bring it up to date.
  cp "$build/bin/standin_driver.dll" "$WINEPREFIX/drive_c/windows/system32/spool/drivers/w32x86/3/standin_driver.dll"
fi

stage "smoke run"
"$WINE" "$build/bin/smoke_x86.exe" "$(windows_path "$repo/tests/data/tickets/flat.xml")"
stage "done"
