#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# editor-under-wine.sh NATIVE_BUILD WINDOWS_BUILD OUT: the DLL's editor in a
# Windows host under wine, on the X server in $DISPLAY (build-windows.sh runs
# the tests on a virtual one). wineditorhost opens the editor in its window;
# this script compares a screenshot of it with the Linux editor's picture,
# drags the Gain knob with real pointer events (xdotool) and lets the host
# check what reached it and close/reopen.
set -uo pipefail
native=$1 win=$2 out=$3
rm -rf "$out"; mkdir -p "$out"
out=$(cd "$out" && pwd)
# The Linux pictures after enough idles for the room to be traced completely,
# as in the host window, which idles for a few seconds before the screenshot.
# The source and listener rings pulse one step per draw, through 16 steps, so
# the live window can be at any of 16 frames: one picture per frame.
for n in $(seq 300 315); do
  "$native/tools/editor-snapshot/editor-snapshot" "$out/linux-$n.png" 0 --idles "$n" > /dev/null || exit 1
done

if [[ -z ${DISPLAY:-} ]]; then echo "no X server (DISPLAY is not set)"; exit 1; fi
cd "$win"
(
  wine wineditorhost.exe ovinta.dll "$out" > "$out/host.log" 2>&1 & host=$!
  for i in $(seq 300); do [[ -s $out/ready ]] && break; sleep 0.1; done
  if [[ ! -s $out/ready ]]; then echo "the host never became ready"; kill $host; exit 1; fi
  read -r x y w h kx ky < <(tr -d "\r" < "$out/ready")
  sleep 0.5
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/windows.png"
  # A vertical drag upwards on the knob, one pixel step at a time.
  xdotool mousemove $((x + kx)) $((y + ky)) mousedown 1
  for i in $(seq 1 40); do xdotool mousemove $((x + kx)) $((y + ky - i)); sleep 0.01; done
  xdotool mouseup 1
  sleep 0.3
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/windows-after-drag.png"
  touch "$out/dragged"
  wait $host; echo "host exit status $?" >> "$out/host.log"
)
cat "$out/host.log"
status=0
grep -q "host exit status 0" "$out/host.log" || status=1
best= frame=
for n in $(seq 300 315); do
  differing=$(compare -metric AE "$out/linux-$n.png" "$out/windows.png" null: 2>&1)
  [[ $differing =~ ^[0-9]+$ ]] || differing=999999999 # not comparable (no screenshot, other size)
  if [[ -z $best ]] || ((differing < best)); then best=$differing frame=$n; fi
done
compare "$out/linux-$frame.png" "$out/windows.png" "$out/difference.png" 2> /dev/null
echo "screenshot: $best pixels differ from the Linux editor's picture at the same ring frame ($frame idles)"
[[ $best == 0 ]] || status=1
exit $status
