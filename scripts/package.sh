#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Linux release packages from a release build:
#   build/package/ovinta_<version>_<arch>.deb          Debian package
#   build/package/ovinta-<version>-linux-<cpu>.tar.gz  tarball with install-user.sh
# Both hold what `cmake --install` installs (cmake/OvintaInstall.cmake). The
# Debian package follows Debian's layout: /usr prefix, compressed manual page
# and documents, a machine-readable copyright file, changelog.Debian.gz,
# stripped binaries, and dependencies found by dpkg-shlibdeps.
#
#   scripts/package.sh [--build DIR] [--no-build] [--out DIR]
#
# DIR defaults to build/release, which is configured and built first (the
# plug-in, the tool and the manual page only) unless --no-build is given.
# Installs what is missing (dpkg-dev) as root; otherwise lists it and fails.
# OVINTA_MAINTAINER overrides the package's Maintainer field.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

die() { echo "package: $*" >&2; exit 1; }

build=$root/build/release
out=$root/build/package
no_build=0
while (($#)); do
  case "$1" in
    --build) build=$(realpath -m "${2:?--build needs a folder}"); shift ;;
    --out) out=$(realpath -m "${2:?--out needs a folder}"); shift ;;
    --no-build) no_build=1 ;;
    *) die "unknown option $1 (usage: scripts/package.sh [--build DIR] [--no-build] [--out DIR])" ;;
  esac
  shift
done

# ---- tools ---------------------------------------------------------------------
missing=()
for p in dpkg-dev binutils; do
  [[ $(dpkg-query -W -f='${db:Status-Status}' "$p" 2> /dev/null || true) == installed ]] || missing+=("$p")
