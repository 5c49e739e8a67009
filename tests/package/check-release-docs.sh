#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The release number of CMakeLists.txt is the one the documents name: the
# README's version and package names, and a CHANGELOG section.
#   check-release-docs.sh SOURCE_DIR VERSION
set -euo pipefail
cd "$1"
version=$2
fail=0
expect() { # expect FILE TEXT
  grep -qF -- "$2" "$1" || { echo "$1 does not mention \"$2\"" >&2; fail=1; }
}
expect README.md "Ovinta $version"
expect README.md "ovinta_${version}_amd64.deb"
expect README.md "ovinta-$version-linux-x86_64.tar.gz"
expect CHANGELOG.md "## $version "
grep -qx '## Unreleased' CHANGELOG.md || { echo "CHANGELOG.md has no \"## Unreleased\" section" >&2; fail=1; }
exit "$fail"
