#!/usr/bin/env bash
# Builds the plug-in and shows what a VST host sees when it loads it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVINTA_WERROR=ON
cmake --build build/release -j "$(nproc)" --target ovinta vsthost

echo
echo "== ovinta.so as a VST host sees it"
build/release/tools/vsthost/vsthost build/release/plugin/ovinta.so
