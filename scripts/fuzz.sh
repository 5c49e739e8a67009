#!/bin/sh
# Builds the chunk fuzzer with clang, AddressSanitizer and UndefinedBehavior-
# Sanitizer in build/fuzz and runs it for a bounded time.
#   scripts/fuzz.sh [SECONDS]      (default 60)
# New inputs found go to build/fuzz/corpus; a crash leaves its input in
# build/fuzz/ and makes the script fail.
# Warnings are not errors here: the gcc build checks them, and clang warns
# about a few things gcc accepts.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build/fuzz"

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOVINTA_FUZZ=ON -DOVINTA_SANITIZE=address,undefined -DOVINTA_WERROR=OFF \
  -DOVINTA_TESTS=ON -DOVINTA_BENCH=OFF >/dev/null
ninja -C "$build" -j2 ovinta_chunk_fuzzer ovinta_fuzz_seed_corpus

mkdir -p "$build/corpus"
cd "$build"
exec "$build/tests/fuzz/ovinta_chunk_fuzzer" "$build/corpus" "$root/tests/fuzz/corpus" \
  "$build/tests/fuzz/seeds" \
  -max_total_time="$seconds" -max_len=430000 -timeout=60 -rss_limit_mb=4096 -print_final_stats=1
