#!/usr/bin/env bash
# Takes the picture of the hub's panel for the README: Varnick.exe under Wine on a private X
# server, with two simulated masters attached, cropped to the hub's window.
#   usage: scripts/screenshot-hub.sh [WINDOWS_BUILD_DIR] [OUT_PNG]
# Needs imagemagick (import) and x11-utils (xwininfo) besides Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/win64}")
out=$(realpath -m "${2:-docs/hub-panel.png}")

if [ -z "${QELV_SCREENSHOT_DISPLAY:-}" ]; then
  export QELV_SCREENSHOT_DISPLAY=1
  WINEPREFIX=$build/wineprefix exec scripts/with-display.sh "$0" "$build" "$out"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

cp "$build"/bin/{Varnick.exe,terminal_sim.exe,qelv_d30or.dll} hub/qelv.xml "$work"/
channel=$(sed -n 's:.*<channel_id>\(.*\)</channel_id>.*:\1:p' hub/qelv.xml)
cat > "$work/demo.txt" <<'SCENARIO'
login 4711
open 1001 buy 0.10 EURUSD 1.08345 1.07 1.10 first
open 1002 sell 1 GBPUSD 1.25010
wait 500
close 1002 1.24800
SCENARIO

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1; shift
  for _ in $(seq $((limit * 5))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.2; done
  echo "screenshot-hub: gave up waiting for: $*" >&2
  return 1
}

"$build/wine-run" "$work/Varnick.exe" & pids+=($!)
wait_for 120 xwininfo -name Varnick
"$build/wine-run" "$work/terminal_sim.exe" master --channel "$channel" --window 1 --interval 200 \
  --duration 60000 --scenario "$work/demo.txt" >"$work/master1.log" & pids+=($!)
"$build/wine-run" "$work/terminal_sim.exe" master --channel "$channel" --window 2 --interval 200 \
  --duration 60000 --orders 12 >"$work/master2.log" & pids+=($!)
wait_for 60 grep -q "image 2:" "$work/master1.log"
wait_for 60 grep -q "image 1:" "$work/master2.log"
sleep 1  # the hub repaints its values after the last image

read -r x y w h < <(xwininfo -name Varnick |
  awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width/{w=$NF} /Height/{h=$NF}
       END{print x, y, w, h}')
mkdir -p "$(dirname "$out")"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out"
echo "screenshot-hub: wrote $out (${w}x${h})"
