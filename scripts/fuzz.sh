#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds
# over generated seeds and, when present, the folder of real game files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds="${1:-20}"

build="$root/build/fuzz"
CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPICTAVO_FUZZ=ON -DPICTAVO_SANITIZE=ON -DPICTAVO_GUI=OFF -DPICTAVO_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

seeds="$build/seeds"
rm -rf "$seeds" && mkdir -p "$seeds/iwi" "$seeds/dds" "$seeds/archive" "$seeds/picture"
"$build/fuzz/pictavo_fuzz_seeds" "$seeds/iwi" "$seeds/dds" "$seeds/picture"
# The archive reader starts from the seeds zipped, deflated and stored.
(cd "$seeds" && zip -qr archive/deflated.iwd iwi && zip -qr0 archive/stored.iwd dds)

corpus="${PICTAVO_CORPUS_DIR:-$root/../shared/corpus}"
# The texture reader takes both kinds of file, so it starts from both kinds of seed.
for reader in iwi dds texture archive picture; do
    seedDirs=("$seeds/$reader")
    [ "$reader" = texture ] && seedDirs=("$seeds/iwi" "$seeds/dds")
    extra=()
    if [ -d "$corpus" ] && [ "$reader" != picture ]; then
        while IFS= read -r dir; do extra+=("$dir"); done < <(
            find "$corpus" -mindepth 1 -maxdepth 1 -type d | sort)
    fi
    found="$build/found/$reader" && rm -rf "$found" && mkdir -p "$found"
    echo "Fuzzing the $reader reader for ${seconds}s"
    "$build/fuzz/pictavo_fuzz_$reader" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
        "$found" "${seedDirs[@]}" "${extra[@]}" 2>"$build/fuzz_$reader.log" ||
        { tail -n 40 "$build/fuzz_$reader.log"; exit 1; }
    grep -E "stat::number_of_executed_units|Done" "$build/fuzz_$reader.log" | tail -n 2
done
