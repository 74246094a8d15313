#!/usr/bin/env bash
# The program's speed on Windows beside Linux, in one run: launch to first frame, and select
# to first frame of a 2048 x 2048 DXT5 (plane and 2D), by the Linux build and by the Windows
# build under Wine, each on Xvfb with Mesa's OpenGL.
# Usage: scripts/bench-windows.sh [benchmark options]  (after scripts/windows.sh built the
# viewer for Windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
windows="$root/build/mingw"
[ -f "$windows/bench/pictavo_app_bench.exe" ] ||
    { echo "Build the viewer for Windows first: ./scripts/windows.sh --deps" >&2; exit 1; }
"$root/scripts/setup.sh" bench
linux="$root/build/bench"
cmake -S "$root" -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTAVO_BENCH=ON \
    -DPICTAVO_TESTS=OFF -DPICTAVO_GUI=ON >/dev/null
cmake --build "$linux" -j "$(nproc)" --target pictavo_app_bench pictavo_view_bench

launch=(--benchmark_filter=LaunchToFirstFrame "$@")
select=(--benchmark_filter=SelectToFirstFrame "$@")
run() { xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"; }
echo "== Linux"
run "$linux/bench/pictavo_app_bench" "${launch[@]}"
run "$linux/bench/pictavo_view_bench" "${select[@]}"
echo "== Windows, under Wine"
export WINEPREFIX="$windows/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
run wine "$windows/bench/pictavo_app_bench.exe" "${launch[@]}"
run wine "$windows/bench/pictavo_view_bench.exe" "${select[@]}"
wineserver -k || true
