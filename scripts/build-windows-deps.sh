#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the plug-in's libraries (zlib, libpng, FreeType, pixman,
# cairo) as static mingw-w64 libraries for i686 and x86_64 from Debian
# bookworm's own source packages, the same versions the Linux build links.
#
# Output: $OVINTA_WINDOWS_DEPS/<arch>/{include,lib}. The folder's name is a key
# made of the pinned source versions and the build flags below, so a change
# of either builds a fresh set; an existing complete set is reused as it is.
# Prints the prefix folder (for both arches: ".../deps-<key>") on its last
# line.
#
# Environment: OVINTA_WINDOWS_CACHE (default ${XDG_CACHE_HOME:-~/.cache}/ovinta-windows),
#              JOBS (default nproc). Needs root the first time (apt-get source).
set -euo pipefail

# Source package versions: Debian bookworm's, as the Linux build's libraries.
SOURCES=(
  "zlib=1:1.2.13.dfsg-1"
  "libpng1.6=1.6.39-2+deb12u5"
  "freetype=2.12.1+dfsg-5+deb12u4"
  "pixman=0.42.2-1"
  "cairo=1.16.0-7"
)
# i686 uses SSE2 arithmetic so that its results match x86_64's bit for bit.
FLAGS_i686="-O2 -msse2 -mfpmath=sse"
FLAGS_x86_64="-O2"
RECIPE=1   # bump when the build steps below change

CACHE=${OVINTA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ovinta-windows}
JOBS=${JOBS:-$(nproc)}
KEY=$(printf '%s\n' "${SOURCES[@]}" "$FLAGS_i686" "$FLAGS_x86_64" "$RECIPE" | sha256sum | cut -c1-16)
DEPS=$CACHE/deps-$KEY
SRC=$CACHE/src-$KEY
LOGS=$DEPS/logs
APT_SOURCES=/etc/apt/sources.list.d/debian.sources
LIBS="libz libpng16 libfreetype libpixman-1 libcairo"

die() { echo "build-windows-deps: $*" >&2; exit 1; }
say() { echo "build-windows-deps: $*" >&2; }

complete() {
  local a l e
  for a in i686 x86_64; do
    for l in $LIBS; do [[ -f $DEPS/$a/lib/$l.a ]] || return 1; done
  done
  for e in "${SOURCES[@]}"; do [[ -f $DEPS/licences/${e%%=*}.txt ]] || return 1; done
}
if complete; then
  say "reusing $DEPS"
  echo "$DEPS"
  exit 0
fi
mkdir -p "$DEPS" "$LOGS"

# --- sources ----------------------------------------------------------------
# apt-get source checks every downloaded file against the signed indices.
# deb-src is switched on only for the download; the sources file is restored
# afterwards, also on failure.
restore_apt_sources() {
  if [[ -f $CACHE/debian.sources.saved ]]; then
    cp -p "$CACHE/debian.sources.saved" "$APT_SOURCES"
    rm -f "$CACHE/debian.sources.saved"
    apt-get update -qq || true
  fi
}

