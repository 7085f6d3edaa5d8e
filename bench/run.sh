#!/usr/bin/env bash
# Runs the engine benchmarks and GDAL's command-line route to the same answers.
# Usage: bench/run.sh [BUILD_DIR]   (default build/, configured RelWithDebInfo)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export QT_QPA_PLATFORM=offscreen

"$build/bench/bench_engine" --benchmark_min_time=1 2>&1 | grep -v XDG_RUNTIME
"$build/bench/bench_engine" --peak-memory 2>&1 | grep -v XDG_RUNTIME

theme=$("$build/bench/bench_engine" --theme-path 2>/dev/null)
echo
echo "ogrinfo -where on the same theme, 10 runs (each opens the file and scans the table):"
start=$(date +%s.%N)
for i in $(seq 1 10); do
    ogrinfo -ro -q "$theme" sections100k \
        -where "section = $((i % 36 + 1)) and township = $((i + 3)) and range = $((i + 7)) and base_side = 'N' and meridian_s = 'W' and meridian = 6" \
        >/dev/null
done
end=$(date +%s.%N)
echo "  $(echo "($end - $start) * 100" | bc -l | xargs printf '%.0f') ms per ogrinfo run"
