#!/usr/bin/env bash
# Installs the Debian packages a build needs, only those that are missing.
# Usage: scripts/setup.sh run|test|bench|windows
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6opengl6-dev libgl-dev
          libcurl4-openssl-dev libtinyxml2-dev libgtest-dev libgmock-dev libstb-dev zlib1g-dev libzip-dev
          libpng-dev libjpeg62-turbo-dev libcli11-dev)
case "${1:-run}" in
    run) packages+=(xvfb xauth libgl1-mesa-dri qt6-qpa-plugins fonts-dejavu-core) ;;
    test) packages+=(xvfb xauth x11-utils libgl1-mesa-dri qt6-qpa-plugins fonts-dejavu-core imagemagick
                     libnvtt-bin clang libclang-rt-14-dev libsquish-dev qtbase5-dev bubblewrap unzip zip python3-pil
                     ccache
                     shared-mime-info dpkg-dev) ;;
    bench) packages+=(libbenchmark-dev libsquish-dev imagemagick libnvtt-bin unzip) ;;
    # The cross build for Windows and Wine to run its tests; dpkg-dev fetches the sources of
    # libpng and libjpeg-turbo to build for it.
    windows) packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64 nsis
                        xvfb xauth libgl1-mesa-dri ccache
                        dpkg-dev) ;;
    *) echo "usage: $0 run|test|bench|windows" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
