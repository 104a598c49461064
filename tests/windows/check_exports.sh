#!/usr/bin/env bash
# Checks the export table of a built convertapi.dll: exactly the nine names,
# undecorated, with ordinals 1 to 9 in the table's order. For the 32-bit DLL
# also the __stdcall argument bytes, read from the decoration the compiler
# gives the declarations of include/convertapi.h and from the import library
# that 32-bit callers link against.
# usage: tests/windows/check_exports.sh <build folder>   (e.g. build/windows-x86)
set -uo pipefail
build=${1:?usage: check_exports.sh <build folder>}
dll=$build/bin/convertapi.dll
implib=$build/lib/libconvertapi.dll.a
root=$(cd "$(dirname "$0")/../.." && pwd)

# name ordinal argument-bytes, in the table's order
expected="ConvertTicket 1 20
ConvertDevmode 2 20
InitializeConvertAPI 3 12
ReadTicket 4 24
ConvertTicketEx 5 24
ConvertDevModeEx 6 28
KillConvertAPI 7 16
GetConvertAPIVersion 8 4
GetConvertAPIVersionEx 9 8"

passed=0
failed=0
check() {  # check <what> <got> <want>
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL: %s\n  got:  %s\n  want: %s\n' "$1" "$2" "$3"
  fi
}

if [ ! -f "$dll" ]; then
  echo "FAIL: $dll is missing"
  echo "0 passed, 1 failed"
  exit 1
fi
case "$(x86_64-w64-mingw32-objdump -f "$dll")" in
  *pei-i386*) prefix=i686-w64-mingw32; bits=32 ;;
  *pei-x86-64*) prefix=x86_64-w64-mingw32; bits=64 ;;
  *) echo "FAIL: $dll is not a PE image"; echo "0 passed, 1 failed"; exit 1 ;;
esac

# "[   6] KillConvertAPI" in the name table counts from the ordinal base.
exports=$($prefix-objdump -p "$dll" | awk '
  /^Ordinal Base/ { base = $3 }
  /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
  names && /^[ \t]*$/ { names = 0 }
  names && match($0, /\[ *[0-9]+\]/) {
    n = substr($0, RSTART + 1, RLENGTH - 2) + 0
    print substr($0, RSTART + RLENGTH + 1), n + base
  }')
check "exported names and ordinals ($bits-bit)" "$(echo "$exports" | sort -k2n)" \
  "$(echo "$expected" | awk '{ print $1, $2 }')"

# The address table holds nine entries, none exported by ordinal only.
slots=$($prefix-objdump -p "$dll" | awk '/Export Address Table/ && NF == 4 && $1 == "Export" { print $4; exit }')
check "export address table entries" "$((16#${slots:-0}))" 9

if [ "$bits" == 32 ]; then
  # What the compiler makes of include/convertapi.h for a caller: _Name@bytes.
  # (The DLL's own definitions must carry the same decoration: the 32-bit
  # link resolves convertapi.def against them without stdcall fix-ups.)
  probe=$(mktemp -d)
  trap 'rm -rf "$probe"' EXIT
  {
    echo '#include "convertapi.h"'
    echo 'void *const used[] = {'
    echo "$expected" | awk '{ printf "    (void *)&%s,\n", $1 }'
    echo '};'
  } >"$probe/probe.cpp"
  $prefix-g++-posix -c -I"$root/include" "$probe/probe.cpp" -o "$probe/probe.o"
  referenced=$($prefix-nm --undefined-only "$probe/probe.o" | awk '$2 ~ /@[0-9]+$/ { print $2 }' | sort)
  want=$(echo "$expected" | awk '{ printf "_%s@%s\n", $1, $3 }' | sort)
  check "__stdcall argument bytes as callers compile them" "$referenced" "$want"
  # What a 32-bit caller links against: the decorated import symbols.
  imports=$($prefix-nm "$implib" 2>/dev/null | awk '$2 == "I" && $3 ~ /^__imp__.*@[0-9]+$/ { print $3 }' | sort)
  check "import library symbols" "$imports" "$(echo "$want" | sed 's/^/__imp_/')"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
