#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, the
# Debian package and its validators included ("generators" adds those of the
# font and icon generators, "fuzz" clang and libFuzzer for `make fuzz`,
# "bench" Google Benchmark for `make bench`, "web" emscripten, esbuild, zopfli
# and Chromium for the web page, with Node and npm where the machine has none).
# Quick and silent when everything is already there.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins
    libglu1-mesa-dev libgl-dev libgl1-mesa-dri libglx-mesa0 fonts-dejavu-core
    libgtest-dev libpng-dev
    xvfb xauth
    librsvg2-bin
    dpkg-dev file lintian desktop-file-utils appstream shared-mime-info xdg-utils libxml2-utils
    pybind11-dev python3-dev python3-pytest python3-numpy
)
# Names that differ by release. Debian 12 (bookworm) ships the Qt OpenGL
# headers apart; Debian 13 (trixie) and later keep them in qt6-base-dev.
release=""
[ -r /etc/os-release ] && release="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
case "$release" in
bookworm) packages+=(libqt6opengl6-dev) ;;
esac
case "${1:-}" in
generators) packages+=(libfreetype-dev fonts-liberation2) ;;
fuzz) packages+=(clang libclang-rt-dev) ;;
bench) packages+=(libbenchmark-dev) ;;
web)
    packages+=(emscripten chromium esbuild zopfli)
    command -v node > /dev/null || packages+=(nodejs)
    command -v npm > /dev/null || packages+=(npm)
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
# A new minimal install has empty package lists.
if [ -z "$(ls -A /var/lib/apt/lists 2>/dev/null | grep -v -e lock -e partial)" ]; then
    $sudo apt-get update
fi
if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
