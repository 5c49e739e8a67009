#!/usr/bin/env bash
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

# Nothing is needed beyond the C/C++ runtime, the system libraries and the
# desktop libraries the editor draws with (cairo, FreeType, libpng, Xlib),
# which every Linux desktop that runs a host with a window has.
needed=$(readelf -d "$library" | awk '/NEEDED/ { gsub(/[\[\]]/, "", $NF); print $NF }')
for lib in $needed; do
  case "$lib" in
    libstdc++.so.*|libgcc_s.so.*|libc.so.*|libm.so.*|ld-linux*|libdl.so.*|libpthread.so.*) ;;
    libasan.so.*|libubsan.so.*|libtsan.so.*) ;;
    libcairo.so.2|libfreetype.so.6|libpng16.so.16|libX11.so.6|libz.so.1) ;;
    *) echo "unexpected run-time dependency: $lib" >&2; exit 1 ;;
  esac
done
echo "exports: $exported; needs: $(echo $needed)"
