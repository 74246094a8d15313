#!/usr/bin/env bash
# Builds Pictavo and starts it, opening the files, folders or archives given, if any. Without
# a display it runs on a virtual screen (Xvfb), where it can be looked at with screenshots;
# stop it with Ctrl+C.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" run

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTAVO_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

program="$build/src/app/pictavo"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "$@"
fi
echo "No display: running Pictavo on a virtual screen (Xvfb). Stop it with Ctrl+C."
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$@"
