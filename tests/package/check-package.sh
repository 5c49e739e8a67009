#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Linux release as a user gets it, from a built release tree:
# - scripts/package.sh makes the Debian package and the tarball;
# - the package holds exactly the expected files, its binaries are stripped
#   and find every library they need, the plug-in exports only its entry
#   point, the manual page reads without warnings, and lintian finds no error;
# - the tarball's install-user.sh installs into a scratch home folder, a host
#   loads the plug-in from there, and --uninstall leaves the folder empty;
# - `cmake --install` to a scratch prefix installs only the release's files,
#   the installed tool renders a file through a room and vsthost loads the
#   installed plug-in;
# - with --apt (as root): apt installs the package, the installed tool and
#   plug-in work, and apt removes it again without a trace.
#
#   tests/package/check-package.sh [--apt] [BUILD_DIR]   (default build/release)
#
# Installs lintian when it is missing (as root).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
root=$PWD
with_apt=0
if [[ ${1:-} == --apt ]]; then
  with_apt=1
  shift
fi
build=$(realpath "${1:-build/release}")
started=$SECONDS

fail() { echo "check-package: $*" >&2; exit 1; }
step() { echo "== package: $* ($((SECONDS - started)) s)"; }

if ! command -v lintian > /dev/null; then
  [[ $(id -u) -eq 0 ]] || fail "lintian is missing; as root run: apt-get install -y lintian"
  step "installing lintian"
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -qq --no-install-recommends lintian > /dev/null ||
    { apt-get update -qq && apt-get install -y -qq --no-install-recommends lintian > /dev/null; }
fi

work=$(mktemp -d)
cleanup() {
  rm -rf "$work"
  if ((with_apt)) && dpkg-query -W ovinta > /dev/null 2>&1 && [[ -f $work.apt-installed ]]; then
    apt-get remove -y -qq ovinta > /dev/null 2>&1 || true
  fi
  rm -f "$work.apt-installed"
}
trap cleanup EXIT

