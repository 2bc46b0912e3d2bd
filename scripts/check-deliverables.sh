#!/usr/bin/env bash
# Checks the 32-bit deliverables in a bin/ folder: 32-bit PE files that import system DLLs only
# (no MinGW runtime beside them) and libraries that export exactly their undecorated names.
set -euo pipefail
bin=${1:?usage: check-deliverables.sh BIN_DIR}
objdump=i686-w64-mingw32-objdump
failed=0

fail() { echo "check-deliverables: $*" >&2; failed=1; }

exports() {  # the names of a DLL's export table, sorted
  "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort
}

expect_exports() {
  local dll=$bin/$1; shift
  [ -f "$dll" ] || { fail "$dll is missing"; return; }
  local want; want=$(printf '%s\n' "$@" | sort)
  [ "$(exports "$dll")" = "$want" ] || fail "$dll exports $(exports "$dll" | tr '\n' ' ')"
}

for f in "$bin"/*.exe "$bin"/*.dll; do
  [ -f "$f" ] || continue
  "$objdump" -f "$f" | grep -q 'file format pei-i386' || fail "$f is not a 32-bit Windows file"
  while read -r dll; do
    case "${dll,,}" in
      kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|shell32.dll|ole32.dll|comctl32.dll|advapi32.dll|comdlg32.dll|shlwapi.dll|oleaut32.dll) ;;
      *) fail "$f imports $dll" ;;
    esac
  done < <("$objdump" -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p')
done

expect_exports qelv_d30or.dll _init _deinit _find_window _marker_send _get_crc _image_clear \
  _image_set _image_append _image_send
if [ -f "$bin/qelv_r30uv.dll" ]; then
  expect_exports qelv_r30uv.dll _images_split _images_total _images_get_info _image_select \
    _image_get_info _orders_total _order_select _order_get _image_get_info_a _order_get_a \
    _init _deinit _find_window _qelv_marker_send _qelv_get_crc _qelv_images_get _images_calc_crc
fi

[ $failed = 0 ] && echo "check-deliverables: $(ls "$bin" | wc -l) files in $bin are 32-bit, self-contained and export what they should"
exit $failed
