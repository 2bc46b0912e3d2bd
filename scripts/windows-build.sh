#!/usr/bin/env bash
# Prints the Windows build tree whose programs this machine can run under Wine, configuring
# and building it first when it is not the 32-bit one (pass the targets to build, or none for
# all). The deliverables are the 32-bit build, run under 32-bit Wine; a kernel that cannot
# execute 32-bit programs cannot run 32-bit Wine, and there the same sources are built for
# 64-bit Windows and run under 64-bit Wine instead, in build/win64 or the tree QELV_WIN64_DIR
# names (the same tree make-dist.sh takes the distribution's 64-bit libraries from).
#   usage: scripts/windows-build.sh [TARGET...]     (run from the repository's top)
set -euo pipefail
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo build/win32
  exit 0
fi
echo "== this kernel runs no 32-bit programs: a 64-bit build runs under 64-bit Wine instead" >&2
win64=${QELV_WIN64_DIR:-build/win64}
cmake --no-warn-unused-cli -S . -B "$win64" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$win64" -j2 --target "$@" >&2
else
  cmake --build "$win64" -j2 >&2
fi
echo "$win64"