done
if ((${#missing[@]})); then
  [[ $(id -u) -eq 0 ]] || die "missing packages: ${missing[*]}; as root run: apt-get install -y ${missing[*]}"
  echo "package: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null ||
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null; }
fi

# ---- build -----------------------------------------------------------------------
if ((!no_build)); then
  if [[ ! -f $build/CMakeCache.txt ]]; then
    scripts/setup-deps.sh
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVINTA_WERROR=ON > /dev/null
  fi
  cmake --build "$build" -j "$(nproc)" --target ovinta ovinta_tool ovinta_man
fi
[[ -f $build/cmake_install.cmake ]] || die "no build in $build"

version=$(sed -n 's/^project(Ovinta VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || die "no version in the project() line of CMakeLists.txt"
arch=$(dpkg --print-architecture)
cpu=$(uname -m)
maintainer=${OVINTA_MAINTAINER:-Fenwardy <ovinta@fenwardy.example>}
# The release's time, for reproducible dates in the packages: the last
# commit's, or now outside a git checkout.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2> /dev/null || date +%s)}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# install_to DESTDIR PREFIX: the installed layout, stripped.
install_to() {
  DESTDIR=$1 cmake --install "$build" --prefix "$2" --strip > "$work/install.log" ||
    die "cmake --install failed: $(tail -n 1 "$work/install.log")"
}

# The tool must be this version: a build configured before a version change
# would otherwise be packaged under the new number.
check_version() {
  local said
  said=$("$1" --version) || die "$1 does not run"
  [[ $said == "ovinta $version" ]] || die "the build in $build is \"$said\", not $version; rebuild it"
}

# ---- Debian package ------------------------------------------------------------
deb_root=$work/deb
install_to "$deb_root" /usr
check_version "$deb_root/usr/bin/ovinta"
doc=$deb_root/usr/share/doc/ovinta
# The GPL is in /usr/share/common-licenses; the copyright file points there.
rm -f "$doc/LICENSE"
mv "$doc/CHANGELOG.md" "$doc/changelog"
gzip -9n "$doc/changelog" "$doc/README.md" "$doc/THIRD-PARTY"
gzip -9n "$deb_root/usr/share/man/man1/ovinta.1"
release_date=$(date -u -R -d "@$SOURCE_DATE_EPOCH")
{
  echo "ovinta ($version) unstable; urgency=medium"
  echo
  echo "  * Release $version; see /usr/share/doc/ovinta/changelog.gz."
  echo
  echo " -- $maintainer  $release_date"
} | gzip -9n > "$doc/changelog.Debian.gz"
cat > "$doc/copyright" << EOF
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Ovinta
Upstream-Contact: $maintainer
Comment: The plug-in ovinta.so embeds the Liberation Sans fonts (Regular and
 Bold, from fonts-liberation2): Digitized data copyright (c) 2010 Google
 Corporation with Reserved Font Arimo, Tinos and Cousine; Copyright (c) 2012
 Red Hat, Inc. with Reserved Font Name Liberation; under the SIL Open Font
 License 1.1. Its text, and the notices of the libraries Ovinta uses, are in
 /usr/share/doc/ovinta/THIRD-PARTY.gz.

Files: *
Copyright: $(date -u -d "@$SOURCE_DATE_EPOCH" +%Y) The Ovinta authors
License: GPL-3+

License: GPL-3+
 This program is free software: you can redistribute it and/or modify it
 under the terms of the GNU General Public License as published by the Free
 Software Foundation, either version 3 of the License, or (at your option)
 any later version.
 .
 This program is distributed in the hope that it will be useful, but WITHOUT
 ANY WARRANTY; without even the implied warranty of MERCHANTABILITY or
 FITNESS FOR A PARTICULAR PURPOSE. See the GNU General Public License for
 more details.
 .
 On Debian systems, the complete text of the GNU General Public License
 version 3 can be found in "/usr/share/common-licenses/GPL-3".
EOF
# What dh_strip and dh_fixperms would do: drop the compiler's notes, and make
# the plug-in a plain (non-executable) library.
mapfile -t elves < <(find "$deb_root" -type f \( -name '*.so' -o -perm -u+x \))
for f in "${elves[@]}"; do
  if [[ $f == *.so ]]; then
    strip --remove-section=.comment --remove-section=.note --strip-unneeded "$f"
    chmod 0644 "$f"
  else
    strip --remove-section=.comment --remove-section=.note "$f"
    chmod 0755 "$f"
  fi
done
find "$deb_root" -type d -exec chmod 0755 {} +
find "$deb_root" -type f ! -perm -u+x -exec chmod 0644 {} +

# Dependencies: dpkg-shlibdeps reads a debian/control; a minimal one will do.
mkdir -p "$work/shlibdeps/debian"
printf 'Source: ovinta\n\nPackage: ovinta\nArchitecture: any\n' > "$work/shlibdeps/debian/control"
depends=$(cd "$work/shlibdeps" && dpkg-shlibdeps -O "${elves[@]/#/-e}" 2> "$work/shlibdeps.log" |
  sed -n 's/^shlibs:Depends=//p') || die "dpkg-shlibdeps failed: $(cat "$work/shlibdeps.log")"
[[ -n $depends ]] || die "dpkg-shlibdeps found no dependencies: $(cat "$work/shlibdeps.log")"

mkdir -p "$deb_root/DEBIAN"
(cd "$deb_root" && find usr -type f -print0 | sort -z | xargs -0 md5sum > DEBIAN/md5sums)
cat > "$deb_root/DEBIAN/control" << EOF
Package: ovinta
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $(du -k -s --exclude=DEBIAN "$deb_root" | cut -f1)
Depends: $depends
Suggests: zenity | kdialog
Section: sound
Priority: optional
Description: room-simulating reverb plug-in (VST 2.4) and command-line tool
 Ovinta is a reverb that simulates a room drawn as wall segments, with one
 or two sound sources and a listener. Rays traced around the room become
 taps with their own delay, filter and gain on up to five outputs (stereo,
 quadraphonic or five-channel); the room can be edited while it plays.
 .
 This package holds the Linux VST 2.4 plug-in (/usr/lib/lxvst/ovinta.so),
 with its editor and 45 factory rooms, and the ovinta tool, which renders
 audio files through a room and exports and analyses impulse responses.
EOF
chmod 0644 "$deb_root/DEBIAN/control" "$deb_root/DEBIAN/md5sums"
deb=$out/ovinta_${version}_${arch}.deb
rm -f "$deb"
dpkg-deb --root-owner-group -Zxz --build "$deb_root" "$deb" > /dev/null

# ---- tarball -------------------------------------------------------------------
name=ovinta-$version-linux-$cpu
tar_root=$work/tar/$name
install_to "" "$tar_root"
check_version "$tar_root/bin/ovinta"
cp scripts/install-user.sh "$tar_root/"
for f in README.md CHANGELOG.md LICENSE THIRD-PARTY; do
  ln -s "share/doc/ovinta/$f" "$tar_root/$f"
done
tarball=$out/$name.tar.gz
tar -C "$work/tar" --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$SOURCE_DATE_EPOCH" \
  -cf - "$name" | gzip -9n > "$tarball.part"
mv "$tarball.part" "$tarball"

ls -l "$deb" "$tarball"
