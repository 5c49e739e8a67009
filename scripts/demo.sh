#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the plug-in and shows what a VST host sees when it loads it; then
# renders a generated dry signal through three factory rooms and measures
# their impulse responses (everything in out/demo).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVINTA_WERROR=ON
cmake --build build/release -j "$(nproc)" --target ovinta vsthost ovinta_tool

echo
echo "== ovinta.so as a VST host sees it"
build/release/tools/vsthost/vsthost build/release/plugin/ovinta.so

echo
echo "== three factory rooms: rendered, exported and measured"
scripts/demo-render.sh build/release out/demo
