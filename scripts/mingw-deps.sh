#!/usr/bin/env bash
# Builds libpng and libjpeg-turbo for 64-bit Windows, static, from Debian's own sources of their
# newest versions, once per machine, and prints the folder they are installed in.
# A folder without its stamp is a build that did not finish: it is built again.
# Usage: scripts/mingw-deps.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# apt-get source needs deb-src entries: ours mirror the deb entries already configured, in
# both of apt's formats.
if ! apt-cache showsrc libpng1.6 2>/dev/null | grep -q '^Package:'; then
    lists=/etc/apt/sources.list.d
    for file in /etc/apt/sources.list "$lists"/*.list; do
        if [ -f "$file" ] && [[ $file != */pictavo-sources.list ]]; then
            sed -n 's/^deb /deb-src /p' "$file"
        fi
    done >"$work/pictavo-sources.list"
    for file in "$lists"/*.sources; do
        if [ -f "$file" ] && [[ $file != */pictavo-sources.sources ]]; then
            sed 's/^Types: deb$/Types: deb-src/' "$file" && echo
        fi
    done >"$work/pictavo-sources.sources"
    for file in "$work"/pictavo-sources.*; do
        if [ -s "$file" ]; then $sudo install -m 644 "$file" "$lists/"; fi
    done
    $sudo apt-get update -qq
fi

# Newest first. A mirror may lack the newest (security updates, say): the first whose sources
# it has is built, unless an earlier run built one of the versions already.
versions() { apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -Vru; }
mapfile -t pngVersions < <(versions libpng1.6)
mapfile -t jpegVersions < <(versions libjpeg-turbo)
prefixOf() { echo "${XDG_CACHE_HOME:-$HOME/.cache}/pictavo/mingw-libpng-${1#*:}-libjpeg-turbo-${2#*:}"; }
for png in "${pngVersions[@]}"; do
    for jpeg in "${jpegVersions[@]}"; do
        if [ -f "$(prefixOf "$png" "$jpeg")/.built" ]; then
            prefixOf "$png" "$jpeg"
            exit 0
        fi
    done
done

cd "$work"
fetch() { # source package, its versions newest first; prints the version fetched
    local package=$1 version
    shift
    for version in "$@"; do
        if apt-get source -qq --download-only "$package=$version" >&2; then
            dpkg-source -x "${package}_${version#*:}.dsc" >&2
            echo "$version"
            return
        fi
    done
    echo "No sources of $package could be fetched" >&2
    exit 1
}
pngVersion=$(fetch libpng1.6 "${pngVersions[@]}")
jpegVersion=$(fetch libjpeg-turbo "${jpegVersions[@]}")
prefix=$(prefixOf "$pngVersion" "$jpegVersion")
echo "Building libpng $pngVersion and libjpeg-turbo $jpegVersion for Windows into $prefix" >&2
rm -rf "$prefix"

configure() { # source folder, build folder, options...
    local source=$1 build=$2
    shift 2
    cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
        "$@" >&2
    cmake --build "$build" -j "$(nproc)" >&2
    cmake --install "$build" >&2
}
configure "$(ls -d libpng1.6-*/)" png -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF
# Without nasm the SIMD code is left out: pictures are read once per conversion.
configure "$(ls -d libjpeg-turbo-*/)" jpeg -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF

touch "$prefix/.built"
echo "$prefix"
