#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows plug-in: build/windows/win32/ovinta.dll (32-bit),
# build/windows/win64/ovinta.dll (64-bit) and the package
# build/windows/ovinta-<version>-windows.zip (both DLLs, README.txt,
# LICENSE.txt and THIRD-PARTY.txt), cross-compiled with mingw-w64.
#
#   scripts/build-windows.sh          build (installs what is missing as root)
#   scripts/build-windows.sh --test   build, then run the Windows tests under wine
#
# The cross-built libraries and the wine prefix live in the user's cache
# folder (OVINTA_WINDOWS_CACHE, default ~/.cache/ovinta-windows), so another
# checkout on the same machine reuses them. OVINTA_NATIVE_BUILD names a Linux
# build folder of this tree to take the build-time tools and the Linux
# plug-in from (default build/windows/native, built here).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
run_tests=0
[[ ${1:-} == --test ]] && run_tests=1
jobs=$(nproc)
started=$SECONDS
stage() { echo "== windows: $* ($((SECONDS - started)) s)"; }

# ---- packages ----------------------------------------------------------------
packages=(
  cmake ninja-build make pkg-config dpkg-dev zip
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  libgtest-dev wine wine64 wine32:i386 xvfb xauth xdotool x11-apps imagemagick
)
missing=()
for p in "${packages[@]}"; do
  [[ $(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true) == installed ]] || missing+=("$p")
done
if ((${#missing[@]})); then
  if [[ $(id -u) -ne 0 ]]; then
    echo "build-windows: missing packages: ${missing[*]}; as root run: dpkg --add-architecture i386 &&" \
         "apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  stage "installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" > /dev/null
fi
scripts/setup-deps.sh

# ---- libraries (cached) ------------------------------------------------------
export OVINTA_WINDOWS_CACHE=${OVINTA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ovinta-windows}
stage "libraries"
deps=$(nice -n 15 scripts/build-windows-deps.sh | tail -n 1)

# ---- Linux build: build-time tools and the plug-in to compare with --------------
native=${OVINTA_NATIVE_BUILD:-$root/build/windows/native}
stage "Linux tools in $native"
if [[ ! -f $native/CMakeCache.txt ]]; then
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVINTA_WERROR=ON \
    -DOVINTA_TESTS=OFF -DOVINTA_BENCH=OFF > /dev/null
fi
cmake --build "$native" -j "$jobs" --target ovinta_embed ovinta_art ovinta vsthost vstprobe editor-snapshot

# ---- wine prefix (cached; made once) ------------------------------------------
export WINEPREFIX=$OVINTA_WINDOWS_CACHE/wine64-$(wine --version | tr -c 'A-Za-z0-9.\n-' _)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  stage "wine prefix $WINEPREFIX"
  wineboot -i > /dev/null 2>&1
  wineserver -w
fi

# ---- the two DLLs ------------------------------------------------------------
for arch in i686:win32 x86_64:win64; do
  cpu=${arch%%:*} dir=build/windows/${arch#*:}
  stage "$dir"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVINTA_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-$cpu.cmake" \
    -DOVINTA_WINDOWS_DEPS="$deps/$cpu" -DOVINTA_NATIVE_BUILD="$native" \
    -DOVINTA_WINEPREFIX="$WINEPREFIX" -DOVINTA_BENCH=OFF > /dev/null
  cmake --build "$dir" -j "$jobs"
done

# ---- package -----------------------------------------------------------------
version=$(sed -n 's/^project(Ovinta VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
package=build/windows/ovinta-$version-windows.zip
stage "$package"
staging=build/windows/package/ovinta-$version-windows
rm -rf build/windows/package "$package"
mkdir -p "$staging/win32" "$staging/win64"
cp build/windows/win32/ovinta.dll "$staging/win32/"
cp build/windows/win64/ovinta.dll "$staging/win64/"
sed "s/@VERSION@/$version/" scripts/windows/README.txt | sed 's/$/\r/' > "$staging/README.txt"
# The same licence and notices as the Linux packages, with Windows line ends.
sed 's/$/\r/' LICENSE > "$staging/LICENSE.txt"
sed 's/$/\r/' THIRD-PARTY > "$staging/THIRD-PARTY.txt"
(cd build/windows/package && zip -qr -X "$root/$package" "ovinta-$version-windows")
ls -l build/windows/win32/ovinta.dll build/windows/win64/ovinta.dll "$package"

if ((run_tests)); then
  # One virtual X server for the whole run: wine's desktop process, shared
  # by every wine process of the prefix, stays on the display it started on.
  stage "tests in build/windows/win32 and build/windows/win64"
  wineserver -k 2> /dev/null || true
  status=0
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    status=0
    for dir in build/windows/win32 build/windows/win64; do
      echo "== windows: ctest in $dir"
      (cd "$dir" && ctest --output-on-failure -j "$1" --no-label-summary) || status=1
    done
    exit $status' _ "$jobs" || status=1
  wineserver -k 2> /dev/null || true
  stage "done"
  exit $status
fi
stage "done"
