#!/bin/sh
# The Windows leg: cross-builds dvdverwaltung.exe and the unit tests with
# mingw-w64 into build-windows and runs the tests under wine, headless; then
# makes the download, dvdverwaltung-<version>-win64.zip, from a Release
# build in build-windows-release and runs the program unpacked from it.
# Installs what it needs (apt-get, when run as root on Debian). Each kind of
# failure is reported on a line of its own and ends the script non-zero:
#   WINDOWS CROSS-BUILD FAILED, WINE COULD NOT START, WINDOWS UNIT TESTS FAILED,
#   WINDOWS PROGRAM CHECK FAILED, WINDOWS TERMINAL CASES FAILED,
#   WINDOWS DOWNLOAD FAILED.
set -u
repository=$(cd "$(dirname "$0")/.." && pwd)
cd "$repository"
build=build-windows
release=build-windows-release
jobs=$(nproc)

fail() {
    echo "== $1" >&2
    exit 1
}

seconds_since() { echo $(($(date +%s) - $1)); }

if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    missing=""
    # googletest: the sources in /usr/src/googletest, built with the cross compiler.
    # unzip: the download is checked as a user unpacks it.
    for package in cmake make g++-mingw-w64-x86-64 googletest wine wine64 unzip; do
        dpkg -s "$package" >/dev/null 2>&1 || missing="$missing $package"
    done
    if [ -n "$missing" ]; then
        echo "== installing:$missing"
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null ||
            fail "WINDOWS CROSS-BUILD FAILED: could not install$missing"
    fi
fi

echo "== Windows cross-build (mingw-w64) into $build"
started=$(date +%s)
# Unoptimised and without debug information: nobody debugs under wine here,
# and the folder, which later runs reuse, stays a fraction of its size.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DDVD_WERROR=ON \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 >/dev/null || fail "WINDOWS CROSS-BUILD FAILED (configure)"
cmake --build "$build" -j"$jobs" || fail "WINDOWS CROSS-BUILD FAILED"
[ -f "$build/dvdverwaltung.exe" ] || fail "WINDOWS CROSS-BUILD FAILED: no dvdverwaltung.exe"
[ -f "$build/tests/unit_tests.exe" ] || fail "WINDOWS CROSS-BUILD FAILED: no unit_tests.exe"
echo "== cross-build took $(seconds_since "$started") s"

# A wine installation of our own under the build directory, without display
# and without the Mono and Gecko installers, which would wait for a click.
export WINEPREFIX="$repository/$build/wine-prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
command -v wine >/dev/null 2>&1 || fail "WINE COULD NOT START: wine is not installed"
# Ends this prefix's wine server and everything still running in it.
trap 'timeout 30 wineserver -k >/dev/null 2>&1' EXIT

echo "== starting wine in $WINEPREFIX"
started=$(date +%s)
mkdir -p "$WINEPREFIX"
# The server stays up for all calls below, and the prefix is booted before
# any test runs, so no call waits on wine's background services.
timeout 60 wineserver -p >/dev/null 2>&1 || fail "WINE COULD NOT START (wineserver)"
timeout 180 wine wineboot -i >/dev/null 2>&1 || fail "WINE COULD NOT START (wineboot)"
answer=$(timeout 60 wine cmd /c echo wine-is-up 2>/dev/null | tr -d '\r')
[ "$answer" = "wine-is-up" ] || fail "WINE COULD NOT START (cmd does not answer)"
echo "== wine started in $(seconds_since "$started") s"

echo "== Windows unit tests under wine"
started=$(date +%s)
log="$build/unit-tests.log"
timeout 600 wine "$build/tests/unit_tests.exe" --gtest_color=no >"$log" 2>&1 </dev/null
status=$?
if [ "$status" -ne 0 ] || ! grep -q '^\[  PASSED  \]' "$log"; then
    cat "$log"
    [ "$status" -eq 124 ] && fail "WINDOWS UNIT TESTS FAILED (timed out after 600 s)"
    fail "WINDOWS UNIT TESTS FAILED (exit status $status)"
fi
grep -E '^\[(==========|  PASSED  |  SKIPPED )\]' "$log"
echo "== unit tests took $(seconds_since "$started") s"

# The real program, output redirected and no keyboard: it must draw the main
# menu as plain bytes and end as after Escape, with status 0.
echo "== Windows program without a console"
check="$build/program-check"
rm -rf "$check" && mkdir -p "$check"
(cd "$check" && timeout 120 wine ../dvdverwaltung.exe </dev/null >output.txt 2>errors.txt)
status=$?
[ "$status" -eq 0 ] || fail "WINDOWS PROGRAM CHECK FAILED (exit status $status)"
grep -q "DVD Verwaltungs-System" "$check/output.txt" || fail "WINDOWS PROGRAM CHECK FAILED (no main menu)"
# The program in a terminal, played by the terminal cases' player of the
# Linux build (build-test, made by scripts/test.sh before this leg; built
# here when missing): each folder of tests/windows/.
echo "== Windows program in a terminal"
started=$(date +%s)
player=build-test/tests/pty_cases
if [ ! -x "$player" ]; then
    cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDVD_REQUIRE_TEST_TOOLS=ON -DDVD_WERROR=ON >/dev/null &&
        cmake --build build-test -j"$jobs" --target pty_cases >/dev/null || fail "WINDOWS TERMINAL CASES FAILED (no player)"
