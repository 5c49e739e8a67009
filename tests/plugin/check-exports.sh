#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that a plug-in library exports exactly its entry point under the two
# names hosts look up, and that both names are the same function.
set -euo pipefail
library=$1

exported=$(nm -D --defined-only "$library" | awk '{ print $NF }' | sort | tr '\n' ' ')
if [[ "$exported" != "VSTPluginMain main " ]]; then
  echo "unexpected exported symbols: $exported" >&2
  exit 1
fi

entry=$(nm -D --defined-only "$library" | awk '$3 == "VSTPluginMain" { print $1 }')
alias=$(nm -D --defined-only "$library" | awk '$3 == "main" { print $1 }')
if [[ -z "$entry" || "$entry" != "$alias" ]]; then
  echo "main ($alias) is not VSTPluginMain ($entry)" >&2
  exit 1
fi

# Run-time dependencies: the C/C++ runtime, the editor's drawing, font, PNG and
# window libraries (all in Debian's standard set), and the sanitiser runtimes.
# A library the plug-in starts to need on purpose is added to this list.
needed=$(readelf -d "$library" | awk '/NEEDED/ { gsub(/[\[\]]/, "", $NF); print $NF }')
for lib in $needed; do
  case "$lib" in
    libstdc++.so.*|libgcc_s.so.*|libc.so.*|libm.so.*|ld-linux*|libdl.so.*|libpthread.so.*) ;;
    libcairo.so.*|libfreetype.so.*|libpng16.so.*|libz.so.*|libX11.so.*) ;;
    libasan.so.*|libubsan.so.*|libtsan.so.*) ;;
    *) echo "unexpected run-time dependency: $lib" >&2; exit 1 ;;
  esac
done
echo "exports: $exported; needs: $(echo $needed)"
