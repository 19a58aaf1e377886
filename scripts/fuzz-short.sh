#!/bin/sh
# Builds the store fuzzer with clang in the given build directory and runs it
# for a short while (default 30 s) on the seed corpus. Exits non-zero when the
# fuzzer finds a crash; the crashing input is left in <build-dir>/fuzz-artifacts.
#
#   scripts/fuzz-short.sh <build-dir> [seconds]
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 <build-dir> [seconds]" >&2
    exit 2
fi
mkdir -p "$1"
# Absolute: the fuzzer works in a directory of its own.
build_dir=$(cd "$1" && pwd)
seconds=${2:-30}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" \
    -DDVD_BUILD_FUZZERS=ON -DDVD_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target store_fuzzer -j2

# New inputs go to a scratch corpus, never into the repository's seeds.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build_dir/fuzz-artifacts"
# A small quarantine: most of the time otherwise goes to recycling memory.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16}"
"$build_dir/fuzz/store_fuzzer" \
    -max_total_time="$seconds" -timeout=10 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build_dir/fuzz-artifacts/" \
    "$scratch" "$source_dir/fuzz/corpus/store"
