#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs Ovinta for the current user, without root, and removes it again:
#   VST 2.4 plug-in  ~/.vst/ovinta.so
#   tool             ~/.local/bin/ovinta
#   manual page      ~/.local/share/man/man1/ovinta.1
#   documents        ~/.local/share/doc/ovinta/
#   (LV2 and CLAP builds add ~/.lv2/ and ~/.clap/)
# Every file and folder it creates is recorded in
# ~/.local/share/ovinta/install-manifest with the file's checksum, and
# --uninstall removes exactly those: a file changed since (another build
# copied over it, say) is kept, and a folder is removed only when it is empty.
#
#   scripts/install-user.sh [--build DIR] [--no-build] [--force]
#   scripts/install-user.sh --uninstall
#
# From the source tree it installs the build in DIR (default build/release),
# building the plug-in, the tool and the manual page first unless --no-build
# is given. From an unpacked release tarball it installs the files beside it.
# An existing file it did not install is not replaced unless --force is given
# (it is then recorded, and removed by --uninstall, like the others).
# Installing again first removes the previous installation.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
manifest=$data_home/ovinta/install-manifest

die() { echo "install-user: $*" >&2; exit 1; }
say() { echo "install-user: $*"; }

# dest_of STAGED: where a file of the installed layout (relative to the
# prefix) goes in the user's home; fails for a file nobody placed.
dest_of() {
  case "$1" in
    lib/lxvst/*) echo "$HOME/.vst/${1#lib/lxvst/}" ;;
    lib/lv2/*) echo "$HOME/.lv2/${1#lib/lv2/}" ;;
    lib/clap/*) echo "$HOME/.clap/${1#lib/clap/}" ;;
    bin/*) echo "$HOME/.local/bin/${1#bin/}" ;;
    share/man/*) echo "$data_home/man/${1#share/man/}" ;;
    share/doc/ovinta/*) echo "$data_home/doc/ovinta/${1#share/doc/ovinta/}" ;;
    *) return 1 ;;
  esac
}

checksum() { sha256sum -- "$1" | cut -d' ' -f1; }

# Removes what the manifest lists: unchanged files, the manifest, then the
# folders made for them once they are empty (deepest first).
uninstall() {
  local kind sum path removed=0 kept=0 dirs=()
  while IFS=$'\t' read -r kind sum path; do
    case "$kind" in
      dir) dirs+=("$path") ;;
      file)
        if [[ ! -e $path && ! -L $path ]]; then
          continue
        elif [[ -f $path && ! -L $path && $(checksum "$path") == "$sum" ]]; then
          rm -f -- "$path"
          removed=$((removed + 1))
        else
          say "kept $path: changed since it was installed"
          kept=$((kept + 1))
        fi
        ;;
    esac
  done < "$manifest"
  rm -f -- "$manifest"
  if ((${#dirs[@]})); then
    while IFS= read -r -d '' path; do
      [[ -d $path ]] && rmdir --ignore-fail-on-non-empty -- "$path"
    done < <(printf '%s\0' "${dirs[@]}" | sort -z -r)
  fi
  say "removed $removed files$( ((kept)) && echo ", kept $kept changed ones")"
}

# make_dir DIR: creates DIR and the parents it lacks, and prints a manifest
# line for each one it creates.
make_dir() {
  local dir=$1 missing=()
  while [[ ! -d $dir ]]; do
    missing=("$dir" "${missing[@]}")
    dir=$(dirname "$dir")
  done
  for dir in "${missing[@]}"; do
    mkdir -- "$dir"
    printf 'dir\t-\t%s\n' "$dir"
  done
}

# ---- options -----------------------------------------------------------------
build=
no_build=0
force=0
mode=install
while (($#)); do
  case "$1" in
    --uninstall) mode=uninstall ;;
    --build) build=${2:?--build needs a folder}; shift ;;
    --no-build) no_build=1 ;;
    --force) force=1 ;;
    -h | --help) sed -n '2,/^set -euo/{/SPDX-License-Identifier/d; p}' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) die "unknown option $1 (see --help)" ;;
  esac
  shift
done

if [[ $mode == uninstall ]]; then
  [[ -f $manifest ]] || die "nothing to remove: no $manifest"
  uninstall
  exit 0
fi

# ---- the files to install, as an installed layout in $staged -------------------
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [[ -f $here/lib/lxvst/ovinta.so ]]; then
  staged=$here # unpacked release tarball
else
  root=$(cd "$here/.." && pwd)
  build=${build:-$root/build/release}
  if ((!no_build)); then
    if [[ ! -f $build/CMakeCache.txt ]]; then
      "$root/scripts/setup-deps.sh"
      cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
    fi
    cmake --build "$build" -j "$(nproc)" --target ovinta ovinta_tool ovinta_man
  fi
  [[ -f $build/cmake_install.cmake ]] || die "no build in $build (build first or leave out --no-build)"
  staged=$work/staged
  cmake --install "$build" --prefix "$staged" --strip > "$work/install.log" ||
    die "cmake --install $build failed: $(tail -n 1 "$work/install.log")"
fi

# ---- check everything before changing anything -------------------------------------
# installed_here PATH: true when the previous installation put PATH there and
# it is unchanged.
installed_here() {
  [[ -f $manifest && -f $1 && ! -L $1 ]] &&
    grep -qxF "$(printf 'file\t%s\t%s' "$(checksum "$1")" "$1")" "$manifest"
}
mapfile -d '' files < <(cd "$staged" && find lib bin share -type f -print0 2> /dev/null | sort -z)
((${#files[@]})) || die "nothing to install in $staged"
for f in "${files[@]}"; do
  dest=$(dest_of "$f") || die "no place in the home folder for $f"
  if [[ -e $dest || -L $dest ]] && ! installed_here "$dest" && ((!force)); then
    die "$dest exists and was not installed by this script; remove it or use --force"
  fi
done
if [[ -f $manifest ]]; then
  say "removing the previous installation first"
  uninstall
fi

# ---- copy, recording each file and folder -------------------------------------------
# The manifest is written as the work goes, so that --uninstall also cleans up
# after an installation that stopped half-way.
made=$(make_dir "$(dirname "$manifest")")
{
  echo "# Ovinta per-user installation: removed by scripts/install-user.sh --uninstall"
  [[ -z $made ]] || echo "$made"
} > "$manifest"
for f in "${files[@]}"; do
  dest=$(dest_of "$f")
  make_dir "$(dirname "$dest")" >> "$manifest"
  # Copied under a temporary name and renamed, so a host never loads half a file.
  cp -- "$staged/$f" "$dest.ovinta-new"
  mv -f -- "$dest.ovinta-new" "$dest"
  printf 'file\t%s\t%s\n' "$(checksum "$dest")" "$dest" >> "$manifest"
  say "installed $dest"
done
say "recorded in $manifest; scripts/install-user.sh --uninstall removes it all"
case ":$PATH:" in
  *":$HOME/.local/bin:"*) ;;
  *) say "add $HOME/.local/bin to PATH to run ovinta and read man ovinta" ;;
esac
