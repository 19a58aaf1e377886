#!/bin/sh
# Fails when a file under src/ includes across a line the layout forbids
# (README.md, "Layout"): each folder may include only what lies below it.
#
#   tests/layout/check-includes.sh <src-folder>
set -u
[ $# -eq 1 ] || { echo "usage: $0 <src-folder>" >&2; exit 2; }
cd "$1" || exit 2

# One rule a folder: the paths it may include, as an extended regular
# expression. The system folders build the platform headers on the console's
# own pieces (cells, keys, code page, renderer, key decoder), never on what
# is built on the data files; a folder the layout does not name may include
# nothing until it is named here.
# Both forms count: "..." and <...> naming a folder of src/ (any other <...>
# is a system or library header).
grep -r -H --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' . | awk '
BEGIN {
    # The folders a <...> include must begin with to be of this project.
    split("system platform console storage library import rental app", names, " ")
    for (i in names) projectFolders[names[i]] = 1
}
function allowed(file) {
    if (file ~ /^system\//) return "^system/"
    if (file ~ /^platform\/posix\//) return "^(system|platform/posix|console)/|^platform/[A-Za-z]+[.]h$"
    if (file ~ /^platform\/windows\//) return "^(system|platform/windows|console)/|^platform/[A-Za-z]+[.]h$"
    if (file ~ /^platform\/[^\/]+$/) return "^(system|console)/"
    if (file ~ /^storage\//) return "^(system|storage)/|^platform/FilePrimitives[.]h$"
    if (file ~ /^console\//) return "^(system|console)/"
    if (file ~ /^library\//) return "^(system|storage|library)/"
    if (file ~ /^import\//) return "^(system|storage|library|import)/|^console/(Cp850|PlainForm|TextFolding)[.]h$"
    if (file ~ /^rental\//) return "^(system|storage|rental)/"
    if (file ~ /^app\//) return "^(system|platform|storage|console|library|import|rental|app)/[A-Za-z0-9]+[.]h$"
    return "^$"
}
{
    file = substr($0, 3, index($0, ":") - 3)
    included = $0
    sub(/^[^"<]*["<]/, "", included)
    sub(/[">].*$/, "", included)
    if ($0 ~ /include[[:space:]]*</ && included !~ /^[A-Za-z]+\//) next
    if ($0 ~ /include[[:space:]]*</ && !(substr(included, 1, index(included, "/") - 1) in projectFolders)) next
    if (included !~ allowed(file)) {
        print "src/" file " includes \"" included "\", which its folder may not"
        broken = 1
    }
}
END { exit broken }'
