#!/usr/bin/env bash
# Builds everything and runs every test: the portable code natively (with AddressSanitizer,
# UndefinedBehaviorSanitizer and bounded fuzzing), the Windows programs under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
log=build/test-logs
mkdir -p "$log"

echo "== native build and tests"
cmake --no-warn-unused-cli -S . -B build/native -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQELV_SANITIZE=ON >/dev/null
cmake --build build/native -j2
native_ok=0
ctest --test-dir build/native --output-on-failure -j2 | tee "$log/native.txt" || native_ok=$?

echo "== 32-bit Windows build: the deliverables"
cmake --no-warn-unused-cli -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 -j2
scripts/check-deliverables.sh build/win32/bin

# The Windows tests run the 32-bit build under 32-bit Wine. A kernel that cannot execute
# 32-bit programs cannot run 32-bit Wine; there the same sources are built for 64-bit Windows
# and tested under 64-bit Wine instead.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  win=build/win32
else
  echo "== this kernel runs no 32-bit programs: Windows tests run a 64-bit build under 64-bit Wine"
  win=build/win64
  cmake --no-warn-unused-cli -S . -B $win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
  cmake --build $win -j2
fi
echo "== Windows tests under Wine ($win)"
# A Windows test that fails runs once more: Wine's start of a test program has been seen to fail
# once, without a word, on a heavily loaded machine. A fault that shows twice fails the run.
win_ok=0
WINEPREFIX=$PWD/$win/wineprefix scripts/with-display.sh \
  ctest --test-dir $win --output-on-failure --timeout 600 --repeat until-pass:2 | tee "$log/windows.txt" || win_ok=$?

# One closing line for both runs.
count() { sed -n "s/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p" "$1" | tail -1; }
read -r nf nt < <(count "$log/native.txt")
read -r wf wt < <(count "$log/windows.txt")
failed=$(( ${nf:-1} + ${wf:-1} ))
total=$(( ${nt:-0} + ${wt:-0} ))
echo "tests: $(( total - failed )) passed, $failed failed"
[ $native_ok = 0 ] && [ $win_ok = 0 ] && [ $failed = 0 ]
