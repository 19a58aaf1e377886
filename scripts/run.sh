#!/bin/sh
# Builds the program (installing the compiler and CMake first when run as root
# on Debian and they are missing) and starts it in the current directory,
# where it keeps DVDBibliothek.csv and DVDVerleih.csv. Arguments go to the
# program (scripts/run.sh -C ~/dvds). The build folder is build-run, apart
# from the test builds, so neither rebuilds the other.
set -e
repository=$(cd "$(dirname "$0")/.." && pwd)
build="$repository/build-run"
if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    missing=""
    for package in cmake g++ make; do
        dpkg -s "$package" >/dev/null 2>&1 || missing="$missing $package"
    done
    if [ -n "$missing" ]; then
        echo "== installing:$missing"
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
    fi
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    echo "== first build of dvdverwaltung into build-run (about half a minute)"
    cmake -S "$repository" -B "$build" -DCMAKE_BUILD_TYPE=Release -DDVD_BUILD_TESTS=OFF >/dev/null
fi
# The build's own progress lines; a build with nothing to do prints little.
cmake --build "$build" --target dvdverwaltung -j"$(nproc)"
exec "$build/dvdverwaltung" "$@"
