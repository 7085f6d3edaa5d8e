#!/usr/bin/env bash
# The share of the repository's C++ lines (tracked .cpp and .h files) that are tests: everything
# under tests/ (fixture generators included) and fuzz/. The project keeps it between 25 and 33 %.
set -euo pipefail
cd "$(dirname "$0")/.."
all=$(git ls-files -z '*.cpp' '*.h' | xargs -0 cat | wc -l)
tests=$(git ls-files -z 'tests/*.cpp' 'tests/*.h' 'fuzz/*.cpp' 'fuzz/*.h' | xargs -0 cat | wc -l)
awk -v t="$tests" -v a="$all" 'BEGIN {
    printf "C++ lines: %d in tests/ and fuzz/ of %d in all: %.1f %% (rule: 25 to 33 %%)\n", t, a, 100 * t / a }'
