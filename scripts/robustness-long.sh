#!/bin/sh
# The robustness campaign, long: random key streams (in the normal and the
# sanitized build), SIGKILL while saving, random hang-ups, and the fixed
# fault and hostile-file cases, against the real program. Takes about
# 6-8 minutes on two cores; the figures are printed at the end and kept in
# build-robust/robustness-long.txt.
#
#   scripts/robustness-long.sh
#
# Sizes and seed from the environment (defaults in brackets):
#   FUZZ_STREAMS [40000]  FUZZ_STREAMS_SANITIZED [4000]  CRASH_KILLS [400]
#   CRASH_RECORDS [1999]  FAULT_ROUNDS [300]  SEED [from the clock]
set -eu
repository=$(cd "$(dirname "$0")/.." && pwd)
cd "$repository"

fuzz_streams=${FUZZ_STREAMS:-40000}
fuzz_streams_sanitized=${FUZZ_STREAMS_SANITIZED:-4000}
crash_kills=${CRASH_KILLS:-400}
crash_records=${CRASH_RECORDS:-1999}
fault_rounds=${FAULT_ROUNDS:-300}
seed=${SEED:-$(date +%s)}

echo "== building build-robust and build-robust-asan"
cmake -S . -B build-robust -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-robust -j2 --target key_fuzz_tests terminal_robustness_tests dvdverwaltung >/dev/null
cmake -S . -B build-robust-asan -DCMAKE_BUILD_TYPE=Debug -DDVD_SANITIZE=ON >/dev/null
cmake --build build-robust-asan -j2 --target key_fuzz_tests terminal_robustness_tests dvdverwaltung >/dev/null

log=build-robust/robustness-long.txt
: >"$log"
started=$(date +%s)
failed=0

# Runs one test program; its figures (lines the tests print) go to the log.
run() {
    title=$1
    shift
    echo "== $title"
    output=$(mktemp)
    if "$@" >"$output" 2>&1; then
        result=passed
    else
        result=FAILED
        failed=1
        cat "$output"
    fi
    grep -E '^(key fuzzing|crash safety|faults|random hang-ups):' "$output" | sed "s/^/$title: /" | tee -a "$log" || true
    echo "$title: $result" | tee -a "$log"
    rm -f "$output"
}

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

run "keys, sanitized" env DVD_FUZZ_STREAMS="$fuzz_streams_sanitized" DVD_FUZZ_SEED="$seed" \
    build-robust-asan/tests/key_fuzz_tests
run "keys" env DVD_FUZZ_STREAMS="$fuzz_streams" DVD_FUZZ_SEED="$((seed + 1000000))" \
    build-robust/tests/key_fuzz_tests
run "kills" env DVD_CRASH_KILLS="$crash_kills" DVD_CRASH_RECORDS="$crash_records" DVD_CRASH_SEED="$seed" \
    build-robust/tests/terminal_robustness_tests --gtest_filter='CrashSafety.*'
run "faults" env DVD_FAULT_ROUNDS="$fault_rounds" DVD_FAULT_SEED="$seed" \
    build-robust/tests/terminal_robustness_tests --gtest_filter='Faults.*:HostileFiles.*'
run "faults, sanitized" env DVD_FAULT_ROUNDS="$((fault_rounds / 4))" DVD_FAULT_SEED="$((seed + 1))" \
    build-robust-asan/tests/terminal_robustness_tests --gtest_filter='Faults.*:HostileFiles.*'

echo "== seed $seed, $(($(date +%s) - started)) s" | tee -a "$log"
if [ "$failed" -ne 0 ]; then
    echo "== robustness campaign FAILED (figures in $log)"
    exit 1
fi
echo "== robustness campaign passed (figures in $log)"
