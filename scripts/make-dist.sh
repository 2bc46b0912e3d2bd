#!/usr/bin/env bash
# Packs the distribution of a Windows build tree with CPack (the rules are in
# cmake/Distribution.cmake): BUILD_DIR/dist/qelv-<version>.zip and, beside it, the programs'
# debug information in qelv-<version>-symbols.zip. Entries carry the commit's time, so the
# same commit gives the same zip.
# usage: make-dist.sh BUILD_DIR   (prints the zip's path)
set -euo pipefail
build=$(realpath "${1:?usage: make-dist.sh BUILD_DIR}")
top=$(cd "$(dirname "$0")/.." && pwd)
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct 2>/dev/null || echo 315532800)}
export SOURCE_DATE_EPOCH TZ=UTC
rm -rf "$build/dist"
(cd "$build" && cpack -G ZIP >/dev/null)
version=$(cat "$build/VERSION")
echo "$build/dist/qelv-$version.zip"