step "scripts/package.sh"
scripts/package.sh --build "$build" > "$work/package.log" 2>&1 || { cat "$work/package.log" >&2; fail "package.sh failed"; }
version=$(sed -n 's/^project(Ovinta VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build/package/ovinta_${version}_$(dpkg --print-architecture).deb
tarball=build/package/ovinta-$version-linux-$(uname -m).tar.gz
[[ -f $deb && -f $tarball ]] || fail "package.sh made no $deb or $tarball"
vsthost=$build/tools/vsthost/vsthost

# files_under DIR: the files and links under DIR, relative, sorted.
files_under() { (cd "$1" && find . -mindepth 1 ! -type d | sed 's|^\./||' | sort); }
expect_files() { # expect_files DIR WHAT EXPECTED...
  local dir=$1 what=$2
  shift 2
  local want
  want=$(printf '%s\n' "$@" | sort)
  if [[ $(files_under "$dir") != "$want" ]]; then
    echo "$what: unexpected files:" >&2
    diff <(echo "$want") <(files_under "$dir") >&2 || true
    exit 1
  fi
}
# check_binaries FILE...: every library found, no symbol table left.
check_binaries() {
  local f
  for f in "$@"; do
    ! ldd "$f" | grep -F 'not found' || fail "$f: a library is missing"
    ! readelf -S -W "$f" | grep -qE ' \.(symtab|debug_[a-z]+) ' || fail "$f is not stripped"
  done
}
# check_plugin SO: a host loads it and sees this release's Ovinta.
check_plugin() {
  local description
  description=$("$vsthost" "$1") || fail "vsthost cannot load $1"
  grep -qE '^Product: +Ovinta$' <<< "$description" || fail "$1: wrong product"
  grep -qE '^Vendor version: +2300$' <<< "$description" || fail "$1: wrong vendor version"
}
# check_tool OVINTA: it is this release and renders a file through a room,
# reverb tail included.
check_tool() {
  local report length input peak
  [[ $("$1" --version) == "ovinta $version" ]] || fail "$1 is not version $version"
  "$1" make-demo-signal "$work/dry.wav" > /dev/null
  report=$("$1" render "$work/dry.wav" "$work/wet.wav" --program 0 2>&1 | tail -n 1)
  read -r length input peak < <(sed -nE 's/.* ([0-9.]+) s \(input ([0-9.]+) s\), peak (-?[0-9.]+) dBFS.*/\1 \2 \3/p' <<< "$report")
  [[ -n ${peak:-} ]] || fail "$1 render printed no report: $report"
  awk -v l="$length" -v i="$input" -v p="$peak" 'BEGIN { exit !(l > i && p > -40 && p <= 0) }' ||
    fail "$1 render: length $length s for $input s of input, peak $peak dBFS"
}

# ---- the Debian package --------------------------------------------------------
step "contents of $deb"
dpkg-deb -x "$deb" "$work/deb"
expect_files "$work/deb" "$deb" usr/bin/ovinta usr/lib/lxvst/ovinta.so \
  usr/share/man/man1/ovinta.1.gz usr/share/doc/ovinta/copyright \
  usr/share/doc/ovinta/changelog.gz usr/share/doc/ovinta/changelog.Debian.gz \
  usr/share/doc/ovinta/README.md.gz usr/share/doc/ovinta/THIRD-PARTY.gz
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "$deb: Version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<< "$depends" | sed -E 's/^ *//; s/[ (].*//')
for lib in libc6 libstdc++6 libcairo2 libfreetype6 libpng16-16 libx11-6 libsndfile1; do
  grep -qxF "$lib" <<< "$names" || fail "$deb does not depend on $lib: $depends"
done
check_binaries "$work/deb/usr/bin/ovinta" "$work/deb/usr/lib/lxvst/ovinta.so"
tests/plugin/check-exports.sh "$work/deb/usr/lib/lxvst/ovinta.so" > /dev/null
warnings=$(zcat "$work/deb/usr/share/man/man1/ovinta.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
[[ -z $warnings ]] || fail "the manual page: $warnings"
head -n 1 "$work/deb/usr/share/doc/ovinta/copyright" |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not machine-readable"

step "lintian"
# Errors fail the check; warnings and notes are shown.
set +e
tags=$(lintian --display-info "$deb" 2>&1 | grep -v '^running with root privileges')
status=$?
set -e
[[ -z $tags ]] || echo "$tags"
echo "lintian: $(grep -c '^E:' <<< "$tags") errors, $(grep -c '^W:' <<< "$tags") warnings," \
  "$(grep -c '^I:' <<< "$tags") notes"
if grep -q '^E:' <<< "$tags" || ((status != 0 && status != 1)); then
  fail "lintian reports errors"
fi

# ---- the tarball and install-user.sh ---------------------------------------------
step "$tarball and its install-user.sh"
tar -C "$work" -xzf "$tarball"
top=$work/ovinta-$version-linux-$(uname -m)
expect_files "$top" "$tarball" install-user.sh README.md CHANGELOG.md LICENSE THIRD-PARTY \
  bin/ovinta lib/lxvst/ovinta.so share/man/man1/ovinta.1 share/doc/ovinta/README.md \
  share/doc/ovinta/CHANGELOG.md share/doc/ovinta/LICENSE share/doc/ovinta/THIRD-PARTY
mkdir "$work/home"
HOME=$work/home XDG_DATA_HOME= "$top/install-user.sh" > /dev/null
check_plugin "$work/home/.vst/ovinta.so"
check_binaries "$work/home/.local/bin/ovinta" "$work/home/.vst/ovinta.so"
HOME=$work/home XDG_DATA_HOME= "$top/install-user.sh" --uninstall > /dev/null
[[ -z $(files_under "$work/home") && -z $(ls -A "$work/home") ]] || fail "--uninstall left: $(ls -A "$work/home")"

# ---- cmake --install ------------------------------------------------------------
step "cmake --install to a scratch prefix"
cmake --install "$build" --prefix "$work/prefix" > /dev/null
expect_files "$work/prefix" "cmake --install" bin/ovinta lib/lxvst/ovinta.so share/man/man1/ovinta.1 \
  share/doc/ovinta/README.md share/doc/ovinta/CHANGELOG.md share/doc/ovinta/LICENSE \
  share/doc/ovinta/THIRD-PARTY
check_tool "$work/prefix/bin/ovinta"
check_plugin "$work/prefix/lib/lxvst/ovinta.so"

# ---- apt --------------------------------------------------------------------------
if ((with_apt)); then
  step "apt install and remove"
  [[ $(id -u) -eq 0 ]] || fail "--apt needs root"
  ! dpkg-query -W ovinta > /dev/null 2>&1 || fail "ovinta is already installed on this machine; not touching it"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" > "$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt-get install ./$deb failed"; }
  touch "$work.apt-installed"
  check_tool /usr/bin/ovinta
  check_plugin /usr/lib/lxvst/ovinta.so
  man -w ovinta > /dev/null || fail "man does not find ovinta"
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq ovinta > "$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt-get remove ovinta failed"; }
  rm -f "$work.apt-installed"
  ! dpkg-query -W -f='${db:Status-Abbrev}' ovinta 2> /dev/null | grep -q . || fail "dpkg still lists ovinta"
  for f in /usr/bin/ovinta /usr/lib/lxvst/ovinta.so /usr/share/doc/ovinta /usr/share/man/man1/ovinta.1.gz; do
    [[ ! -e $f ]] || fail "apt remove left $f"
  done
fi
step "done"
