#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer, runs every test
# (OpenGL ones under Xvfb), then runs each file-reader fuzzer briefly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" test

build="$root/build/test"
launcher=()
command -v ccache >/dev/null &&
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths below the checkout count as relative, so that another clone reuses what one built.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPICTAVO_SANITIZE=ON \
    "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
# The tests' own environment, which CTest also sets for the test programs that need it (see
# tests/view/CMakeLists.txt): GCC 12's LeakSanitizer misreads some dynamic TLS blocks and
# its tracer crashes at exit; intercept_tls_get_addr=0 leaves them to its linker rule.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}intercept_tls_get_addr=0"
# -noreset: by default the server resets whenever its last client leaves, and drops a client
# that connects meanwhile, which parallel test programs hit now and then.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

"$root/scripts/fuzz.sh" "${PICTAVO_FUZZ_SECONDS:-20}"
# The Windows build and its tests under Wine: the whole program, its tests and the installer
# where the viewer's libraries for Windows are built on this machine, else the converter,
# the thumbnailer, the Explorer DLL and their libraries' tests.
"$root/scripts/windows.sh"
echo "All tests passed."
