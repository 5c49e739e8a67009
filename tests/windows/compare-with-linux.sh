#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# compare-with-linux.sh NATIVE_BUILD WINDOWS_BUILD OUT: the DLL under wine
# against the Linux plug-in of the same tree.
# - vsthost's description (identity, pins, parameters, programs, capabilities)
#   is the same text;
# - renders of a generated input through programs 0, 12 and 36 agree within
#   TOLERANCE (the two C libraries' maths functions may round differently);
# - the bank and program chunks are byte-identical, and each build loads the
#   other's and reads it back unchanged.
set -uo pipefail
native=$1 win=$2 out=$3
TOLERANCE=${TOLERANCE:-1e-6}
probe=$native/tools/vsthost/vstprobe
so=$native/plugin/ovinta.so
rm -rf "$out"; mkdir -p "$out/linux" "$out/windows"
cd "$win"
fail=0
check() { # check NAME COMMAND...: runs it, prints its output, counts a failure
  local name=$1; shift
  local text; text=$("$@" 2>&1); local status=$?
  printf '%s: %s\n' "$name" "${text//$'\n'/; }"
  [[ $status == 0 ]] || { echo "FAILED: $name"; fail=1; }
}

"$native/tools/vsthost/vsthost" "$so" > "$out/linux/description.txt"
wine vsthost.exe ovinta.dll | tr -d '\r' > "$out/windows/description.txt"
check "description" diff "$out/linux/description.txt" "$out/windows/description.txt"

for program in 0 12 36; do
  "$probe" render "$so" "$program" "$out/linux/render-$program.f32"
  wine vstprobe.exe render ovinta.dll "$program" "$out/windows/render-$program.f32"
  check "render of program $program" "$probe" compare "$out/linux/render-$program.f32" \
    "$out/windows/render-$program.f32" "$TOLERANCE"
done

"$probe" chunks "$so" "$out/linux"
wine vstprobe.exe chunks ovinta.dll "$out/windows"
for f in bank program-0 program-12 program-36; do
  check "$f chunk byte-identical" cmp "$out/linux/$f.bin" "$out/windows/$f.bin"
done
check "Linux chunks loaded by the DLL" wine vstprobe.exe reload ovinta.dll "$out/linux"
check "DLL chunks loaded by Linux" "$probe" reload "$so" "$out/windows"
exit $fail
