#!/bin/sh
# The robustness campaign, long: the key fuzzer for a while, then every
# robustness case against the real program, the repeated ones (random kills
# and hang-ups) many times, in the normal and in the sanitized build. The
# figures (how often each file came out old or new) are printed at the end
# and kept in build-robust/robustness-long.txt.
#
#   scripts/robustness-long.sh
#
# From the environment (defaults in brackets):
#   FUZZ_SECONDS [300]  KEY_FUZZ_RUNS [10000]  REPEAT [200]  REPEAT_SANITIZED [40]  SEED [from the clock]
set -eu
repository=$(cd "$(dirname "$0")/.." && pwd)
cd "$repository"
repeat=${REPEAT:-200}
repeat_sanitized=${REPEAT_SANITIZED:-40}
seed=${SEED:-$(date +%s)}
log=build-robust/robustness-long.txt
started=$(date +%s)
failed=0
mkdir -p build-robust
: >"$log"

echo "== file fuzzing, ${FUZZ_SECONDS:-300} s; key fuzzing, ${KEY_FUZZ_RUNS:-10000} sequences"
KEY_FUZZ_RUNS=${KEY_FUZZ_RUNS:-10000} scripts/fuzz-short.sh build-robust-fuzz "${FUZZ_SECONDS:-300}" >/dev/null 2>&1 || failed=1

for build in build-robust build-robust-asan; do
    flags="-DCMAKE_BUILD_TYPE=RelWithDebInfo"
    runs=$repeat
    if [ "$build" = build-robust-asan ]; then flags="-DCMAKE_BUILD_TYPE=Debug -DDVD_SANITIZE=ON"; runs=$repeat_sanitized; fi
    echo "== $build: robustness cases, repeated ones $runs times"
    cmake -S . -B "$build" $flags >/dev/null
    cmake --build "$build" -j2 --target pty_cases dvdverwaltung >/dev/null
    DVD_CASE_REPEAT=$runs DVD_CASE_SEED=$seed ASAN_OPTIONS=detect_leaks=1 \
        ctest --test-dir "$build" -L robustness -V -j2 >"$build/robustness.out" 2>&1 || failed=1
    grep -E ': [0-9]+ runs,' "$build/robustness.out" | sed "s/^[0-9]*: //; s|$repository/tests/||; s/^/$build: /" |
        tee -a "$log"
done

echo "== seed $seed, $(($(date +%s) - started)) s" | tee -a "$log"
if [ "$failed" -ne 0 ]; then
    echo "== robustness campaign FAILED (see build-robust*/robustness.out, build-robust-fuzz/fuzz-artifacts)"
    exit 1
fi
echo "== robustness campaign passed (figures in $log)"
