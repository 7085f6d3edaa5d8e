#!/usr/bin/env bash
# Checks the Debian package made in a build folder (cpack -G DEB): its fields, what it
# installs, the desktop entry, AppStream data, MIME type and manual pages, lintian, and the
# programs unpacked into a temporary root running on the sample data installed with them.
#   scripts/check_package.sh BUILD_DIR
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/tractwise_${version}_$(dpkg --print-architecture).deb"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "check_package: $*" >&2
    exit 1
}
[ -f "$deb" ] || fail "no package $deb (run cpack -G DEB in $build)"
echo "Checking $deb"

# The control fields.
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = tractwise ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version $(field Version), the project says $version"
[ "$(field Section)" = science ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[[ "$(field Homepage)" =~ ^https:// ]] || fail "Homepage: $(field Homepage)"
depends=$(field Depends)
for dependency in libc6 libgdal libqt6core6 libqt6widgets6 libqt6help6 libqt6webenginewidgets6 \
    libqt6sql6-sqlite libqt6webenginecore6-bin; do
    [[ ", $depends" == *", $dependency"* ]] || fail "Depends lacks $dependency: $depends"
done

# What it installs: everything under /usr, the programs, the help, every sample file, the
# desktop files and the manual pages.
dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep -v '^$' \
    >"$work/contents"
outside=$(grep -v -e '^/usr$' -e '^/usr/' "$work/contents" || true)
[ -z "$outside" ] || fail "installs outside /usr: $outside"
expected=(
    /usr/bin/tractwise /usr/bin/tractwise-locate
    /usr/share/tractwise/help/tractwise.qhc /usr/share/tractwise/help/tractwise.qch
    /usr/share/applications/org.example.tractwise.desktop
    /usr/share/metainfo/org.example.tractwise.metainfo.xml
    /usr/share/mime/packages/tractwise.xml
    /usr/share/icons/hicolor/scalable/apps/tractwise.svg
    /usr/share/icons/hicolor/48x48/apps/tractwise.png
    /usr/share/icons/hicolor/128x128/apps/tractwise.png
    /usr/share/icons/hicolor/256x256/apps/tractwise.png
    /usr/share/man/man1/tractwise.1.gz /usr/share/man/man1/tractwise-locate.1.gz
    /usr/share/doc/tractwise/copyright /usr/share/doc/tractwise/changelog.gz
)
for file in "$source_dir"/sample/*; do
    expected+=("/usr/share/tractwise/sample/$(basename "$file")")
done
for path in "${expected[@]}"; do
    grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done
echo "  contents: ${#expected[@]} expected files among $(wc -l <"$work/contents") entries"

root="$work/root"
dpkg -x "$deb" "$root"
share="$root/usr/share"

# The version said in one place: the changelog and the AppStream release follow the project.
zcat "$share/doc/tractwise/changelog.gz" | head -1 | grep -qF "tractwise ($version)" ||
    fail "the changelog's newest entry is not $version"
grep -qF "<release version=\"$version\"" "$share/metainfo/org.example.tractwise.metainfo.xml" ||
    fail "the AppStream data has no release $version"
for size in 48 128 256; do
    file "$share/icons/hicolor/${size}x${size}/apps/tractwise.png" |
        grep -qF "$size x $size" || fail "the ${size} px icon is not ${size} px"
done

desktop-file-validate "$share/applications/org.example.tractwise.desktop"
appstreamcli validate --no-net "$share/metainfo/org.example.tractwise.metainfo.xml"
mkdir -p "$work/mime/packages"
cp "$share/mime/packages/tractwise.xml" "$work/mime/packages/"
update-mime-database "$work/mime" 2>"$work/mime.err"
grep -qx '50:application/x-tractwise-project:\*\.plss' "$work/mime/globs2" ||
    fail "*.plss is not a Tractwise project in the MIME database: $(cat "$work/mime.err")"
for page in tractwise tractwise-locate; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l \
        "$share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
done
command -v lintian >/dev/null || fail "lintian is not installed (apt-get install lintian)"
lintian_ok=true
lintian --fail-on error "$deb" >"$work/lintian" 2>&1 || lintian_ok=false
grep -v '^running with root privileges' "$work/lintian" | sed 's/^/  lintian: /' || true
$lintian_ok || fail "lintian reports errors"
echo "  lintian: no errors"

# The unpacked programs on the data installed with them: the same answers as the build's
# programs give on the source tree's sample.
locate="$root/usr/bin/tractwise-locate"
"$locate" --help | head -1 | grep -qx 'Usage: tractwise-locate COMMAND \[options\]' ||
    fail "tractwise-locate --help: $("$locate" --help 2>&1 | head -1)"
[ "$("$locate" --version)" = "tractwise-locate $version" ] || fail "$("$locate" --version)"
description="660 ft from the E line and 1980 ft from the S line of sec. 10, T. 12 N., R. 67 W., 6th P.M."
installed=$("$locate" forward --theme "$share/tractwise/sample/sections.shp" \
    --description "$description")
built=$("$build/tractwise-locate" forward --theme "$source_dir/sample/sections.shp" \
    --description "$description")
[ "$installed" = "$built" ] || fail "installed: $installed; built: $built"
echo "  forward on the installed sample: $(echo "$installed" | tail -1)"
"$locate" batch forward --theme "$share/tractwise/sample/sections.shp" \
    --in "$share/tractwise/sample/permits.csv" --out "$work/installed.csv"
"$build/tractwise-locate" batch forward --theme "$source_dir/sample/sections.shp" \
    --in "$source_dir/sample/permits.csv" --out "$work/built.csv"
cmp -s "$work/installed.csv" "$work/built.csv" ||
    fail "batch forward on the installed permits differs: $(diff "$work/installed.csv" "$work/built.csv")"
located=$(awk -F, 'NR > 1 && $2 != ""' "$work/installed.csv" | wc -l)
[ "$located" -gt 0 ] || fail "no sample permit located"
echo "  batch forward on the installed permits: $located of $(($(wc -l <"$work/installed.csv") - 1)) located"
# The window program on the sample installed with it, as a user whose settings are new: it
# says nothing (a message box is written to stderr in this mode) and writes nothing under the
# installed tree (as root nothing would refuse it).
touch "$work/before-window"
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=offscreen "$root/usr/bin/tractwise" \
    --project "$share/tractwise/sample/sample.plss" --screenshot "$work/window.png" \
    2>"$work/window.err" || fail "tractwise on the installed sample: $(cat "$work/window.err")"
[ -s "$work/window.png" ] || fail "tractwise drew no picture"
said=$(grep -v -e 'XDG_RUNTIME_DIR' -e 'propagateSizeHints' "$work/window.err" || true)
[ -z "$said" ] || fail "tractwise on the installed sample said: $said"
written=$(find "$root" -newer "$work/before-window")
[ -z "$written" ] || fail "tractwise wrote under the installed tree: $written"
echo "  tractwise on the installed sample: drawn, nothing said, nothing written under /usr"
echo "Package checked: $deb"
