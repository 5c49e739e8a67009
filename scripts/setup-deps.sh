#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that the Debian packages needed to build and test Ovinta are
# installed. As root it installs the missing ones; otherwise it lists them
# with the command to run and fails.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang
  libgtest-dev libbenchmark-dev
  libpng-dev zlib1g-dev libfreetype-dev libcairo2-dev libx11-dev libsndfile1-dev
  fonts-liberation2 xvfb xauth groff-base
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  if [[ "$status" != "installed" ]]; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  echo "setup-deps: all ${#packages[@]} required packages are installed"
  exit 0
fi

if [[ "$(id -u)" -ne 0 ]]; then
  echo "setup-deps: missing packages: ${missing[*]}" >&2
  echo "setup-deps: install them as root with:" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "setup-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y "${missing[@]}"
