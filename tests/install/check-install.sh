#!/bin/sh
# What a user installs: cmake --install into a temporary prefix, the manual
# page as man shows it (no warnings, every section there), and the Debian
# package cpack makes (both files, the run-time libraries as Depends,
# cups-client as Recommends). Usage: check-install.sh BUILD_DIRECTORY
set -eu
build=$1
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
page="$work/prefix/share/man/man1/dvdverwaltung.1"
[ -f "$page" ] || fail "no share/man/man1/dvdverwaltung.1"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$work/page.txt") || fail "man -l failed"
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
for text in NAME BESCHREIBUNG OPTIONEN "directory=VERZEICHNIS" DVDBibliothek.csv DVDVerleih.csv TASTEN DRUCKEN \
    ESCDELAY TERM Konfliktkopie EXIT; do
    grep -q -- "$text" "$work/page.txt" || fail "the manual page lacks \"$text\""
done

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
set -- "$work"/package/*.deb
[ -f "$1" ] || fail "cpack made no .deb"
dpkg-deb -I "$1" >"$work/info.txt"
dpkg-deb -c "$1" >"$work/contents.txt"
grep -q '^ Depends:.*libc6' "$work/info.txt" || fail "Depends lacks the C library: $(cat "$work/info.txt")"
grep -q '^ Depends:.*libstdc++6' "$work/info.txt" || fail "Depends lacks the C++ library"
grep -q '^ Recommends: cups-client' "$work/info.txt" || fail "cups-client is not recommended"
grep -q ' \./usr/bin/dvdverwaltung$' "$work/contents.txt" || fail "the package lacks /usr/bin/dvdverwaltung"
grep -q ' \./usr/share/man/man1/dvdverwaltung\.1' "$work/contents.txt" || fail "the package lacks the manual page"
echo "installed, manual page and Debian package checked: $(basename "$1")"