# unpack <package> <version>: dpkg-source, or the checked upstream tarball
# when Debian's diff is not served (pixman's Debian revision carries no patch).
unpack() {
  local pkg=$1 ver=${2#*:} dsc orig want dir
  dsc=$SRC/${pkg}_${ver}.dsc
  [[ -f $dsc ]] || die "no $dsc (see $LOGS/apt-source.log)"
  rm -rf "$SRC/$pkg.d"; mkdir -p "$SRC/$pkg.d"
  if (cd "$SRC/$pkg.d" && dpkg-source -x "$dsc" tree) >> "$LOGS/dpkg-source.log" 2>&1; then
    mv "$SRC/$pkg.d/tree" "$SRC/$pkg.tree"
  else
    orig=$(cd "$SRC" && ls "${pkg}"_*.orig.tar.* | grep -v -e '\.asc$' -e 'orig-' | sed -n 1p)
    want=$(awk -v f="$orig" '/^Checksums-Sha256:/{s=1;next} /^[^ ]/{s=0} s && $3==f {print $1}' "$dsc")
    [[ -n $want ]] || die "no checksum for $orig in $dsc"
    echo "$want  $SRC/$orig" | sha256sum -c --quiet - || die "checksum mismatch: $orig"
    dir=$(tar tf "$SRC/$orig" | sed -n 1p | cut -d/ -f1)
    tar xf "$SRC/$orig" -C "$SRC/$pkg.d"
    mv "$SRC/$pkg.d/$dir" "$SRC/$pkg.tree"
    echo "$pkg: upstream tarball $orig (checked against $dsc)" >> "$LOGS/dpkg-source.log"
  fi
  rm -rf "$SRC/$pkg.d"
}

fetch_sources() {
  local e need=0
  for e in "${SOURCES[@]}"; do [[ -d $SRC/${e%%=*}.tree ]] || need=1; done
  ((need)) || return 0
  [[ $(id -u) -eq 0 ]] || die "the source packages must be fetched once as root"
  mkdir -p "$SRC"; chmod 777 "$SRC"   # apt's download user writes here
  if ! grep -qs '^Types:.*deb-src' "$APT_SOURCES"; then
    [[ -f $APT_SOURCES ]] || die "no $APT_SOURCES: enable deb-src entries by hand"
    cp -p "$APT_SOURCES" "$CACHE/debian.sources.saved"
    trap restore_apt_sources EXIT
    sed -i 's/^Types: deb$/Types: deb deb-src/' "$APT_SOURCES"
  fi
  apt-get update -qq
  for e in "${SOURCES[@]}"; do
    # One package per call: a file that is not served stops apt-get before it
    # unpacks anything.
    (cd "$SRC" && apt-get source --download-only "$e") >> "$LOGS/apt-source.log" 2>&1 ||
      say "apt-get source $e was incomplete (see $LOGS/apt-source.log)"
  done
  restore_apt_sources
  for e in "${SOURCES[@]}"; do [[ -d $SRC/${e%%=*}.tree ]] || unpack "${e%%=*}" "${e#*=}"; done
}

# The licence texts that go out with the DLLs: Debian's copyright file of
# each source package, or the upstream licence where Debian's diff is missing.
collect_licences() {
  local e pkg tree
  mkdir -p "$DEPS/licences"
  for e in "${SOURCES[@]}"; do
    pkg=${e%%=*} tree=$SRC/${e%%=*}.tree
    if [[ -f $tree/debian/copyright ]]; then
      cp "$tree/debian/copyright" "$DEPS/licences/$pkg.txt"
    elif [[ -f $tree/COPYING ]]; then
      cp "$tree/COPYING" "$DEPS/licences/$pkg.txt"
    else
      die "no licence text in $tree"
    fi
  done
}

# cairo: Debian's patches touch autotools inputs; the shipped configure is
# used, so give them the tarball's time and make does not rerun automake.
fix_cairo_stamps() {
  local c=$SRC/cairo.tree
  find "$c" -path "$c/debian" -prune -o -path "$c/.pc" -prune -o -type f -newer "$c/configure" \
    \( -name Makefile.am -o -name Makefile.sources -o -name 'configure.ac*' -o -name '*.m4' \) \
    -print0 | xargs -0 -r touch -r "$c/aclocal.m4"
}

# --- builds -----------------------------------------------------------------
cmake_lib() {  # cmake_lib <arch> <name> <target or ""> <cmake args...>
  local a=$1 name=$2 target=$3; shift 3
  local b=$SRC/build/$a/$name log=$LOGS/$name-$a.log flags=FLAGS_$a
  cmake -S "$SRC/$name.tree" -B "$b" -G Ninja -Wno-dev \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$([[ $a == x86_64 ]] && echo AMD64 || echo x86)" \
    -DCMAKE_C_COMPILER="$a-w64-mingw32-gcc-posix" -DCMAKE_RC_COMPILER="$a-w64-mingw32-windres" \
    -DCMAKE_AR="/usr/bin/$a-w64-mingw32-ar" -DCMAKE_RANLIB="/usr/bin/$a-w64-mingw32-ranlib" \
    -DCMAKE_FIND_ROOT_PATH="$DEPS/$a" -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
    -DCMAKE_C_FLAGS="${!flags}" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$DEPS/$a" \
    -DZLIB_ROOT="$DEPS/$a" -DZLIB_USE_STATIC_LIBS=ON "$@" > "$log" 2>&1 || die "$name/$a configure failed: $log"
  cmake --build "$b" -j "$JOBS" ${target:+--target "$target"} >> "$log" 2>&1 || die "$name/$a build failed: $log"
  [[ -n $target ]] || cmake --install "$b" >> "$log" 2>&1 || die "$name/$a install failed: $log"
}

autotools_lib() {  # autotools_lib <arch> <name> <subdir> <configure args...>
  local a=$1 name=$2 sub=$3; shift 3
  local tp=$a-w64-mingw32 b=$SRC/build/$a/$name log=$LOGS/$name-$a.log flags=FLAGS_$a P=$DEPS/$a
  rm -rf "$b"; mkdir -p "$b"
  (cd "$b" && "$SRC/$name.tree/configure" --host="$tp" --build="$(gcc -dumpmachine)" \
     --prefix="$P" --enable-static --disable-shared --disable-dependency-tracking \
     CC="$tp-gcc-posix" AR="$tp-ar" RANLIB="$tp-ranlib" STRIP="$tp-strip" CFLAGS="${!flags}" \
     PKG_CONFIG="pkg-config --static" PKG_CONFIG_LIBDIR="$P/lib/pkgconfig" PKG_CONFIG_PATH= \
     LDFLAGS="-L$P/lib" "$@") > "$log" 2>&1 || die "$name/$a configure failed: $log"
  make -C "$b/$sub" -j "$JOBS" >> "$log" 2>&1 || die "$name/$a build failed: $log"
  make -C "$b/$sub" install >> "$log" 2>&1 || die "$name/$a install failed: $log"
}

build_arch() {
  local a=$1 P=$DEPS/$1 t
  mkdir -p "$P/lib/pkgconfig" "$P/include"
  if [[ ! -f $P/lib/libz.a ]]; then t=$SECONDS
    cmake_lib "$a" zlib zlibstatic
    install -m644 "$SRC/zlib.tree/zlib.h" "$SRC/build/$a/zlib/zconf.h" "$P/include/"
    sed -e 's|^sharedlibdir=.*|sharedlibdir=${libdir}|' "$SRC/build/$a/zlib/zlib.pc" > "$P/lib/pkgconfig/zlib.pc"
    install -m644 "$SRC/build/$a/zlib/libzlibstatic.a" "$P/lib/libz.a"
    say "$a zlib: $((SECONDS - t)) s"
  fi
  if [[ ! -f $P/lib/libpng16.a ]]; then t=$SECONDS
    cmake_lib "$a" libpng1.6 "" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF
    say "$a libpng: $((SECONDS - t)) s"
  fi
  if [[ ! -f $P/lib/libfreetype.a ]]; then t=$SECONDS
    # FT_REQUIRE_ZLIB: FreeType's own zlib copy would clash with libz.a on PE.
    cmake_lib "$a" freetype "" -DBUILD_SHARED_LIBS=OFF -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
      -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    say "$a freetype: $((SECONDS - t)) s"
  fi
  if [[ ! -f $P/lib/libpixman-1.a ]]; then t=$SECONDS
    # SIMD paths are compiled in and chosen at run time, as on Linux.
    autotools_lib "$a" pixman pixman CPPFLAGS="-I$P/include" \
      --enable-mmx --enable-sse2 --enable-ssse3 --disable-loongson-mmi --disable-vmx \
      --disable-arm-simd --disable-arm-neon --disable-arm-a64-neon --disable-arm-iwmmxt \
      --disable-mips-dspr2 --disable-openmp --disable-gtk --disable-libpng
    make -C "$SRC/build/$a/pixman" install-pkgconfigDATA >> "$LOGS/pixman-$a.log" 2>&1
    say "$a pixman: $((SECONDS - t)) s"
  fi
  if [[ ! -f $P/lib/libcairo.a ]]; then t=$SECONDS
    # Image surfaces, PNG functions and the FreeType font back-end only.
    # CAIRO_HAS_UTF8_TO_UTF16: cairo's _cairo_fopen needs it on Windows even
    # without the win32 back-ends. -U_FORTIFY_SOURCE: fortified calls would
    # need libssp.
    autotools_lib "$a" cairo src \
      CPPFLAGS="-I$P/include -DCAIRO_WIN32_STATIC_BUILD -DCAIRO_HAS_UTF8_TO_UTF16=1 -Wp,-U_FORTIFY_SOURCE" \
      --enable-png --enable-ft --disable-fc \
      --disable-xlib --disable-xlib-xrender --disable-xcb --disable-xlib-xcb --disable-xcb-shm \
      --without-x --disable-qt --disable-quartz --disable-quartz-font --disable-quartz-image \
      --disable-win32 --disable-win32-font --disable-os2 --disable-beos --disable-drm \
      --disable-gallium --disable-gl --disable-glesv2 --disable-glesv3 --disable-cogl \
      --disable-directfb --disable-vg --disable-egl --disable-glx --disable-wgl \
      --disable-script --disable-ps --disable-pdf --disable-svg --disable-test-surfaces \
      --disable-tee --disable-xml --disable-pthread --disable-gobject --disable-trace \
      --disable-interpreter --disable-symbol-lookup --disable-valgrind --disable-gtk-doc
    say "$a cairo: $((SECONDS - t)) s"
  fi
  rm -f "$P"/lib/*.la
  # No library may export symbols through the DLL, define DllMain or need libssp.
  local l
  for l in $LIBS; do
    l=$P/lib/$l.a
    if grep -aq -- '-export:' "$l"; then die "$l carries dllexport directives"; fi
    if "$a-w64-mingw32-nm" "$l" 2>/dev/null | grep -Eq ' T _?DllMain'; then die "$l defines DllMain"; fi
    if "$a-w64-mingw32-nm" "$l" 2>/dev/null | grep -Eq ' U _*[a-z0-9]+_chk$'; then die "$l needs libssp"; fi
  done
}

t0=$SECONDS
fetch_sources
collect_licences
fix_cairo_stamps
say "sources ready ($((SECONDS - t0)) s)"
build_arch i686
build_arch x86_64
complete || die "incomplete build in $DEPS"
rm -rf "$SRC"   # sources and build trees: about 200 MB, not needed any more
say "built in $((SECONDS - t0)) s"
echo "$DEPS"
