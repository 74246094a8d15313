#!/usr/bin/env bash
# Builds the benchmarks optimised and without sanitizers, and runs them; the view's and the
# program's under Xvfb, since they draw on a real OpenGL context.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" bench
"$root/scripts/setup.sh" run # Xvfb and the Mesa drivers for the view

build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTAVO_BENCH=ON \
    -DPICTAVO_TESTS=OFF -DPICTAVO_GUI=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target pictavo_image_bench pictavo_texture_bench \
    pictavo_formats_bench pictavo_convert_bench pictavo_view_bench pictavo_app_bench \
    pictavo_thumbnail_bench pictavo_archive_bench pictavo_grid_bench
"$build/bench/pictavo_image_bench" "$@"
"$build/bench/pictavo_texture_bench" "$@"
"$build/bench/pictavo_formats_bench" "$@"
"$build/bench/pictavo_convert_bench" "$@"
"$build/bench/pictavo_thumbnail_bench" "$@"
"$build/bench/pictavo_archive_bench" "$@"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$build/bench/pictavo_view_bench" "$@"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$build/bench/pictavo_app_bench" "$@"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$build/bench/pictavo_grid_bench" "$@"
