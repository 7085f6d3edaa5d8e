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
# Batch location: 100,000 forward descriptions and 100,000 reverse points on the same theme.
work=$(dirname "$theme")
awk -v seed=5 'BEGIN { srand(seed); q[0]="NW"; q[1]="NE"; q[2]="SE"; q[3]="SW";
    print "id,meridian,township,range,section,q160,q40,q10,q2_5,fc_x,fc_y";
    for (i = 1; i <= 100000; i++) {
        t = 1 + int(rand() * 53); r = 1 + int(rand() * 53); s = 1 + int(rand() * 36);
        if (i % 2) printf "%d,6,%dN,%dW,%d,%s,%s,%s,%s,,\n", i, t, r, s, q[int(rand()*4)], q[int(rand()*4)], q[int(rand()*4)], q[int(rand()*4)];
        else printf "%d,6,%dN,%dW,%d,,,,,%dE,%dS\n", i, t, r, s, 1 + int(rand() * 5000), 1 + int(rand() * 5000);
    } }' > "$work/forward100k.csv"
awk -v seed=6 'BEGIN { srand(seed); side = 53 * 6 * 1609.344; print "id,easting,northing";
    for (i = 1; i <= 100000; i++)
        printf "%d,%.1f,%.1f\n", i, 200000 + rand() * (side < 799999 - 200000 ? side : 799999 - 200000), 3500000 + rand() * side;
    }' > "$work/reverse100k.csv"
echo
# The same rows on the UTM shapefile and on the geographic File Geodatabase in the BLM's schema
# (reprojected into UTM 13N as it loads).
for source in "$theme" "$work/sections100k_blm.gdb"; do
    for direction in forward reverse; do
        start=$(date +%s.%N)
        "$build/tractwise-locate" batch "$direction" --theme "$source" --in "$work/${direction}100k.csv" \
            --out "$work/${direction}100k-out.csv" 2>/dev/null
        end=$(date +%s.%N)
        errors=$(awk -F, '{ sub(/\r$/, "") } NR > 1 && $NF != "" { n++ } END { print n + 0 }' "$work/${direction}100k-out.csv")
        echo "batch $direction on $(basename "$source"): 100000 rows in $(printf '%.2f' "$(echo "$end - $start" | bc -l)") s," \
            "$(printf '%.0f' "$(echo "100000 / ($end - $start)" | bc -l)") rows/s ($errors rows with a message)"
    done
done

# Every form a permit uses, 100,000 descriptions located by batch forward: ties from section
# corners and from quarter corners, lots where a regular township has them, halves, whole sections.
awk -v seed=8 'BEGIN { srand(seed); q[0]="NW"; q[1]="NE"; q[2]="SE"; q[3]="SW"; h[0]="N"; h[1]="S"; h[2]="E"; h[3]="W";
    print "id,description";
    for (i = 1; i <= 100000; i++) {
        t = 1 + int(rand() * 53); r = 1 + int(rand() * 53); s = 1 + int(rand() * 36);
        f = i % 5;
        if (f == 0) printf "%d,\"N %d ft E %d ft from SW Cor, Sec. %d, T%dN, R%dW, 6th P.M.\"\n", i, 1 + int(rand() * 5000), 1 + int(rand() * 5000), s, t, r;
        else if (f == 1) printf "%d,\"S %d ft W %d ft from N4 Cor, Sec. %d, T%dN, R%dW\"\n", i, 1 + int(rand() * 2600), 1 + int(rand() * 2600), s, t, r;
        else if (f == 2) printf "%d,\"Lot %d, Sec. %d, T%dN, R%dW\"\n", i, 1 + int(rand() * 4), 1 + int(rand() * 6), t, r;
        else if (f == 3) printf "%d,%s/2 %s/4 Sec. %d T%dN R%dW\n", i, h[int(rand()*4)], q[int(rand()*4)], s, t, r;
        else printf "%d,All of Section %d T%dN R%dW\n", i, s, t, r;
    } }' > "$work/forms100k.csv"
