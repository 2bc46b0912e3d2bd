#!/usr/bin/env bash
# Checks a 32-bit Windows build tree: every program in its bin/ is a 32-bit PE file that imports
# system DLLs only (no MinGW runtime beside them), and the libraries export exactly their
# undecorated names. The two libraries of the 64-bit tree its distribution takes them from
# (QELV_WIN64_DIR in its cache, see make-dist.sh), once built, are checked alike as 64-bit
# ones. When the tree's distribution is packed (make-dist.sh), the shipped programs are checked
# as shipped too: ASLR and DEP on, no debug sections, a version block carrying the
# distribution's version.
#   usage: check-deliverables.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: check-deliverables.sh BUILD_DIR}
bin=$build/bin
win64_bin=$(sed -n 's/^QELV_WIN64_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")/bin
objdump=x86_64-w64-mingw32-objdump  # reads 32-bit and 64-bit files alike
failed=0

fail() { echo "check-deliverables: $*" >&2; failed=1; }

exports() {  # the names of a DLL's export table, sorted
  "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort
}

expect_exports() {
  local dll=$1; shift
  [ -f "$dll" ] || { fail "$dll is missing"; return; }
  local want; want=$(printf '%s\n' "$@" | sort)
  [ "$(exports "$dll")" = "$want" ] || fail "$dll exports $(exports "$dll" | tr '\n' ' ')"
}

# A program as shipped: hardened, stripped, and saying what it is in its version block.
expect_shipped() {
  local f=$1 version=$2 headers
  headers=$("$objdump" -p "$f")
  grep -qw DYNAMIC_BASE <<<"$headers" || fail "$f: no ASLR (DYNAMIC_BASE)"
  grep -qw NX_COMPAT <<<"$headers" || fail "$f: no DEP (NX_COMPAT)"
  ! "$objdump" -h "$f" | grep -q ' \.debug_' || fail "$f has debug sections"
  # The resource type table lists RT_VERSION (16) and the block's strings are UTF-16.
  grep -q 'Entry: ID: 0x000010,' <<<"$headers" || fail "$f has no version block"
  strings -el "$f" | grep -qx "$version" || fail "$f: version block without $version"
  strings -el "$f" | grep -qx "$(basename "$f")" || fail "$f: version block without its file name"
}

# A program of the given file format that imports system DLLs only.
expect_self_contained() {
  local f=$1 format=$2
  "$objdump" -f "$f" | grep -q "file format $format\$" || fail "$f is not a $format file"
  while read -r dll; do
    case "${dll,,}" in
      kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|shell32.dll|ole32.dll|comctl32.dll|advapi32.dll|comdlg32.dll|shlwapi.dll|oleaut32.dll) ;;
      ws2_32.dll|winhttp.dll|bcrypt.dll|crypt32.dll) ;;  # the relay's network and cryptography
      *) fail "$f imports $dll" ;;
    esac
  done < <("$objdump" -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p')
}

master_exports=(_init _deinit _find_window _marker_send _get_crc _image_clear _image_set
  _image_append _image_send _mt5_begin _mt5_history_begin _mt5_position_add _mt5_order_add
  _mt5_deal_add _mt5_finished_order_add _mt5_build _mt5_image_order_get)
slave_exports=(_images_split _images_total _images_get_info _image_select _image_get_info
  _orders_total _order_select _order_get _image_get_info_a _order_get_a _init _deinit
  _find_window _qelv_marker_send _qelv_get_crc _qelv_images_get _images_calc_crc _qelv_wait_crc
  _copier_settings _copier_begin _copier_order_add _copier_symbols_wanted _copier_symbol_name
  _copier_symbol_add _copier_plan _copier_action_get _copier_action_done _copier_log_count
  _copier_log_get _copier_end)

for f in "$bin"/*.exe "$bin"/*.dll; do
  [ -f "$f" ] || continue
  expect_self_contained "$f" pei-i386
done
expect_exports "$bin/qelv_d30or.dll" "${master_exports[@]}"
if [ -f "$bin/qelv_r30uv.dll" ]; then
  expect_exports "$bin/qelv_r30uv.dll" "${slave_exports[@]}"
fi
[ $failed = 0 ] && echo "check-deliverables: $(ls "$bin" | wc -l) files in $bin are 32-bit, self-contained and export what they should"
# The same names in both bitnesses: the experts of both terminals declare them alike. The 64-bit
# tree may not be built yet (make-dist.sh builds it), unless its libraries were packed.
if [ -d "$win64_bin" ] || [ -d "$build/dist" ]; then
  for dll in qelv_d30or.dll qelv_r30uv.dll; do
    [ -f "$win64_bin/$dll" ] || { fail "$win64_bin/$dll is missing"; continue; }
    expect_self_contained "$win64_bin/$dll" pei-x86-64
  done
  expect_exports "$win64_bin/qelv_d30or.dll" "${master_exports[@]}"
  expect_exports "$win64_bin/qelv_r30uv.dll" "${slave_exports[@]}"
  [ $failed = 0 ] && echo "check-deliverables: the two libraries in $win64_bin are 64-bit, self-contained and export what the 32-bit ones do"
fi

if [ -f "$build/VERSION" ] && [ -d "$build/dist" ]; then
  version=$(cat "$build/VERSION")
  shipped=$(mktemp -d)
  trap 'rm -rf "$shipped"' EXIT
  unzip -q "$build/dist/qelv-$version.zip" -d "$shipped"
  root=$shipped/qelv-$version
  # The setup tool keeps its own version block, 1.0.0.1, as it always had.
  for entry in Lobrine.exe=1.0.0.1 core/Varnick.exe="$version" master/qelv_d30or.dll="$version" \
               master/mt5/qelv_d30or.dll="$version" slave/qelv_r30uv.dll="$version" \
               slave/mt5/qelv_r30uv.dll="$version" relay/qelv_relay.exe="$version"; do
    f=${entry%%=*}
    [ -f "$root/$f" ] || { fail "the distribution has no $f"; continue; }
    expect_shipped "$root/$f" "${entry#*=}"
  done
  (cd "$root" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the distribution"
  # One symbols file per program: the 64-bit libraries' must not take the place of the 32-bit ones'.
  symbols=$(unzip -Z1 "$build/dist/qelv-$version-symbols.zip" | LC_ALL=C sort | tr '\n' ' ')
  [ "$symbols" = "Lobrine.exe.debug Varnick.exe.debug mt5/qelv_d30or.dll.debug mt5/qelv_r30uv.dll.debug qelv_d30or.dll.debug qelv_r30uv.dll.debug qelv_relay.exe.debug " ] ||
    fail "the symbols zip holds $symbols"
  # Each library where its terminal looks for it: a mix-up of the two trees shows here.
  for entry in master/qelv_d30or.dll=pei-i386 slave/qelv_r30uv.dll=pei-i386 \
               master/mt5/qelv_d30or.dll=pei-x86-64 slave/mt5/qelv_r30uv.dll=pei-x86-64; do
    if [ -f "$root/${entry%%=*}" ]; then expect_self_contained "$root/${entry%%=*}" "${entry#*=}"; fi
  done
  [ $failed = 0 ] && echo "check-deliverables: the seven programs in qelv-$version.zip are hardened, stripped and versioned; SHA256SUMS holds"
fi
exit $failed
