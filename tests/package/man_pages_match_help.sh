#!/usr/bin/env bash
# The manual pages name every option and command the programs' --help shows, and nothing
# --help does not: a page that falls behind the program fails here.
#   man_pages_match_help.sh TRACTWISE_LOCATE TRACTWISE MAN_SOURCE_FOLDER
set -euo pipefail
locate=$1 app=$2 pages=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

options() { grep -o -e '--[a-z][a-z0-9_-]*' "$@" | sort -u; }

compare() { # PAGE HELP_FILE
    if ! diff <(options "$2") <(options "$pages/$1") >"$work/diff"; then
        echo "$1 and --help name different options (< only in --help, > only in the page):"
        cat "$work/diff"
        status=1
    fi
}

"$app" --help >"$work/tractwise.help"
compare tractwise.1.scd "$work/tractwise.help"

"$locate" --help >"$work/locate.help"
# The commands are the indented lines under "Commands:", two words for the batch ones.
mapfile -t commands < <(sed -n '/^Commands:/,/^$/p' "$work/locate.help" |
    sed -n 's/^  \(batch [a-z-]*\|[a-z-]*\)  .*/\1/p')
[ ${#commands[@]} -ge 9 ] || { echo "read ${#commands[@]} commands from --help"; exit 1; }
cp "$work/locate.help" "$work/locate-all.help"
for command in "${commands[@]}"; do
    # shellcheck disable=SC2086 # the batch commands are two words
    "$locate" $command --help >>"$work/locate-all.help"
    if ! grep -qx "\*$command\*" "$pages/tractwise-locate.1.scd"; then
        echo "tractwise-locate.1.scd does not describe the command \"$command\""
        status=1
    fi
done
"$locate" --version | grep -qx "tractwise-locate [0-9.]*" || { echo "--version: $("$locate" --version)"; status=1; }
compare tractwise-locate.1.scd "$work/locate-all.help"
exit $status
