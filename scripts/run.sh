#!/usr/bin/env bash
# Builds Pictavo and shows it at work: makes a sample texture, converts it to IWI and back,
# describes both, and renders the result to a PNG with ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" run

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTAVO_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

convert_tool="$build/src/cli/pictavo-convert"
sample="$root/build/sample"
rm -rf "$sample" && mkdir -p "$sample"
# A 64 x 64 DDS with a colour gradient, drawn by ImageMagick.
convert -size 64x64 gradient:orange-navy -define dds:compression=dxt1 -define dds:mipmaps=0 \
    "$sample/gradient.dds"
"$convert_tool" "$sample/gradient.dds"
mv "$sample/gradient.dds" "$sample/original.dds"
"$convert_tool" --info "$sample/original.dds" "$sample/gradient.iwi"
"$convert_tool" "$sample/gradient.iwi"
convert "$sample/gradient.dds" "$sample/gradient.png"
echo "The IWI file, converted back to DDS and rendered: $sample/gradient.png"
