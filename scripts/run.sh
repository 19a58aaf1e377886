#!/bin/sh
# Builds the program (installing the compiler and CMake first when run as root
# on Debian and they are missing) and starts it in the current directory,
# where it keeps DVDBibliothek.csv and DVDVerleih.csv.
set -e
repository=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    missing=""
    for package in cmake g++ make; do
        dpkg -s "$package" >/dev/null 2>&1 || missing="$missing $package"
    done
    if [ -n "$missing" ]; then
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
    fi
fi
cmake -S "$repository" -B "$repository/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$repository/build" --target dvdverwaltung -j"$(nproc)" >/dev/null
exec "$repository/build/dvdverwaltung"
