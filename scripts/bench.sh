#!/bin/sh
# Builds the release program with the measuring programs (build-bench), runs
# every measurement and prints one markdown table, which also replaces the
# table in docs/benchmarks.md. Takes about two minutes after the build.
# Every figure has a budget (in the table and docs/benchmarks.md): the run
# ends with status 3 when one is over it.
# Arguments go to terminal_figures (e.g. --idle-seconds 2 for a trial run);
# a run with arguments prints its table but leaves the document alone.
# Installs dialog (the comparison) and the libraries when run as root on Debian.
# On a shared machine, BENCH_WAIT_QUIET=600 waits up to 10 minutes for the
# other work to stop before measuring.
set -e
repository=$(cd "$(dirname "$0")/.." && pwd)
cd "$repository"
build=${BENCH_BUILD_DIR:-build-bench}
document=docs/benchmarks.md

if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    missing=""
    for package in cmake g++ make libbenchmark-dev libvterm-dev dialog; do
        dpkg -s "$package" >/dev/null 2>&1 || missing="$missing $package"
    done
    if [ -n "$missing" ]; then
        echo "== installing:$missing" >&2
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
    fi
fi

echo "== release build in $build" >&2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDVD_BUILD_BENCH=ON -DDVD_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
for program in storage_bench terminal_figures completion_bench journal_bench sort_bench import_figures; do
    if [ ! -x "$build/bench/$program" ]; then
        echo "bench: $program was not built (GoogleTest, Google Benchmark or libvterm missing)" >&2
        exit 1
    fi
done


# How busy the machine is: the share of all cores' time spent working, from
# /proc/stat (the load average trails by minutes).
cpu_ticks() { awk '$1 == "cpu" { print $2 + $3 + $4 + $7 + $8 + $9, $5 + $6 }' /proc/stat; }
busy_percent() {  # busy_percent "busy idle" "busy idle": percent busy between the two readings
    echo "$1 $2" | awk '{ busy = $3 - $1; idle = $4 - $2; share = busy + idle > 0 ? 100 * busy / (busy + idle) : 0
                          printf "%.0f", share }'
}
busy_now() { first=$(cpu_ticks); sleep 2; busy_percent "$first" "$(cpu_ticks)"; }

# BENCH_WAIT_QUIET=<seconds>: wait that long at most for the machine to go quiet.
waited=0
busy_before=$(busy_now)
while [ "$busy_before" -ge 10 ] && [ "$waited" -lt "${BENCH_WAIT_QUIET:-0}" ]; do
    echo "== machine $busy_before% busy; waiting for it to go quiet" >&2
    sleep 8
    waited=$((waited + 10))
    busy_before=$(busy_now)
done
[ "$busy_before" -lt 25 ] || echo "== machine $busy_before% busy: the timings will be noisy" >&2
ticks_start=$(cpu_ticks)
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
results=$(mktemp)
trap 'rm -f "$results" "$results.storage" "$results.table" "$results.over"' EXIT

echo "== files (storage_bench, medians of 5 repetitions)" >&2
"$build/bench/storage_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$results.storage"

echo "== the program in a pseudo-terminal (terminal_figures)" >&2
over=0
"$build/bench/terminal_figures" "$@" >"$results" || { status=$?; [ "$status" = 3 ] || exit "$status"; over=1; }
# The budgets of the features beyond the screens: each program checks its own
# and exits non-zero when one is over.
for program in completion_bench journal_bench sort_bench import_figures; do
    echo "== $program" >&2
    "$build/bench/$program" >&2 || { echo "$program: over its budget" >>"$results.over"; }
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
busy_during=$(busy_percent "$ticks_start" "$(cpu_ticks)")

# The storage medians as rows of section 5 (real time: the sync to disk
# included), each against its budget (docs/benchmarks.md); one over it is
# noted in $results.over.
storage_rows=$(awk -F, -v over="$results.over" '
    function row(figure, ms, format, budget) {
        verdict = ms <= budget ? "met" : "OVER"
        if (verdict == "OVER") print figure >over
        printf "| 5 | %s | " format " ms | budget %s ms: %s |\n", figure, ms, budget, verdict
    }
    { gsub(/"/, "") }
    $1 == "BM_ClearAndLoad/real_time_median" { row("`clear` + `load` of 1999 records", $3 / 1000, "%.2f", 20) }
    $1 == "BM_ClearAndLoadNineFields/real_time_median" { row("`clear` + `load` of 1999 records of nine full fields", $3 / 1000, "%.2f", 20) }
    $1 == "BM_AppendRecord/0/real_time_median" { row("`appendRecord` of one line", $3 / 1000, "%.2f", 250) }
    $1 == "BM_AppendRecord/1/real_time_median" { row("`appendRecord` of one line of nine full fields", $3 / 1000, "%.2f", 250) }
    $1 ~ /^BM_SearchAndDelete\/2500\/.*real_time_median$/ { row("Delete of record 2400 of 2500 (search through the file, rewrite)", $3, "%.1f", 250) }
    $1 ~ /^BM_SearchAndDelete\/1000000\/.*real_time_median$/ { row("Delete of line 500000 of a 10^6-line file (39 MB)", $3, "%.0f", 5000) }
    $1 ~ /^BM_SearchAndDelete\/860000\/.*real_time_median$/ { row("Delete of a record 10 lines before the end of a 32 MiB file", $3, "%.0f", 5000) }
' "$results.storage")

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
filesystem=$(df -T "${TMPDIR:-/tmp}" | awk 'NR == 2 { print $2 }')
{
    echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores ($cpu), Linux $(uname -r);"
    echo "CPU busy $busy_before% in the 2 s before the run, $busy_during% during it (the run's own work included);"
    echo "load average (1, 5, 15 min) $load_before before, $load_after after; data files in ${TMPDIR:-/tmp} ($filesystem)."
    echo
    echo "| # | Figure | Result | Budget / comparison |"
    echo "|---|--------|--------|-------------------|"
    grep -v '^| 5 ' "$results"
    echo "$storage_rows"
    grep '^| 5 ' "$results"
} >"$results.table"
cat "$results.table"

# The table goes between the two marker lines of the document.
if [ $# -gt 0 ]; then
    echo "== a trial run (arguments given): $document left as it is" >&2
elif grep -q '^<!-- bench table begin -->$' "$document" && grep -q '^<!-- bench table end -->$' "$document"; then
    awk -v table="$results.table" '
        /^<!-- bench table end -->$/ { while ((getline line < table) > 0) print line; skipping = 0 }
        !skipping { print }
        /^<!-- bench table begin -->$/ { skipping = 1 }
    ' "$document" >"$document.new"
    mv "$document.new" "$document"
    echo "== table written to $document" >&2
else
    echo "bench: $document has no table markers; the table was not written" >&2
    exit 1
fi
if [ "$over" = 1 ] || [ -s "$results.over" ]; then
    echo "bench: figures over their budget:" >&2
    grep -h 'OVER' "$results.table" | cut -d'|' -f3 >&2
    grep -h 'over its budget' "$results.over" >&2 2>/dev/null
    exit 3
fi
