#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check-dll.sh DLL: the DLL exports exactly VSTPluginMain and main (one
# function under two names) and imports only Windows system libraries, so a
# user needs nothing beside it.
set -euo pipefail
export LC_ALL=C
dll=$1
dump=$(x86_64-w64-mingw32-objdump -p "$dll")

names=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' |
  sort | tr '\n' ' ')
if [[ "$names" != "VSTPluginMain main " ]]; then
  echo "exported names: '$names' (want VSTPluginMain and main)"
  exit 1
fi
# Both names point at one address.
addresses=$(sed -n 's/.*\] \([0-9a-f]*\) Export RVA$/\1/p' <<<"$dump" | sort -u | wc -l)
if [[ "$addresses" != 1 ]]; then
  echo "$addresses distinct export addresses (want one function under two names)"
  exit 1
fi

system='^(KERNEL32|USER32|GDI32|COMDLG32|ADVAPI32|SHELL32|msvcrt)\.dll$'
imports=$(sed -n 's/.*DLL Name: //p' <<<"$dump")
bad=$(grep -Eiv "$system" <<<"$imports" || true)
if [[ -n "$bad" ]]; then
  echo "imports non-system libraries: $bad"
  exit 1
fi
echo "exports: $names; imports: $(tr '\n' ' ' <<<"$imports")"
