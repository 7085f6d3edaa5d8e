#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and builds Tractwise.
#   scripts/bootstrap.sh run    install what is missing, build, start on the sample themes
#   scripts/bootstrap.sh test   install what is missing, build, run every test, make the
#                               package and check it, the threaded suites under
#                               ThreadSanitizer, then build and run every test again under
#                               AddressSanitizer + UBSan
#   scripts/bootstrap.sh package  install what is missing, make the Debian package from a
#                               release build with Debian's hardening flags, and check it
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
jobs=$(nproc)

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-webengine-dev libqt6webenginecore6-bin qt6-tools-dev qt6-documentation-tools
    libgdal-dev gdal-bin libproj-dev proj-data libboost-dev libbenchmark-dev
    fonts-dejavu-core xvfb xauth bc poppler-utils scdoc librsvg2-bin
)
# The fuzz targets, built and run briefly by the test command, and the database server the
# tests of keeping wells in PostGIS start for themselves.
test_packages=(clang-14 libfuzzer-14-dev libclang-rt-14-dev clang-tidy-14 postgresql postgresql-15-postgis-3)
# What makes and checks the package.
package_packages=(dpkg-dev file man-db lintian desktop-file-utils appstream shared-mime-info)
[ "$mode" = test ] && packages+=("${test_packages[@]}" "${package_packages[@]}")
[ "$mode" = package ] && packages+=("${package_packages[@]}")

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

configure_and_build() { # DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" --parallel "$jobs"
}

install_missing

case "$mode" in
run)
    configure_and_build build
    exec build/tractwise --project sample/sample.plss
    ;;
test)
    bash scripts/check_layers.sh
    bash scripts/test_share.sh
    configure_and_build build -DTRACTWISE_WERROR=ON
    bash scripts/run_clang_tidy.sh build
    (cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$jobs")
    (cd build && cpack -G DEB)
    bash scripts/check_package.sh build
    # The suites that run on several threads (loading, batches), under ThreadSanitizer; the
    # only suppressions are for GDAL's and Qt's own code, each explained in tests/tsan.supp.
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRACTWISE_WERROR=ON \
        -DTRACTWISE_TSAN=ON -DTRACTWISE_BENCHMARKS=OFF
    cmake --build build-tsan --parallel "$jobs" --target tst_vector_layer tst_locate_tool
    tsan_options="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"
    (cd build-tsan &&
        TSAN_OPTIONS=$tsan_options \
            QT_QPA_PLATFORM=offscreen ctest --output-on-failure -R '^(tst_vector_layer|tst_locate_tool)$')
    configure_and_build build-sanitize -DTRACTWISE_WERROR=ON -DTRACTWISE_SANITIZE=ON \
        -DTRACTWISE_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug
    (cd build-sanitize &&
        ASAN_OPTIONS=new_delete_type_mismatch=0 UBSAN_OPTIONS=print_stacktrace=1 \
            QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$jobs")
    # Each fuzz target for a minute from its seeds (longer runs: fuzz/run.sh SECONDS).
    bash fuzz/run.sh "${TRACTWISE_FUZZ_SECONDS:-60}"
    ;;
package)
    # As Debian builds its own packages: its compiler and linker flags (hardened), no tests.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
        LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
        cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=None \
        -DTRACTWISE_TESTS=OFF -DTRACTWISE_BENCHMARKS=OFF
    cmake --build build-package --parallel "$jobs"
    (cd build-package && cpack -G DEB)
    bash scripts/check_package.sh build-package
    ;;
*)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
