#!/usr/bin/env bash
# Writes the seed inputs of the fuzz targets into fuzz/corpus/ from real inputs: the sample
# project, batch CSV files, descriptions, calculator texts, a section shapefile made by the
# fixture tool and small images made by GDAL. Needs a build in build/ (for tractwise-fixtures).
set -euo pipefail
cd "$(dirname "$0")/.."
out=fuzz/corpus
rm -rf "$out"
mkdir -p "$out"/{project_file,batch_csv,plss_description,location_texts,map_files}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Projects: the fuzz working folder holds sections.shp and sections5.shp.
cp sample/sample.plss "$out/project_file/sample.plss"
printf 'Number of themes = 3\r\nTitle = Sections\r\nPath = sections.shp\r\nIsActive = True\r\nIsVisible = True\r\nIsMap = 1\r\nColor = 0\r\nOutlineColor = 65280\r\nSize = 2\r\nSymbol = 1\r\nTitle = gone\r\nPath = missing.shp\r\nIsActive = False\r\nIsVisible = True\r\nIsMap = 0\r\nTitle = Five = 5\r\nPath = sections5.shp\r\nIsActive = False\r\nIsVisible = False\r\nIsMap = 1\r\nColor = 255\r\nOutlineColor = 0\r\nSize = 1.5\r\nSymbol = 3\r\n' >"$out/project_file/three.plss"
printf 'Number of themes = 0\r\n' >"$out/project_file/empty.plss"
printf 'Number of themes = 2\nTitle = Caf\xe9\nPath = sections.shp\nIsActive = True\n' >"$out/project_file/ansi-truncated.plss"

# Batch rows: the first byte picks forward (0) or reverse (1), and the layout 5 theme (2).
{
    printf '\x00'
    printf 'id,meridian,township,range,section,q160,q40,q10,q2_5,fc_x,fc_y\r\n'
    printf 'w1,6,12N,34W,1,NE,SW,,,,\r\nw2,6,12N,34W,36,,,,,660E,1980S\r\n"w,3",,12N,34W,7,NW,NW,NW,NW,,\r\n'
} >"$out/batch_csv/forward.csv"
{
    printf '\x01'
    printf 'id,easting,northing\r\n'
    printf 'p1,500100,4400100\r\np2,509000,4409000\r\np3,abc,4400000\r\n'
} >"$out/batch_csv/reverse.csv"
{
    printf '\x02'
    printf 'id,meridian,township,range,section,q160,q40,q10,q2_5,fc_x,fc_y\r\nw1,,12N,34W,1,NE,,,,,\r\n'
} >"$out/batch_csv/forward-layout5.csv"

# Descriptions: section, township, range, meridian on four lines.
printf '1\n12N\n34W\n6' >"$out/plss_description/found"
printf '36\n12N\n34W\n' >"$out/plss_description/no-meridian"
printf '7\n12\n34\n06' >"$out/plss_description/no-directions"
printf "x\n12N\n34W\n6'" >"$out/plss_description/bad"
# Legal descriptions as permits write them.
printf 'NE/4 SW/4 Sec. 36, T153N, R95W, 5th P.M.' >"$out/plss_description/legal-slashes"
printf "660' FNL & 1980' FEL, Sec. 12, T5N, R65W, 6th PM" >"$out/plss_description/legal-footage"
printf 'T. 23 S., R. 19 E., Salt Lake Meridian, sec. 30, NW1/4SW1/4' >"$out/plss_description/legal-blm"
printf 'SENE 36-153N-95W' >"$out/plss_description/legal-short"
printf 'Lot 3, N/2 Sec. 6' >"$out/plss_description/legal-refused"

# Calculator texts: the first byte picks the calculation (its value mod 6).
printf '\x00%s' $'1\n12N\n34W\n6\nNE\nSW\nNW\n--' >"$out/location_texts/quarter-calls"
printf '\x01%s' $'660E\n1980S\n36\n12N\n34W\n6\nE660\nS1980' >"$out/location_texts/footage-calls"
printf '\x02%s' $'40\n30\n15.5\n105\n10\n0' >"$out/location_texts/lat-long"
printf '\x03%s' $'512345.5\n4414640\n' >"$out/location_texts/to-lat-long"
printf '\x04%s' $'756100\n4414640\n12\n13' >"$out/location_texts/zone"
printf '\x05%s' $'500100\n4400100' >"$out/location_texts/reverse"

# Map files: a shapefile triplet packed as kind byte 0, .shp size, .shx size (16-bit LE), then
# the three files; images as kind byte 1 (tif), 3 (jpg), 5 (bmp), 7 (png) and the file.
build/tests/tractwise-fixtures grid "$tmp/grid.shp" 1 >/dev/null
ogr2ogr -q -where "section <= 4" "$tmp/small.shp" "$tmp/grid.shp"
python3 - "$tmp/small" "$out/map_files/sections" <<'PY'
import struct, sys
base, out = sys.argv[1], sys.argv[2]
shp, shx, dbf = (open(base + ext, 'rb').read() for ext in ('.shp', '.shx', '.dbf'))
open(out, 'wb').write(b'\x00' + struct.pack('<HH', len(shp), len(shx)) + shp + shx + dbf)
PY
gdal_create -q -of GTiff -outsize 8 8 -bands 3 -burn 90 -burn 160 -burn 60 \
    -a_srs EPSG:26913 -a_ullr 500000 4400080 500080 4400000 "$tmp/i.tif"
gdal_translate -q -of BMP "$tmp/i.tif" "$tmp/i.bmp"
gdal_translate -q -of PNG "$tmp/i.tif" "$tmp/i.png"
gdal_translate -q -of JPEG "$tmp/i.tif" "$tmp/i.jpg"
{ printf '\x02'; cat sample/nd_sections.geojson; } >"$out/map_files/sections.geojson"
# A zipped shapefile of one township, deflated to stay within the inputs' 8 KiB.
build/tests/tractwise-fixtures grid "$tmp/z.shp" 1
(cd "$tmp" && python3 -c "import zipfile,sys; z=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED); [z.write('z'+e) for e in ('.shp','.shx','.dbf','.prj')]" sections.zip)
{ printf '\x06'; cat "$tmp/sections.zip"; } >"$out/map_files/sections.zip"
{ printf '\x01'; cat "$tmp/i.tif"; } >"$out/map_files/image.tif"
{ printf '\x03'; cat "$tmp/i.jpg"; } >"$out/map_files/image.jpg"
{ printf '\x05'; cat "$tmp/i.bmp"; } >"$out/map_files/image.bmp"
{ printf '\x07'; cat "$tmp/i.png"; } >"$out/map_files/image.png"
du -sh "$out"
