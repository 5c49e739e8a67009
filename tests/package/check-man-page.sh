#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual page made at build time: groff reads it without a warning, it
# names the release, and every option and command the tool's help lists
# appears in the formatted page.
#   check-man-page.sh OVINTA_TOOL OVINTA.1 VERSION
set -euo pipefail
tool=$1
page=$2
version=$3

# -ww: all warnings; -z: no output, only the diagnostics.
warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
if [[ -n $warnings ]]; then
  echo "groff warns about $page:" >&2
  echo "$warnings" >&2
  exit 1
fi
# Formatted as man shows it, without hyphenation or justification, one long
# line per paragraph so that a help line is never split.
# Runs of spaces count as one, in the page and in the help.
text=$(groff -man -Tutf8 -rLL=2000n -rHY=0 -P-cbou "$page" 2> /dev/null |
  sed 's/\xe2\x88\x92/-/g; s/\xe2\x80\x90/-/g' | tr -s ' ')

fail=0
expect() {
  if ! grep -qF -- "$(tr -s ' ' <<< "$1")" <<< "$text"; then
    echo "the manual page lacks: $1" >&2
    fail=1
  fi
}
expect "Ovinta $version"
# The commands' usage lines (not the general one, which the page's synopsis
# replaces), and every option line's flag and description.
help=$("$tool" help | tail -n +2)
while IFS= read -r line; do
  case "$line" in
    usage:*) expect "${line#usage: }" ;;
    "  -"*)
      option=$(sed -E 's/^ +//; s/ {2,}.*//' <<< "$line")
      description=$(sed -E 's/^ +[^ ].*[^ ] {2,}//' <<< "$line")
      expect "$option"
      expect "$description"
      ;;
  esac
done <<< "$help"
if ((fail)); then
  exit 1
fi
echo "manual page: no warnings, $(grep -c '^  -' <<< "$help") option lines found"
