#!/bin/sh
# What a user installs: cmake --install into a temporary prefix, both manual
# pages as man shows them (no warnings, every section there, the German one
# for a German reader), and the Debian package cpack makes (the run-time
# libraries as Depends, cups-client as Recommends, copyright and changelog),
# checked with lintian when its path is given.
# Usage: check-install.sh BUILD_DIRECTORY [LINTIAN]
set -eu
build=$1
lintian=${2:-}
fail() {
    echo "INSTALL CHECK FAILED: $1" >&2
    exit 1
}
for tool in man groff dpkg-deb dpkg-shlibdeps cpack; do
    command -v "$tool" >/dev/null 2>&1 ||
        fail "$tool is missing (scripts/test.sh installs man-db, groff-base and dpkg-dev)"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
[ -x "$work/prefix/bin/dvdverwaltung" ] || fail "no bin/dvdverwaltung"
check_page() { # page, then texts it must show
    page="$work/prefix/share/man/$1"
    shift
    [ -f "$page" ] || fail "no $page"
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$work/page.txt") || fail "man -l $page failed"
    [ -z "$warnings" ] || fail "$page has warnings: $warnings"
    grep -q "dvdverwaltung $("$work/prefix/bin/dvdverwaltung" --version | cut -d' ' -f2)" "$work/page.txt" ||
        fail "$page does not name the program's version"
    for text in "$@" DVDBibliothek.csv DVDVerleih.csv ESCDELAY TERM "liste bibliothek"; do
        grep -q -- "$text" "$work/page.txt" || fail "$page lacks \"$text\""
    done
}
check_page man1/dvdverwaltung.1.gz directory=DIRECTORY NAME DESCRIPTION OPTIONS KEYS PRINTING "conflict copy" "EXIT STATUS"
check_page de/man1/dvdverwaltung.1.gz directory=VERZEICHNIS BESCHREIBUNG OPTIONEN TASTEN DRUCKEN Konfliktkopie EXIT-STATUS
MANPATH="$work/prefix/share/man" LC_ALL=C.UTF-8 MANWIDTH=80 man -L de dvdverwaltung 2>/dev/null | grep -q BESCHREIBUNG ||
    fail "man -L de does not show the German page"

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
set -- "$work"/package/*.deb
[ -f "$1" ] || fail "cpack made no .deb"
dpkg-deb -I "$1" >"$work/info.txt"
dpkg-deb -c "$1" >"$work/contents.txt"
grep -q '^ Depends:.*libc6' "$work/info.txt" || fail "Depends lacks the C library: $(cat "$work/info.txt")"
grep -q '^ Depends:.*libstdc++6' "$work/info.txt" || fail "Depends lacks the C++ library"
grep -q '^ Recommends: cups-client' "$work/info.txt" || fail "cups-client is not recommended"
for file in bin/dvdverwaltung share/man/man1/dvdverwaltung.1.gz share/man/de/man1/dvdverwaltung.1.gz \
    share/doc/dvdverwaltung/copyright share/doc/dvdverwaltung/changelog.gz; do
    grep -q " \./usr/$file\$" "$work/contents.txt" || fail "the package lacks /usr/$file"
done
if [ -n "$lintian" ]; then
    "$lintian" --fail-on error,warning --info "$1" >"$work/lintian.txt" 2>&1 ||
        { cat "$work/lintian.txt"; fail "lintian finds errors or warnings"; }
    cat "$work/lintian.txt"
fi
echo "installed, manual pages and Debian package checked: $(basename "$1")"
