#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Gives every project source file its licence identifier as the first line:
#   // SPDX-License-Identifier: GPL-3.0-or-later   C and C++ (.h .hpp .cpp .cc
#       .inl .c, their .in templates, and the extension-less headers of
#       freestanding/ folders)
#   # SPDX-License-Identifier: GPL-3.0-or-later    CMakeLists.txt, .cmake, .sh
#       and extension-less shell scripts (#!.../sh or bash), after the #! line
# Files that already carry it are left alone, so running it again changes
# nothing.
#
#   scripts/add-spdx.sh [ROOT]           add the line where it is missing
#   scripts/add-spdx.sh --check [ROOT]   list the files without it; fail if any
#
# The files are those git knows (tracked, or new and not ignored), so build
# folders and generated files are never touched; without git, the tree minus
# build*/, out/ and .git/. Folders of third-party code (third_party/,
# third-party/, external/, vendor/) are skipped.
set -euo pipefail

check=0
if [[ ${1:-} == --check ]]; then
  check=1
  shift
fi
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
cd "$root"

readonly licence="SPDX-License-Identifier: GPL-3.0-or-later"

list_files() {
  if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard
  else
    find . \( -name '.git' -o -name 'build*' -o -path './out' \) -prune -o -type f -print0 |
      sed -z 's|^\./||'
  fi
}

# comment_of FILE: prints "//" or "#" for a file that needs the line, nothing
# for any other file.
comment_of() {
  local file=$1 name=${1##*/}
  case "/$file/" in
    */third_party/* | */third-party/* | */external/* | */vendor/*) return ;;
  esac
  case "$name" in
    *.h | *.hpp | *.cpp | *.cc | *.inl | *.c | *.h.in | *.hpp.in | *.cpp.in) echo "//" ;;
    CMakeLists.txt | *.cmake | *.cmake.in | *.sh) echo "#" ;;
    *.*) ;;
    *)
      if [[ $file == */freestanding/* ]]; then
        echo "//"
      elif head -n 1 -- "$file" | grep -qE '^#!.*[/ ](ba)?sh( |$)'; then
        echo "#"
      fi
      ;;
  esac
}

# has_line FILE COMMENT: true when the identifier is the first line, or the
# second after a #! line.
has_line() {
  local file=$1 want="$2 $licence" first second
  { IFS= read -r first || true; IFS= read -r second || true; } < "$file"
  [[ $first == "$want" ]] && return 0
  [[ $first == '#!'* && $second == "$want" ]]
}

add_line() {
  local file=$1 line="$2 $licence" tmp
  tmp=$(mktemp "$file.spdx.XXXXXX")
  if [[ $(head -c 2 -- "$file") == '#!' ]]; then
    { head -n 1 -- "$file"; echo "$line"; tail -n +2 -- "$file"; } > "$tmp"
  else
    { echo "$line"; cat -- "$file"; } > "$tmp"
  fi
  chmod --reference="$file" "$tmp"
  mv -- "$tmp" "$file"
}

missing=0
added=0
checked=0
while IFS= read -r -d '' file; do
  [[ -f $file && ! -L $file ]] || continue
  comment=$(comment_of "$file")
  [[ -n $comment ]] || continue
  checked=$((checked + 1))
  has_line "$file" "$comment" && continue
  if ((check)); then
    echo "no SPDX licence line: $file"
    missing=$((missing + 1))
  else
    add_line "$file" "$comment"
    added=$((added + 1))
  fi
done < <(list_files)

if ((checked == 0)); then
  echo "add-spdx: no source files found under $root" >&2
  exit 1
fi
if ((check)); then
  if ((missing)); then
    echo "add-spdx: $missing of $checked source files lack the line \"$licence\";" \
         "run scripts/add-spdx.sh" >&2
    exit 1
  fi
  echo "add-spdx: all $checked source files carry the licence line"
else
  echo "add-spdx: added the licence line to $added of $checked source files"
fi
