#!/bin/sh
# Seeds one fault at a time into a source tree and runs the tests against it:
# a fault that no test notices shows where the tests are blind.
#
#   scripts/mutation-check.sh <source-tree> <patch-folder> [ctest arguments]
#
# Each *.patch in the folder is applied with git apply, the build folder
# (MUTATION_BUILD, default <source-tree>/build) is rebuilt incrementally and
# ctest runs; the patch is always taken back out, also when interrupted. The
# unmutated tree must first pass three times. Extra arguments go to ctest
# (e.g. -E or -L to leave out a slow test); logs land in MUTATION_LOGS.
set -u
[ $# -ge 2 ] || { echo "usage: $0 <source-tree> <patch-folder> [ctest arguments]" >&2; exit 2; }
tree=$(cd "$1" && pwd) && patches=$(cd "$2" && pwd) || exit 2
shift 2
build=${MUTATION_BUILD:-$tree/build}
jobs=${MUTATION_JOBS:-2}
logs=${MUTATION_LOGS:-$(mktemp -d /tmp/mutation-check.XXXXXX)}
mkdir -p "$logs"
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work} CCACHE_DIR=${CCACHE_DIR:-/work/.ccache}

applied=""
take_back() {
    [ -n "$applied" ] && git -C "$tree" apply -R "$applied"
    applied=""
}
trap take_back EXIT
trap 'exit 130' INT TERM HUP

# Prints the seconds taken; returns 0 pass, 1 a test failed, 2 the build failed.
build_and_test() {
    log=$1
    shift
    started=$(date +%s)
    if ! nice cmake --build "$build" -j"$jobs" >"$log" 2>&1; then
        echo $(($(date +%s) - started))
        return 2
    fi
    nice ctest --test-dir "$build" -j"$jobs" --output-on-failure "$@" >>"$log" 2>&1
    result=$?
    echo $(($(date +%s) - started))
    [ $result -eq 0 ] || return 1
}

# The names of the failed tests, from ctest's summary at the end of the log.
failed_tests() {
    sed -n '/The following tests FAILED/,$p' "$1" | sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' |
        head -n 4 | tr '\n' ' '
}

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >"$logs/configure.log" 2>&1 ||
        { echo "configure failed: $logs/configure.log" >&2; exit 2; }
fi

for run in 1 2 3; do
    seconds=$(build_and_test "$logs/unmutated-$run.log" "$@")
    result=$?
    echo "unmutated run $run: $([ $result -eq 0 ] && echo passed || echo FAILED) in $seconds s"
    [ $result -eq 0 ] || { echo "the unmutated tree must pass: $logs/unmutated-$run.log" >&2; exit 1; }
done

caught=0
missed=0
table=""
for patch in "$patches"/*.patch; do
    name=$(basename "$patch" .patch)
    if ! git -C "$tree" apply "$patch"; then
        echo "$name: does not apply" >&2
        exit 2
    fi
    applied=$patch
    seconds=$(build_and_test "$logs/$name.log" "$@")
    case $? in
        0) verdict=MISSED; missed=$((missed + 1)); by="" ;;
        1) verdict=caught; caught=$((caught + 1)); by=$(failed_tests "$logs/$name.log") ;;
        *) verdict="BUILD FAILED"; by="" ;;
    esac
    take_back
    line=$(printf '%-45s %-12s %5s s  %s' "$name" "$verdict" "$seconds" "$by")
    echo "$line"
    table="$table$line
"
done
# Leaves the build matching the unmutated tree.
nice cmake --build "$build" -j"$jobs" >"$logs/restore.log" 2>&1

echo
printf '%-45s %-12s %7s  %s\n' mutant result time "failed tests (first four)"
printf '%s' "$table"
echo "caught $caught, missed $missed of $((caught + missed)); logs in $logs"
[ "$missed" -eq 0 ]
