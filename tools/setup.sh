#!/usr/bin/env bash
# Installs what Kavra needs to build, test and benchmark on Debian 12.
# Only missing packages are installed; with everything present it returns at
# once, without touching the network. Run as root (or with sudo available).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config             # build tools
    qt6-base-dev qt6-svg-dev libqcustomplot-dev  # Qt 6 Widgets, Svg, QCustomPlot
    libgl-dev                                    # OpenGL headers Qt's CMake files ask for
    libgraphicsmagick++1-dev librsvg2-dev        # picture files: GIF and PCX; EPS drawn
    libcairo2-dev libemf-dev                     #   on cairo's PostScript surface; EMF
    libgtest-dev libgmock-dev                    # tests
    imagemagick poppler-utils libwmf-bin emf2svg # tests' readers of the picture files
    ghostscript librsvg2-bin                     #   (EPS, SVG)
    libbenchmark-dev python3 python3-pandas time # benchmarks, example generator
    xvfb xauth fonts-dejavu-core                 # running the viewer headless
    xdotool                                      # the real-window test (with imagemagick, xvfb)
    clang-14 libclang-rt-14-dev                  # fuzzing (libFuzzer, tools/fuzz.sh)
    dpkg-dev file lintian                        # the Debian package (cpack -G DEB, dpkg-shlibdeps, lintian)
    desktop-file-utils appstream shared-mime-info # checking the desktop entry, metainfo, file type
    man-db bsdextrautils                         # checking the manual pages (man -l, col)
)

is_installed() {
    dpkg -s "$1" 2>/dev/null | grep -q '^Status: install ok installed$'
}

missing=()
for p in "${packages[@]}"; do
    is_installed "$p" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all ${#packages[@]} packages present"
    exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo=(sudo)
    else
        echo "setup: missing packages and not root: ${missing[*]}" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
