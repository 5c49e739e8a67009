#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzzers with clang, AddressSanitizer and UndefinedBehavior-
# Sanitizer in build/fuzz and runs each for a bounded time: the chunk fuzzer
# (chunks against the program model alone, many inputs a second), then the
# effect fuzzer (the same inputs through the whole effect with parameters and
# audio).
#   scripts/fuzz.sh [SECONDS]      (default 60, for each fuzzer)
# New inputs found go to build/fuzz/corpus; a crash leaves its input in
# build/fuzz/ and makes the script fail. Each run ends with its rate.
# Warnings are not errors here: the gcc build checks them, and clang warns
# about a few things gcc accepts.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build/fuzz"

cmake -S "$root" -B "$build" -G Ninja ${OVINTA_FUZZ_CMAKE_ARGS:-} \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOVINTA_FUZZ=ON -DOVINTA_SANITIZE=address,undefined -DOVINTA_WERROR=OFF \
  -DOVINTA_TESTS=ON -DOVINTA_BENCH=OFF >/dev/null
ninja -C "$build" -j2 ovinta_chunk_fuzzer ovinta_effect_fuzzer ovinta_fuzz_seed_corpus

mkdir -p "$build/corpus"
cd "$build"
for fuzzer in chunk effect; do
  echo "== $fuzzer fuzzer, $seconds s"
  "$build/tests/fuzz/ovinta_${fuzzer}_fuzzer" "$build/corpus" "$root/tests/fuzz/corpus" \
    "$build/tests/fuzz/seeds" \
    -max_total_time="$seconds" -max_len=430000 -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 \
    2>&1 | tee "$build/$fuzzer.log" | grep -v -E '^#[0-9]+.*(NEW|REDUCE|pulse)'
  # tee hides the fuzzer's exit status: a finding leaves a crash- file.
  grep -q -E '^==[0-9]+==ERROR|^SUMMARY|invariant broken|deadly signal' "$build/$fuzzer.log" && exit 1
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$fuzzer.log")
  echo "$fuzzer fuzzer: $runs inputs in $seconds s ($((runs * 60 / seconds)) a minute)"
done
