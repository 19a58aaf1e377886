#!/bin/sh
# Installs what the tests need (apt-get, when run as root on Debian) and runs
# every test: the normal build, its tests but the robustness cases again
# under AddressSanitizer and UndefinedBehaviorSanitizer, a short run of the
# fuzzers (files, keys, imports), and the
# Windows build cross-compiled with its unit tests run under wine.
# A missing GoogleTest, libvterm or lintian stops it with a message; it never
# passes with tests left out.
set -e
repository=$(cd "$(dirname "$0")/.." && pwd)
cd "$repository"
jobs=$(nproc)
# Many terminal cases spend their time waiting out locks and messages, not
# on the processor: three times as many at once as there are cores (twice
# as many sanitized, which keep the processor busier).
test_jobs=$((jobs * 3))
sanitized_test_jobs=$((jobs * 2))
started=$(date +%s)
phase() { echo "== $1 (at $(($(date +%s) - started)) s)"; }

if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    missing=""
    # man-db, groff-base, dpkg-dev, lintian: the check of the manual pages
    # and the Debian package; locales: a terminal in ISO-8859-1.
    for package in cmake g++ make clang libclang-rt-dev libgtest-dev libbenchmark-dev libvterm-dev \
        man-db groff-base dpkg-dev lintian locales ccache; do
        dpkg -s "$package" >/dev/null 2>&1 || missing="$missing $package"
    done
    if [ -n "$missing" ]; then
        echo "== installing:$missing"
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
    fi
    if ! locale -a 2>/dev/null | grep -qix 'de_DE\.iso88591'; then
        echo "== generating the locale de_DE.ISO-8859-1"
        localedef -i de_DE -f ISO-8859-1 de_DE.ISO-8859-1
    fi
fi

# Repeated runs on one machine (a clean clone each time) compile only what
# changed: the compiler cache keys on paths relative to the checkout.
# With debugging information the cache would also key on the checkout's own
# folder, and every clone would compile everything again.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$repository" \
        CCACHE_NOHASHDIR=true
fi

phase "build and test"
# The developers' builds stop at any warning; a plain configure does not.
# Every build of this script has a folder of its own: build/, the README's
# folder for building by hand, keeps whatever was configured there.
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDVD_REQUIRE_TEST_TOOLS=ON -DDVD_WERROR=ON >/dev/null
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure --no-tests=error -j"$test_jobs"

phase "build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DDVD_SANITIZE=ON -DDVD_REQUIRE_TEST_TOOLS=ON -DDVD_WERROR=ON \
    >/dev/null
cmake --build build-sanitize -j"$jobs"
# The installed program and its package are checked once, above. To keep the
# whole run within ten minutes the sanitized leg runs everything in-process
# (the scenarios included) and the real program in every e2e/ case; the
# robustness cases, which mostly wait out locks, kills and full disks, run
# unsanitized above (scripts/robustness-long.sh runs them at length).
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure --no-tests=error -E '^install_|^e2e/scenarios/' -LE robustness -j"$sanitized_test_jobs"

if [ -x scripts/fuzz-short.sh ]; then
    phase "short fuzzing run"
    scripts/fuzz-short.sh build-fuzz 8
fi
phase "Windows leg"
scripts/windows-test.sh
phase "all tests passed"
