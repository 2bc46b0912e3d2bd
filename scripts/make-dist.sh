#!/usr/bin/env bash
# Lays out the distribution for the setup tool and zips it:
#   Lobrine.exe, core/ (hub and its settings), master/ and slave/ (the bridge libraries),
#   include/ (the experts' include files), VERSION.
# usage: make-dist.sh BIN_DIR OUT_DIR   (prints the zip's path)
set -euo pipefail
bin=${1:?usage: make-dist.sh BIN_DIR OUT_DIR}
out=${2:?usage: make-dist.sh BIN_DIR OUT_DIR}
top=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^project(qelv VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
name=qelv-$version
dir=$out/$name

rm -rf "$dir" "$out/$name.zip"
mkdir -p "$dir/core" "$dir/master" "$dir/slave" "$dir/include"
cp "$bin/Lobrine.exe" "$dir/"
cp "$bin/Varnick.exe" "$top/hub/qelv.xml" "$dir/core/"
cp "$bin/qelv_d30or.dll" "$dir/master/"
cp "$bin/qelv_r30uv.dll" "$dir/slave/"
cp "$top/master/qelv_d30or.mqh" "$top/slave/qelv_r30uv.mqh" "$dir/include/"
echo "$version" > "$dir/VERSION"
(cd "$out" && zip -qr "$name.zip" "$name")
echo "$out/$name.zip"
