#!/bin/bash
# The long fuzz run of the replay reader: builds the libFuzzer target with clang (ASan + UBSan)
# in build-fuzz/ and runs it for RUNS inputs (default one million) from the seed replays.
# Usage: tools/fuzz_replay.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-1000000}
cc=$(command -v clang-14 || command -v clang)
cxx=$(command -v clang++-14 || command -v clang++)
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTARMOAT_FUZZ=ON -DSTARMOAT_BENCH=OFF \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build build-fuzz -j2 --target replay_reader_fuzz replay_reader_corpus
corpus=build-fuzz/replay-corpus
mkdir -p "$corpus"
build-fuzz/tests/replay_reader_corpus --write "$corpus"
build-fuzz/tests/replay_reader_fuzz -runs="$runs" -max_len=4096 -print_final_stats=1 "$corpus"
