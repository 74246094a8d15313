#!/usr/bin/env bash
# Cross-builds Pictavo for 64-bit Windows into build/mingw and tests it under Wine.
# Usage: scripts/windows.sh [--deps | --gui | --light] [BUILD_DIR]
#   --deps   first builds the viewer's libraries for Windows (Qt, libcurl, tinyxml2; about an
#            hour on two cores, once per machine), then does what --gui does
#   --gui    with those libraries: every program (pictavo.exe, pictavo-convert.exe,
#            pictavo-thumbnailer.exe, the Explorer thumbnail DLL), every test program that is
#            not about Linux alone, run under Wine on Xvfb, the zip and the installer, and a
#            silent install and uninstall
#   --light  the converter, the thumbnailer, the Explorer DLL and their libraries' tests,
#            which need only libraries that build in minutes
# Without any: --gui when the viewer's libraries are built, else --light.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=""
case "${1:-}" in
    --deps | --gui) mode=gui; shift ;;
    --light) mode=light; shift ;;
esac
"$root/scripts/setup.sh" windows
if [ -z "$mode" ]; then
    if "$root/scripts/mingw-deps.sh" --have-gui; then
        mode=gui
    else
        mode=light
        echo "Windows: the converter, the thumbnailer and the Explorer DLL only; for the" \
            "viewer and the installer run ./scripts/windows.sh --deps once (about an hour)."
    fi
fi
deps=""
[ "$mode" = gui ] && deps=--gui
prefixes=$("$root/scripts/mingw-deps.sh" $deps)

build=$(realpath -m "${1:-$root/build/mingw}") # Wine wants an absolute prefix
options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$prefixes")
if [ -n "$deps" ]; then
    # Qt's moc, rcc and uic run on this machine: the Linux ones of the same version.
    options+=(-DPICTAVO_GUI=ON -DPICTAVO_BENCH=ON -DQT_HOST_PATH=/usr
              -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
    targets=(all)
else
    options+=(-DPICTAVO_GUI=OFF -DPICTAVO_BENCH=OFF)
    targets=(pictavo-convert pictavo-thumbnailer pictavo_texture_tests pictavo_explorer_tests)
fi
# ccache, where installed, keeps a later build of the same sources to minutes.
command -v ccache >/dev/null &&
    options+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths below the checkout count as relative, so that another clone reuses what one built.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# Each program is one file: it may import Windows' own DLLs only.
for binary in "$build"/src/*/*.exe "$build"/src/explorer/*.dll; do
    if x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/.*DLL Name: //p' |
        grep -viE '^(kernel32|msvcrt|advapi32|user32|shell32|ws2_32|gdi32|ole32|oleaut32|uuid|shlwapi|opengl32|comdlg32|imm32|winmm|uxtheme|dwmapi|version|netapi32|userenv|crypt32|bcrypt|secur32|iphlpapi|wtsapi32|setupapi|dwrite|d3d9|d3d11|dxgi|shcore|authz|normaliz|wldap32|mpr|comctl32|api-ms-win-[a-z0-9-]+)\.dll$'; then
        echo "$binary needs the DLLs above beside it" >&2
        exit 1
    fi
done

# A Wine of its own, made once, without the .NET and browser installers it would offer.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    DISPLAY= wineboot --init >/dev/null 2>&1
    wineserver -w
fi
# Wine starts its desktop and services with the first program on a display; test programs
# started together before that have waited minutes for them, so one trivial program goes
# first. Each test program runs whole as one CTest test under Wine: the cases' own count, from
# GoogleTest's summaries in CTest's log.
countCases() {
    local log="$build/Testing/Temporary/LastTest.log"
    local what
    for what in PASSED SKIPPED FAILED; do
        printf '%s %s  ' "$what" "$(sed -n "s/^\[ *$what *\] \([0-9]*\) tests\{0,1\}[.,].*/\1/p" \
            "$log" | awk '{ n += $1 } END { print n + 0 }')"
    done
    echo "(test cases under Wine)"
}
if [ "$mode" = light ]; then
    DISPLAY= wine cmd /c exit >/dev/null 2>&1 || true
    DISPLAY= ctest --test-dir "$build" --output-on-failure -L "texture|explorer" -j "$(nproc)"
    wineserver -k || true
    countCases
    exit 0
fi

# The window tests draw with Wine's OpenGL, which runs on Mesa under Xvfb; a screen wider
# than the window tests grow it to, since Windows keeps a window within the screen.
xvfb-run -a -s "-screen 0 1920x1200x24 -noreset" bash -c '
    wine cmd /c exit >/dev/null 2>&1
    ctest --test-dir "$0" --output-on-failure -j "$1"' "$build" "$(nproc)"
wineserver -k || true
countCases

(cd "$build" && cpack -C Release >/dev/null)
"$root/scripts/windows-installer-check.sh" "$build"
