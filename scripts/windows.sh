#!/usr/bin/env bash
# Cross-builds the texture library, pictavo-convert and pictavo-thumbnailer for 64-bit
# Windows (one static .exe each, into build/mingw) and runs the library's tests under Wine.
# Usage: scripts/windows.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" windows

build=$(realpath -m "${1:-$root/build/mingw}") # Wine wants an absolute prefix
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DPICTAVO_GUI=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target pictavo-convert pictavo-thumbnailer \
    pictavo_texture_tests

# A Wine of its own, made once, without a display and without the .NET and browser
# installers it would otherwise offer.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
[ -f "$WINEPREFIX/system.reg" ] || wineboot --init >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure -L texture -j "$(nproc)"
wineserver -k || true
