#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the program's own sources, two at a time,
# with the compile commands of a build folder (default build/). Exits 1 on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 2; }
git ls-files -- core gui app cli | grep -E '\.cpp$' |
    xargs -P "$(nproc)" -n 4 "$tidy" -p "$build" --quiet 2>/dev/null >"$build/clang-tidy.log" ||
    status=$?
if grep -qE 'warning:|error:' "$build/clang-tidy.log"; then
    grep -E -A3 'warning:|error:' "$build/clang-tidy.log" >&2
    exit 1
fi
echo "clang-tidy: no findings in $(git ls-files -- core gui app cli | grep -cE '\.cpp$') files."
exit "${status:-0}"
