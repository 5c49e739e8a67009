#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Ovinta (release, warnings as errors) in build/release and runs every
# test. The last line printed is the test run's summary
# ("N% tests passed, M tests failed out of T"); the exit status is the run's.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup-deps.sh
jobs=$(nproc)
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVINTA_WERROR=ON
cmake --build build/release -j "$jobs"

cd build/release
set +e
ctest --output-on-failure -j "$jobs" --no-label-summary 2>&1 | tee ctest-output.log
status=${PIPESTATUS[0]}
set -e
# ctest prints its total time and the list of failures after the summary;
# repeat the summary so that it closes the output.
summary=$(grep -E '^[0-9]+% tests passed' ctest-output.log | tail -n 1 || true)
echo
echo "${summary:-ctest printed no summary (exit status $status)}"
exit "$status"
