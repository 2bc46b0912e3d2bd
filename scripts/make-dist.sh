#!/usr/bin/env bash
# Packs the distribution of a 32-bit Windows build tree with CPack (the rules are in
# cmake/Distribution.cmake): BUILD_DIR/dist/qelv-<version>.zip and, beside it, the programs'
# debug information in qelv-<version>-symbols.zip. Entries carry the commit's time, so the
# same commit gives the same zip. The 64-bit libraries for MetaTrader 5 come from the 64-bit
# tree WIN64_DIR (build/win64 beside BUILD_DIR unless given), configured if it is not yet;
# only those two libraries are built there.
# usage: make-dist.sh BUILD_DIR [WIN64_DIR]   (prints the zip's path)
set -euo pipefail
build=$(realpath "${1:?usage: make-dist.sh BUILD_DIR [WIN64_DIR]}")
win64=$(realpath -m "${2:-$build/../win64}")
top=$(cd "$(dirname "$0")/.." && pwd)
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct 2>/dev/null || echo 315532800)}
export SOURCE_DATE_EPOCH TZ=UTC
if [ ! -f "$win64/CMakeCache.txt" ]; then
  cmake --no-warn-unused-cli -S "$top" -B "$win64" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
fi
cmake --build "$win64" -j2 --target qelv_d30or qelv_r30uv >/dev/null
cmake -DQELV_WIN64_DIR="$win64" "$build" >/dev/null
rm -rf "$build/dist"
(cd "$build" && cpack -G ZIP >/dev/null)
version=$(cat "$build/VERSION")
echo "$build/dist/qelv-$version.zip"
