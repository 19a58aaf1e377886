#!/bin/sh
# Builds the fuzzers with clang in the given build directory and runs each
# for a short while on its seeds (default 20 s each): the file loader
# (corpus/store) and the whole program fed keys (corpus/keys, keys.dict).
# Exits non-zero when a fuzzer finds a fault; the input that shows it is left
# in <build-dir>/fuzz-artifacts. Longer runs: give more seconds.
#
#   scripts/fuzz-short.sh <build-dir> [seconds-each]
#
# KEY_FUZZ_RUNS=N runs the key fuzzer on N inputs instead of for a time
# (each input is played twice: in bursts and key by key).
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 <build-dir> [seconds-each]" >&2
    exit 2
fi
mkdir -p "$1"
# Absolute: the fuzzers work in a directory of their own.
build_dir=$(cd "$1" && pwd)
seconds=${2:-20}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" \
    -DDVD_BUILD_FUZZERS=ON -DDVD_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" --target store_fuzzer key_fuzzer import_fuzzer -j"$(nproc)"

# New inputs go to a scratch corpus, never into the repository's seeds.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build_dir/fuzz-artifacts" "$scratch/store" "$scratch/keys" "$scratch/import"
# A small quarantine: most of the time otherwise goes to recycling memory.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16}"
"$build_dir/fuzz/store_fuzzer" \
    -max_total_time="$seconds" -timeout=10 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build_dir/fuzz-artifacts/" \
    "$scratch/store" "$source_dir/fuzz/corpus/store"
key_limit="-max_total_time=$seconds"
[ -n "${KEY_FUZZ_RUNS:-}" ] && key_limit="-runs=$KEY_FUZZ_RUNS"
"$build_dir/fuzz/key_fuzzer" \
    "$key_limit" -timeout=20 -max_len=1024 -print_final_stats=1 \
    -dict="$source_dir/fuzz/keys.dict" -artifact_prefix="$build_dir/fuzz-artifacts/" \
    "$scratch/keys" "$source_dir/fuzz/corpus/keys"
# The import's reader: a third of the time, its inputs are small and fast.
"$build_dir/fuzz/import_fuzzer" \
    -max_total_time="$(( (seconds + 2) / 3 ))" -timeout=10 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build_dir/fuzz-artifacts/" \
    "$scratch/import" "$source_dir/fuzz/corpus/import"