start=$(date +%s.%N)
"$build/tractwise-locate" batch forward --theme "$theme" --in "$work/forms100k.csv" --out "$work/forms100k-out.csv" 2>/dev/null
end=$(date +%s.%N)
errors=$(awk -F, '{ sub(/\r$/, "") } NR > 1 && $4 != "" { n++ } END { print n + 0 }' "$work/forms100k-out.csv")
echo "batch forward, ties, lots, halves and whole sections: 100000 descriptions in" \
    "$(printf '%.2f' "$(echo "$end - $start" | bc -l)") s," \
    "$(printf '%.0f' "$(echo "100000 / ($end - $start)" | bc -l)") rows/s ($errors rows with a message)"

# Legal descriptions: 100,000 as permits write them, read by batch parse.
awk -v seed=7 'BEGIN { srand(seed); q[0]="NW"; q[1]="NE"; q[2]="SE"; q[3]="SW"; print "id,description";
    for (i = 1; i <= 100000; i++) {
        t = 1 + int(rand() * 53); r = 1 + int(rand() * 53); s = 1 + int(rand() * 36);
        if (i % 3 == 0) printf "%d,\"%s/4 %s/4 Sec. %d, T%dN, R%dW, 6th P.M.\"\n", i, q[int(rand()*4)], q[int(rand()*4)], s, t, r;
        else if (i % 3 == 1) printf "%d,\"%d'"'"' FNL & %d'"'"' FEL, Sec. %d, T. %d N., R. %d W.\"\n", i, 1 + int(rand() * 5000), 1 + int(rand() * 5000), s, t, r;
        else printf "%d,%s%s %d-%dN-%dW\n", i, q[int(rand()*4)], q[int(rand()*4)], s, t, r;
    } }' > "$work/descriptions100k.csv"
start=$(date +%s.%N)
"$build/tractwise-locate" batch parse --in "$work/descriptions100k.csv" --out "$work/parsed100k.csv"
end=$(date +%s.%N)
errors=$(awk -F, '{ sub(/\r$/, "") } NR > 1 && $NF != "" { n++ } END { print n + 0 }' "$work/parsed100k.csv")
echo "batch parse: 100000 descriptions in $(printf '%.2f' "$(echo "$end - $start" | bc -l)") s ($errors rows with a message)"

echo
echo "GDAL's section searches alone, on a sample of 20 each (one ogrinfo process per row):"
start=$(date +%s.%N)
for i in $(seq 1 20); do
    ogrinfo -ro -q "$theme" sections100k -where "section = $((i % 36 + 1)) and township = $((i + 3)) and range = $((i + 7)) and base_side = 'N' and meridian_s = 'W' and meridian = 6" >/dev/null
done
end=$(date +%s.%N)
echo "  ogrinfo -where: $(echo "($end - $start) * 1000 / 20" | bc -l | xargs printf '%.0f') ms per description"
start=$(date +%s.%N)
for i in $(seq 1 20); do
    x=$((200000 + i * 20000)); y=$((3500000 + i * 20000))
    ogrinfo -ro -q "$theme" sections100k -spat $x $y $((x + 1)) $((y + 1)) >/dev/null
done
end=$(date +%s.%N)
echo "  ogrinfo -spat:  $(echo "($end - $start) * 1000 / 20" | bc -l | xargs printf '%.0f') ms per point"

# The whole country's count of sections, and QGIS on the same files when python3-qgis is there.
echo
"$build/bench/bench_engine" --country 2>&1 | grep -v XDG_RUNTIME
if /usr/bin/python3 -c 'import qgis' 2>/dev/null; then
    /usr/bin/python3 bench/qgis_peer.py "$theme" "$work/sections100k_blm.gdb" "$work/country2500k.shp" 2>&1 |
        grep '^QGIS'
fi
