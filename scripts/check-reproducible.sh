#!/usr/bin/env bash
# Builds the deliverables of the 32-bit build tree BUILD_DIR a second time, from a copy of the
# sources in another folder (built in its build/win32, as the README builds, and the 64-bit
# libraries in the folder that BUILD_DIR's distribution took them from, relative to the
# sources), packs both, and compares the shipped files and both zips byte for byte: the same
# commit must give the same bytes wherever it is built.
#   usage: scripts/check-reproducible.sh BUILD_DIR   (BUILD_DIR packed by make-dist.sh already)
set -euo pipefail
cd "$(dirname "$0")/.."
first=$(realpath "${1:?usage: check-reproducible.sh BUILD_DIR}")
other=$(mktemp -d /tmp/qelv-second-build.XXXXXX)
trap '[ -n "${KEEP:-}" ] || rm -rf "$other"' EXIT
# The build folder is named in the debug information, which the debug links' checksums carry
# into the programs.
win64=$(realpath -m --relative-to="$PWD" "$(sed -n 's/^QELV_WIN64_DIR:[A-Z]*=//p' "$first/CMakeCache.txt")")
case "$win64" in ..*|/*) win64=build/win64 ;; esac

git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | (mkdir -p "$other/src" && tar -xf - -C "$other/src")
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 315532800)
export SOURCE_DATE_EPOCH
cmake --no-warn-unused-cli -S "$other/src" -B "$other/src/build/win32" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$other/src/build/win32" -j2 --target Varnick Lobrine qelv_d30or qelv_r30uv qelv_relay >/dev/null
zip=$("$other/src/scripts/make-dist.sh" "$other/src/build/win32" "$other/src/$win64")
name=$(basename "$zip" .zip)

failed=0
for f in "$name.zip" "$name-symbols.zip"; do
  cmp -s "$first/dist/$f" "$other/src/build/win32/dist/$f" || { echo "check-reproducible: $f differs" >&2; failed=1; }
done
mkdir "$other/a" "$other/b"
unzip -q "$first/dist/$name.zip" -d "$other/a"
unzip -q "$zip" -d "$other/b"
for f in Lobrine.exe core/Varnick.exe master/qelv_d30or.dll master/mt5/qelv_d30or.dll \
         slave/qelv_r30uv.dll slave/mt5/qelv_r30uv.dll relay/qelv_relay.exe; do
  cmp "$other/a/$name/$f" "$other/b/$name/$f" >&2 || failed=1
done
[ $failed = 0 ] && echo "check-reproducible: a second build in $other gives the same bytes: the seven programs, $name.zip and $name-symbols.zip"
exit $failed
