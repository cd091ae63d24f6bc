#!/usr/bin/env bash
# Builds Kavra's Debian package, kavra_<version>_<architecture>.deb, and checks
# it with lintian where lintian is installed (tools/setup.sh installs it):
#
#   bash tools/package.sh [BUILD_DIR]        (default: build-package/ in the repository)
#
# The build is a release build without tests or benchmarks, compiled with
# Debian's hardening flags (dpkg-buildflags); the package is written by cpack
# into BUILD_DIR. The last line printed is the path of the .deb. Exits non-zero
# when the build fails or lintian reports an error or a warning.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(mkdir -p "${1:-$ROOT/build-package}" && cd "${1:-$ROOT/build-package}" && pwd)"

flags=()
if command -v dpkg-buildflags >/dev/null; then
    flags+=("-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
            "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
            "-DCMAKE_MODULE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)")
fi
if command -v ccache >/dev/null; then
    flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

{
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKAVRA_BUILD_TESTS=OFF -DKAVRA_BUILD_BENCH=OFF "${flags[@]}"
    cmake --build "$BUILD"
    rm -f "$BUILD"/kavra_*.deb
    (cd "$BUILD" && cpack -G DEB)
} >&2

debs=("$BUILD"/kavra_*.deb)
if [[ ${#debs[@]} -ne 1 || ! -f "${debs[0]}" ]]; then
    echo "package: cpack wrote no single kavra_*.deb in $BUILD" >&2
    exit 1
fi
deb="${debs[0]}"

if command -v lintian >/dev/null; then
    echo "package: lintian $deb" >&2
    lintian --fail-on error,warning "$deb" >&2
else
    echo "package: lintian is not installed, so the package was not checked (apt-get install lintian)" >&2
fi
echo "$deb"
