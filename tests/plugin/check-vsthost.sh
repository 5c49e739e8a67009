#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs `vsthost` on the plug-in and checks the description it prints.
#   check-vsthost.sh VSTHOST PLUGIN.so VERSION   (VERSION: the release, from CMake)
set -euo pipefail
vsthost=$1
library=$2
version=$3
output=$("$vsthost" "$library")

expect() {
  if ! grep -qE -- "$1" <<<"$output"; then
    echo "missing from the description: $1" >&2
    echo "$output" >&2
    exit 1
  fi
}
expect "^Host: +vsthost ${version//./\\.}\$"
expect '^Product: +Ovinta$'
expect '^Vendor: +Fenwardy$'
expect '^Vendor version: +2300$'
expect "^Unique ID: +'Ovnt'"
expect '^Category: +6 \(room effect\)$'
expect '^Flags: +0x31 '
expect '^Inputs: +2$'
expect '^Outputs: +6$'
expect '^  4: "Stereo Back" flags 7 '
expect '^  19  "Diffusion Low-Pass"'
expect '^  44  Misc: Thick .n. Mad$'
expect '^  4in8out +1$'
expect '^  receiveVstMidiEvent +-1$'

parameters=$(grep -cE '^  [ 0-9][0-9]  ".*" +amount' <<<"$output")
programs=$(sed -n '/^Programs/,/^$/p' <<<"$output" | grep -cE '^  [ 0-9][0-9]  ')
if [[ "$parameters" -ne 47 || "$programs" -ne 45 ]]; then
  echo "expected 47 parameters and 45 programs, found $parameters and $programs" >&2
  exit 1
fi
# A library that cannot be loaded gives one error line and a failing status.
set +e
error=$("$vsthost" /nonexistent/plugin.so 2>&1 >/dev/null)
status=$?
set -e
if [[ $status -ne 1 || "$error" != vsthost:* ]]; then
  echo "a missing library gave status $status and: $error" >&2
  exit 1
fi
if [[ $("$vsthost" --version) != "vsthost $version" ]]; then
  echo "vsthost --version does not print $version" >&2
  exit 1
fi
echo "vsthost description checked"
