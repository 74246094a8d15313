#!/usr/bin/env bash
# Builds the libraries the Windows programs link, static, for 64-bit Windows, from Debian's own
# sources of their newest versions, once per machine, each into a folder of its own under
# ${XDG_CACHE_HOME:-~/.cache}/pictavo/mingw. Prints those folders, separated by ';' (a CMake
# prefix path). A folder without its stamp is a build that did not finish: it is built again.
# Usage: scripts/mingw-deps.sh [--gui | --have-gui]
#   (none)      libpng, libjpeg-turbo and libzip: what the converter and the thumbnailers need
#   --gui       those and tinyxml2, libcurl and Qt: the viewer too (Qt takes about an
#               hour on two cores), and Google Benchmark for its benchmarks
#   --have-gui  prints nothing; succeeds when the viewer's libraries are all built
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache="${XDG_CACHE_HOME:-$HOME/.cache}/pictavo/mingw"
packages=(libpng1.6 libjpeg-turbo libzip)
guiPackages=(tinyxml2 curl qt6-base benchmark)
mode=${1:-}
case "$mode" in
    "") ;;
    --gui | --have-gui) packages+=("${guiPackages[@]}") ;;
    *) echo "usage: $0 [--gui | --have-gui]" >&2; exit 2 ;;
esac

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

builtPrefix() { # package: the newest version already built, if any
    local version
    for version in $(ls -d "$cache/$1"-* 2>/dev/null | sort -Vr); do
        if [ -f "$version/.built" ]; then
            echo "$version"
            return
        fi
    done
}

if [ "$mode" = --have-gui ]; then
    for package in "${packages[@]}"; do
        [ -n "$(builtPrefix "$package")" ] || exit 1
    done
    exit 0
fi

# apt-get source needs deb-src entries: ours mirror the deb entries already configured, in
# both of apt's formats.
addSourceEntries() {
    local lists=/etc/apt/sources.list.d file
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
}

# Newest first. A mirror may lack the newest (security updates, say): the first whose sources
# it has is built.
fetch() { # source package; prints the source folder
    local package=$1 version
    apt-cache showsrc "$package" 2>/dev/null | grep -q '^Package:' || addSourceEntries
    for version in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -Vru); do
        if (cd "$work" && apt-get source -qq --download-only "$package=$version") >&2; then
            (cd "$work" && dpkg-source -x "${package}_${version#*:}.dsc" "src-$package") >&2
            echo "${version#*:}" >"$work/src-$package/.version"
            echo "$work/src-$package"
            return
        fi
    done
    echo "No sources of $package could be fetched" >&2
    exit 1
}

configure() { # package, source folder, prefix, options...
    local package=$1 source=$2 prefix=$3
    shift 3
    cmake -S "$source" -B "$work/build-$package" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_PREFIX_PATH="$prefixes" -DBUILD_SHARED_LIBS=OFF "$@" >&2
    cmake --build "$work/build-$package" -j "$(nproc)" >&2
    cmake --install "$work/build-$package" >&2
}

build() { # package, source folder, prefix
    case "$1" in
        libpng1.6)
            configure "$@" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF ;;
        # Without nasm the SIMD code is left out: pictures are read once per conversion.
        libjpeg-turbo)
            configure "$@" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
                -DWITH_TURBOJPEG=OFF ;;
        tinyxml2) configure "$@" -Dtinyxml2_BUILD_TESTING=OFF ;;
        # Debian's patches take its version from git, which a source package lacks.
        benchmark)
            configure "$@" -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_WERROR=OFF \
                -DGIT_VERSION="$(sed 's/-[^-]*$//' "$2/.version")" ;;
        # Deflate only, as the games' archives hold; Windows' own crypto for AES entries.
        libzip)
            configure "$@" -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF \
                -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=ON -DENABLE_BZIP2=OFF \
                -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
                -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF ;;
        # HTTP and HTTPS only, over Schannel, Windows' own TLS: no OpenSSL to ship.
        curl)
            configure "$@" -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DHTTP_ONLY=ON \
                -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DCURL_USE_LIBSSH2=OFF \
                -DUSE_LIBIDN2=OFF -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
                -DENABLE_UNICODE=ON ;;
        # The modules the viewer and its tests use; the host's moc, rcc and uic. Debian's
        # source lacks the Wacom header the tablet events need. No TLS in Qt: downloads go
        # through libcurl.
        qt6-base)
            configure "$@" -DQT_HOST_PATH=/usr \
                -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
                -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
                -DFEATURE_tabletevent=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF \
                -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
                -DFEATURE_ssl=OFF -DFEATURE_vulkan=OFF \
                -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF \
                -DFEATURE_brotli=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF \
                -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
                -DFEATURE_system_freetype=OFF -DFEATURE_system_doubleconversion=OFF \
                -DFEATURE_schannel=OFF -DFEATURE_opengl_desktop=ON \
                -DFEATURE_sessionmanager=OFF ;;
    esac
}

prefixes=""
for package in "${packages[@]}"; do
    prefix=$(builtPrefix "$package")
    if [ -z "$prefix" ]; then
        source=$(fetch "$package")
        prefix="$cache/$package-$(cat "$source/.version")"
        echo "Building $package $(cat "$source/.version") for Windows into $prefix" >&2
        rm -rf "$prefix"
        build "$package" "$source" "$prefix"
        # Debian's record of every licence in the source, for what the Windows package ships.
        install -D -m 644 "$source/debian/copyright" "$prefix/share/licenses/$package.txt"
        touch "$prefix/.built"
        rm -rf "$source" "$work/build-$package"
    fi
    prefixes="${prefixes:+$prefixes;}$prefix"
done
echo "$prefixes"
