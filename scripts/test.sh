#!/usr/bin/env bash
# Builds Ovinta (release, warnings as errors) in build/release and runs every
# test. The last thing printed is the test run's summary.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup-deps.sh
jobs=$(nproc)
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVINTA_WERROR=ON
cmake --build build/release -j "$jobs"
cd build/release
exec ctest --output-on-failure -j "$jobs"
