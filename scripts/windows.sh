#!/usr/bin/env bash
# Cross-builds the texture library, pictavo-convert and pictavo-thumbnailer for 64-bit
# Windows (one static .exe each, into build/mingw) and runs the library's tests under Wine.
# Usage: scripts/windows.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" windows

# libpng and libjpeg-turbo, built for Windows once per machine.
deps=$("$root/scripts/mingw-deps.sh")

build=$(realpath -m "${1:-$root/build/mingw}") # Wine wants an absolute prefix
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$deps" \
    -DPICTAVO_GUI=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target pictavo-convert pictavo-thumbnailer \
    pictavo_texture_tests

# One .exe each: they may import Windows' own DLLs only.
for exe in "$build/src/cli/pictavo-convert.exe" "$build/src/thumbnailer/pictavo-thumbnailer.exe"; do
    if x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' |
        grep -viE '^(kernel32|msvcrt|advapi32|user32|shell32|ws2_32)\.dll$'; then
        echo "$exe needs the DLLs above beside it" >&2
        exit 1
    fi
done

# A Wine of its own, made once, without a display and without the .NET and browser
# installers it would otherwise offer.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
[ -f "$WINEPREFIX/system.reg" ] || wineboot --init >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure -L texture -j "$(nproc)"
wineserver -k || true
