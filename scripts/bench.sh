#!/usr/bin/env bash
# Builds the benchmarks optimised and without sanitizers, and runs them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" bench

build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTAVO_BENCH=ON \
    -DPICTAVO_TESTS=OFF -DPICTAVO_GUI=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
"$build/bench/pictavo_image_bench" "$@"
