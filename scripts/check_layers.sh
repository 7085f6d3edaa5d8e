#!/usr/bin/env bash
# The folders are the layers: every #include of the program's own headers points down (or into
# its own folder), never up and never sideways into a sibling. Prints each offending line and
# exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# Lower numbers are lower layers; siblings share a number and may not include each other.
rank() {
    case "$1" in
    core/common) echo 0 ;;
    core/engine) echo 1 ;;
    core/plss | core/coords) echo 2 ;;
    core/document | core/wells) echo 3 ;;
    gui/common) echo 4 ;;
    gui/map) echo 5 ;;
    gui/legend | gui/calculators) echo 6 ;;
    gui/app) echo 7 ;;
    app | cli) echo 8 ;;
    *) echo "" ;;
    esac
}

bad=0
while IFS= read -r file; do
    from=$(dirname "$file")
    from_rank=$(rank "$from")
    [ -n "$from_rank" ] || continue
    while IFS= read -r line; do
        header=${line#*\"}
        header=${header%%\"*}
        to=$(dirname "$header")
        to_rank=$(rank "$to")
        [ -n "$to_rank" ] || continue # a system or test header
        [ "$to" = "$from" ] && continue
        if [ "$to_rank" -gt "$from_rank" ] || [ "$to_rank" -eq "$from_rank" ] ||
            { [ "$from" = cli ] && [ "${to%%/*}" != core ]; }; then
            echo "$file: $line ($from may not include $to)"
            bad=1
        fi
    done < <(grep -E '^#include "' "$file" || true)
done < <(git ls-files -co --exclude-standard -- core gui app cli | grep -E '\.(cpp|h)$')

if [ "$bad" -ne 0 ]; then
    echo "Includes must point down the layers: core/common, core/engine, core/plss and core/coords," >&2
    echo "core/document and core/wells, gui/common, gui/map, gui/legend and gui/calculators, gui/app, app and cli." >&2
    exit 1
fi
echo "Layers: every #include points down."
