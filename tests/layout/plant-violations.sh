#!/bin/sh
# The include check itself: a copy of src/ with one forbidden include planted
# at a time must fail it, whichever form the include takes.
#
#   tests/layout/plant-violations.sh <src-folder>
set -u
[ $# -eq 1 ] || { echo "usage: $0 <src-folder>" >&2; exit 2; }
check="$(dirname "$0")/check-includes.sh"
work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT
plant() {
    rm -rf "$work/src" && cp -r "$1" "$work/src" || exit 2
    printf '%s\n' "$3" >>"$work/src/$2"
    if sh "$check" "$work/src" >/dev/null; then
        echo "not caught: $3 in src/$2"
        exit 1
    fi
}
source=$1
plant "$source" rental/RentalRecord.h '#include <app/Menus.h>'
plant "$source" console/Keys.h '#include "platform/Platform.h"'
plant "$source" storage/LockWait.h '#  include "library/DvdLibrary.h"'
plant "$source" library/DvdLibrary.h '#include <rental/RentalRegister.h>'
exit 0
