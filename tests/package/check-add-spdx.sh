#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# add-spdx.sh on a made-up tree: each kind of file gets the right line in the
# right place (after a #! line), files it must not touch stay as they were,
# a second run changes nothing, and --check fails naming a file without it.
#   check-add-spdx.sh ADD_SPDX_SH
set -euo pipefail
script=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
c='// SPDX-License-Identifier: GPL-3.0-or-later'
h='# SPDX-License-Identifier: GPL-3.0-or-later'

# path | content before (\n escapes) | content after ("=" for unchanged)
cases=(
  "engine/Room.cpp|int x;\n|$c\nint x;\n"
  "engine/Room.h|#pragma once\n|$c\n#pragma once\n"
  "base/Version.h.in|#pragma once\n|$c\n#pragma once\n"
  "tests/host/freestanding/cstddef|// stand-in\n|$c\n// stand-in\n"
  "empty.c||$c\n"
  "scripts/run.sh|#!/bin/sh\necho hi\n|#!/bin/sh\n$h\necho hi\n"
  ".ci/run|#!/usr/bin/env bash\nexit 0\n|#!/usr/bin/env bash\n$h\nexit 0\n"
  "CMakeLists.txt|project(X)\n|$h\nproject(X)\n"
  "cmake/Opt.cmake|set(A 1)\n|$h\nset(A 1)\n"
  "done.cpp|$c\nint y;\n|="
  "done.sh|#!/bin/sh\n$h\n|="
  "notes.txt|text\n|="
  "tool.py|#!/usr/bin/env python3\n|="
  "build/release/Gen.cpp|int g;\n|="
  "third_party/lib/z.c|int z;\n|="
)
for row in "${cases[@]}"; do
  IFS='|' read -r path before _ <<< "$row"
  mkdir -p "$tree/$(dirname "$path")"
  printf '%b' "$before" > "$tree/$path"
done
chmod +x "$tree/scripts/run.sh"

"$script" "$tree" > /dev/null
fail=0
for row in "${cases[@]}"; do
  IFS='|' read -r path before after <<< "$row"
  [[ $after == = ]] && after=$before
  if [[ $(cat "$tree/$path"; echo .) != "$(printf '%b' "$after"; echo .)" ]]; then
    echo "wrong result for $path:" >&2
    cat "$tree/$path" >&2
    fail=1
  fi
done
[[ -x $tree/scripts/run.sh ]] || { echo "run.sh lost its executable bit" >&2; fail=1; }

before=$(cd "$tree" && find . -type f -exec md5sum {} + | sort)
"$script" "$tree" > /dev/null
[[ $(cd "$tree" && find . -type f -exec md5sum {} + | sort) == "$before" ]] ||
  { echo "a second run changed files" >&2; fail=1; }
"$script" --check "$tree" > /dev/null || { echo "--check fails after a run" >&2; fail=1; }

printf 'int w;\n' > "$tree/engine/New.cpp"
set +e
report=$("$script" --check "$tree" 2>&1)
status=$?
set -e
if [[ $status -eq 0 || $report != *"engine/New.cpp"* ]]; then
  echo "--check passed a file without the line (status $status): $report" >&2
  fail=1
fi
exit "$fail"