fi
export DVD_WINDOWS_PROGRAM="$repository/$build/dvdverwaltung.exe"
for case in tests/windows/*/; do
    # Wine starts in seconds, not milliseconds: the player's bounds are scaled.
    DVD_TEST_TIME_SCALE=${DVD_TEST_TIME_SCALE:-4} "$player" tests/windows/wine-program "$case" ||
        fail "WINDOWS TERMINAL CASES FAILED ($case)"
done
echo "== terminal cases took $(seconds_since "$started") s"

# An import started in a folder named beyond ASCII, of files so named, one
# of them beyond the ANSI code page: read and written by the wide names.
echo "== Windows import in a folder named beyond ASCII"
folder="$check/Jürgen Łukasz"
mkdir -p "$folder"
printf 'Titel;Laufzeit\r\nHeat;170\r\n' >"$folder/Größe.csv"
printf 'Titel;Laufzeit\r\nAlien;117\r\n' >"$folder/Łódź.csv"
(cd "$folder" &&
    LC_ALL=C.UTF-8 timeout 120 wine ../../dvdverwaltung.exe --import Größe.csv </dev/null >output.txt 2>errors.txt &&
    LC_ALL=C.UTF-8 timeout 120 wine ../../dvdverwaltung.exe --import=Łódź.csv </dev/null >>output.txt 2>>errors.txt) ||
    fail "WINDOWS PROGRAM CHECK FAILED (import beyond ASCII: $(cat "$folder/errors.txt"))"
[ "$(od -c "$folder/DVDBibliothek.csv")" = "$(printf ',Heat,,170,\r\n,Alien,,117,\r\n' | od -c)" ] ||
    fail "WINDOWS PROGRAM CHECK FAILED (import beyond ASCII: the library holds $(cat "$folder/DVDBibliothek.csv"))"
echo "== Windows download: Release cross-build (-O2) into $release and cpack -G ZIP"
started=$(date +%s)
cmake -S . -B "$release" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DDVD_WERROR=ON \
    -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DBUILD_TESTING=OFF >/dev/null ||
    fail "WINDOWS DOWNLOAD FAILED (configure)"
cmake --build "$release" -j"$jobs" || fail "WINDOWS DOWNLOAD FAILED (build)"
(cd "$release" && cpack -G ZIP >cpack.log 2>&1) || { cat "$release/cpack.log"; fail "WINDOWS DOWNLOAD FAILED (cpack)"; }
version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
folder="dvdverwaltung-$version-win64"
zip="$release/$folder.zip"
[ -f "$zip" ] || fail "WINDOWS DOWNLOAD FAILED: no $zip"
# Exactly the folder with the program and the two texts, in CR LF; the
# program needs no DLL beside it.
listing=$(unzip -Z1 "$zip" | grep -v '/$' | sort | tr '\n' ' ')
expected="$folder/LICENSE.txt $folder/LIESMICH.txt $folder/dvdverwaltung.exe "
[ "$listing" = "$expected" ] || fail "WINDOWS DOWNLOAD FAILED: the zip holds $listing"
unpacked="$release/unpacked"
rm -rf "$unpacked" && mkdir -p "$unpacked" && unzip -q "$zip" -d "$unpacked" || fail "WINDOWS DOWNLOAD FAILED (unzip)"
for text in LIESMICH.txt LICENSE.txt; do
    lines=$(wc -l <"$unpacked/$folder/$text")
    [ "$(grep -c "$(printf '\r')\$" "$unpacked/$folder/$text")" = "$lines" ] ||
        fail "WINDOWS DOWNLOAD FAILED: $text has lines without CR LF"
done
iconv -f UTF-8 -t UTF-8 "$unpacked/$folder/LIESMICH.txt" >/dev/null || fail "WINDOWS DOWNLOAD FAILED: LIESMICH.txt is not UTF-8"
dlls=$(x86_64-w64-mingw32-objdump -p "$unpacked/$folder/dvdverwaltung.exe" | sed -n 's/^\tDLL Name: //p' |
    grep -viE '^(kernel32|user32|shell32|advapi32|msvcrt|ucrtbase|api-ms-win-.*)\.dll$' | tr '\n' ' ')
[ -z "$dlls" ] || fail "WINDOWS DOWNLOAD FAILED: dvdverwaltung.exe needs $dlls"
# Run where a user runs it: in the unpacked folder, output redirected.
(cd "$unpacked/$folder" && timeout 120 wine ./dvdverwaltung.exe </dev/null >output.txt 2>errors.txt)
status=$?
[ "$status" -eq 0 ] || fail "WINDOWS DOWNLOAD FAILED: the unpacked program ended with status $status"
grep -q "DVD Verwaltungs-System" "$unpacked/$folder/output.txt" || fail "WINDOWS DOWNLOAD FAILED: no main menu"
echo "== download $zip ($(du -k "$zip" | cut -f1) KiB) checked in $(seconds_since "$started") s"

echo "== Windows leg passed ($(du -sh "$build" | cut -f1) in $build, reused by the next run)"
