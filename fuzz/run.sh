#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ and runs each for SECONDS (default 60) on a
# copy of its seed corpus, under AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero
# when a target finds a crash, a hang, a leak or a sanitizer report; the input that did it is
# left in build-fuzz/findings/TARGET/.
#   fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(project_file batch_csv plss_description location_texts map_files)

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DTRACTWISE_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=new_delete_type_mismatch=0
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1
root=$PWD
status=0
for t in "${targets[@]}"; do
    work=$root/build-fuzz/findings/$t
    rm -rf "$work" && mkdir -p "$work/corpus"
    cp fuzz/corpus/"$t"/* "$work/corpus/"
    echo "== fuzz_$t for ${seconds}s"
    if "$root/build-fuzz/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
        -max_len=8192 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" \
        >"$work/log.txt" 2>&1; then
        grep -E "^stat::number_of_executed_units|^Done" "$work/log.txt" || true
    else
        status=1
        echo "fuzz_$t found a fault:" >&2
        grep -E "ERROR|SUMMARY|Test unit written" -A20 "$work/log.txt" | head -60 >&2
    fi
done
exit $status
