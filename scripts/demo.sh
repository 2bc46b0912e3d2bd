#!/usr/bin/env bash
# The live demo: builds the suite and its distribution, installs the distribution with the
# setup tool into a Dremont folder and two terminal folders on a fresh Wine desktop, starts the
# hub from there, runs one simulated master and two simulated slaves (one as an expert of a
# terminal before build 600, one as an expert of today's terminals), and prints what each
# slave's expert reads while orders open, change and close on the master. Then the relay: a
# second hub (another channel, as on another desktop) whose slave follows the first hub's master
# through a publishing and a subscribing relay and a broker on this computer (WebSocket over TLS,
# its certificate pinned), beside a slave of the first hub. Then the copier: a
# master trading on an account of its own and two slaves, each copying onto its own account as
# its settings say (scripts/demo-copier-scenario.txt, scripts/demo-slave-*.txt), with every
# trade printed as it happens and each slave's orders beside the master's at the end; a third
# slave copies it onto an MT5 hedging account. Then MT5 as master: a master on an MT5 account
# (scripts/demo-mt5-scenario.txt) copied by an MT4 slave and an MT5 slave. It ends by itself,
# leaves a picture of the hub's panel in build/demo/hub-panel.png and no process behind, the
# broker included.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
scripts/install-deps.sh

if [ -z "${QELV_DEMO_DISPLAY:-}" ]; then
  echo "== building the suite"
  programs=(Varnick Lobrine qelv_d30or qelv_r30uv terminal_sim qelv_relay)
  cmake --no-warn-unused-cli -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
  cmake --build build/win32 -j2 --target "${programs[@]}"
  scripts/check-deliverables.sh build/win32
  zip=$(scripts/make-dist.sh build/win32)
  echo "== distribution: $zip"
  win=$(scripts/windows-build.sh "${programs[@]}")
  export QELV_DEMO_DISPLAY=1 QELV_DEMO_BUILD=$top/$win WINEPREFIX=$top/build/demo/wineprefix
  exec scripts/with-display.sh "$0"
fi

# From here on: inside a private X server, with the demo's own Wine prefix.
build=$QELV_DEMO_BUILD
run="$build/wine-run"
demo=${QELV_DEMO_DIR:-$top/build/demo}
rm -rf "$demo/logs" && mkdir -p "$demo/logs"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  "$top/tests/relay/test-broker.sh" stop "$demo/broker"
}
trap cleanup EXIT

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1; shift
  for _ in $(seq $((limit * 5))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.2; done
  echo "demo: gave up waiting for: $*" >&2
  return 1
}

echo "== installing on a fresh Wine desktop (C:\\qelv-demo)"
"$run" cmd /c exit  # creates the prefix on the first run
root=$WINEPREFIX/drive_c/qelv-demo
rm -rf "$root"
mkdir -p "$root/Dremont"
# Master and Slave1 are terminals of the old layout (experts\...); Slave2 is the data folder of
# a current terminal (MQL4\...), whose expert passes texts as UTF-8 byte arrays (--utf8).
for t in Master Slave1; do mkdir -p "$root/$t/experts/"{scripts,libraries,files}; done
mkdir -p "$root/Slave2/MQL4/"{Experts,Scripts,Libraries,Files,Include}
# The relay's second desk: a hub of its own and a current terminal's data folder.
mkdir -p "$root/Dremont2" "$root/Slave3/MQL4/"{Experts,Scripts,Libraries,Files,Include}
# MT5 terminals' data folders: a master and two slaves.
for t in Master5 Slave4 Slave5; do mkdir -p "$root/$t/MQL5/"{Experts,Scripts,Libraries,Files,Include}; done
zip=$(scripts/make-dist.sh "$build")
unzip -q "$zip" -d "$root"
setup="C:\\qelv-demo\\$(basename "$zip" .zip)\\Lobrine.exe"
"$run" "$setup" /install core 'C:\qelv-demo\Dremont'
"$run" "$setup" /install master 'C:\qelv-demo\Master'
"$run" "$setup" /install slave 'C:\qelv-demo\Slave1'
"$run" "$setup" /install slave 'C:\qelv-demo\Slave2'
"$run" "$setup" /install core 'C:\qelv-demo\Dremont2'
"$run" "$setup" /install slave 'C:\qelv-demo\Slave3'
"$run" "$setup" /install master 'C:\qelv-demo\Master5'
"$run" "$setup" /install slave 'C:\qelv-demo\Slave4'
"$run" "$setup" /install slave 'C:\qelv-demo\Slave5'
sed -i 's:<channel_id>.*</channel_id>:<channel_id>qelv_channel_2</channel_id>:' "$root/Dremont2/qelv.xml"
# Each desk gets the distribution's relay folder (its settings are written further down).
for r in RelayA RelayB; do cp -r "$root/$(basename "$zip" .zip)/relay" "$root/$r"; done
(cd "$root" && find Dremont Master Slave1 Slave2 Dremont2 Slave3 Master5 Slave4 Slave5 RelayA RelayB -type f |
  sort | sed 's/^/   /')

channel=$(sed -n 's:.*<channel_id>\(.*\)</channel_id>.*:\1:p' "$root/Dremont/qelv.xml")
echo "== starting the hub from C:\\qelv-demo\\Dremont (channel $channel)"
"$run" 'C:\qelv-demo\Dremont\Varnick.exe' & pids+=($!)
wait_for 120 xwininfo -name Varnick

sim=$build/bin/terminal_sim.exe
fetchers=()
"$run" "$sim" slave --channel "$channel" --instance 1 --poll 250 --duration 30000 \
  --dll 'C:\qelv-demo\Slave1\experts\libraries\qelv_r30uv.dll' 2>&1 |
  stdbuf -oL sed "s/^/[slave 1]  /" | tee "$demo/logs/slave1.log" & fetchers+=($!)
"$run" "$sim" slave --channel "$channel" --instance 2 --poll 250 --duration 30000 --utf8 \
  --dll 'C:\qelv-demo\Slave2\MQL4\Libraries\qelv_r30uv.dll' 2>&1 |
  stdbuf -oL sed "s/^/[slave 2]  /" | tee "$demo/logs/slave2.log" & fetchers+=($!)
pids+=("${fetchers[@]}")
sleep 2
echo "== the master trades (scripts/demo-scenario.txt)"
"$run" "$sim" master --channel "$channel" --window 1 --instance 1 --interval 250 \
  --dll 'C:\qelv-demo\Master\experts\libraries\qelv_d30or.dll' \
  --scenario "Z:$top/scripts/demo-scenario.txt" 2>&1 |
  stdbuf -oL sed 's/^/[master]   /' | tee "$demo/logs/master.log" & master=$!
pids+=($master)

# The panel while the master's last image is shown, before it detaches.
wait_for 120 grep -q "image 4:" "$demo/logs/master.log"
sleep 1
read -r x y w h < <(xwininfo -name Varnick |
  awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width/{w=$NF} /Height/{h=$NF}
       END{print x, y, w, h}')
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$demo/hub-panel.png"
wait $master
sleep 1
echo "== the hub's panel as the master's last image arrived: $demo/hub-panel.png"
fields() { sed 's/^\[slave .\]  //' "$1" | grep -E '^ *(image|market|history) ' | sort -u; }
if diff <(fields "$demo/logs/slave1.log") <(fields "$demo/logs/slave2.log") >/dev/null; then
  echo "== the old-layout slave and the current one read the same fields ($(fields "$demo/logs/slave1.log" | wc -l) distinct lines)"
else
  echo "== the two slaves read different fields:"
  diff <(fields "$demo/logs/slave1.log") <(fields "$demo/logs/slave2.log") || true
fi
wait "${fetchers[@]}"  # they detach after their 30 s

# The relay: the first hub's master reaches the second hub through the broker.
echo "== the relay: a broker on this computer (tests/relay/test-broker.sh: WebSocket over TLS, a"
echo "   certificate of its own, pinned by both relays), a publishing relay beside the first hub"
echo "   (C:\\qelv-demo\\RelayA) and a subscribing relay beside a second hub (C:\\qelv-demo\\Dremont2,"
echo "   channel qelv_channel_2) whose slave 3 follows the master (scripts/demo-relay-*.xml)"
"$top/tests/relay/test-broker.sh" start "$demo/broker"
wss_port=$(awk '$1 == "wss" {print $2}' "$demo/broker/broker.ports")
pin=$(cat "$demo/broker/broker.pin")
for r in A:publish B:subscribe; do
  sed -e "s/@PORT@/$wss_port/" -e "s/@PIN@/$pin/" "$top/scripts/demo-relay-${r#*:}.xml" \
    >"$root/Relay${r%%:*}/qelv-relay.xml"
done
"$run" 'C:\qelv-demo\Dremont2\Varnick.exe' & pids+=($!)
relays=()
"$run" 'C:\qelv-demo\RelayA\qelv_relay.exe' & relays+=($!)
"$run" 'C:\qelv-demo\RelayB\qelv_relay.exe' & relays+=($!)
pids+=("${relays[@]}")
for r in A B; do wait_for 60 grep -q "connected to" "$root/Relay$r/qelv-relay.log"; done
fetchers=()
"$run" "$sim" slave --channel "$channel" --instance 3 --poll 250 --duration 20000 \
  --dll 'C:\qelv-demo\Slave1\experts\libraries\qelv_r30uv.dll' >"$demo/logs/relay-slave1.log" 2>&1 &
fetchers+=($!)
"$run" "$sim" slave --channel qelv_channel_2 --instance 1 --poll 250 --duration 20000 --utf8 \
  --dll 'C:\qelv-demo\Slave3\MQL4\Libraries\qelv_r30uv.dll' 2>&1 |
  stdbuf -oL sed "s/^/[slave 3]  /" | tee "$demo/logs/slave3.log" & fetchers+=($!)
pids+=("${fetchers[@]}")
sleep 2
echo "== the master trades again on the first hub (scripts/demo-scenario.txt)"
"$run" "$sim" master --channel "$channel" --window 3 --instance 1 --interval 250 \
  --dll 'C:\qelv-demo\Master\experts\libraries\qelv_d30or.dll' \
  --scenario "Z:$top/scripts/demo-scenario.txt" >"$demo/logs/relay-master.log" 2>&1
wait "${fetchers[@]}"
# Closed as a user closes their windows: each says goodbye to the broker and its hub.
"$run" taskkill /im qelv_relay.exe >/dev/null 2>&1 || true
ended() { ! kill -0 "$1" 2>/dev/null; }
for pid in "${relays[@]}"; do wait_for 30 ended "$pid" || kill "$pid" 2>/dev/null || true; done
"$top/tests/relay/test-broker.sh" stop "$demo/broker"
if diff <(fields "$demo/logs/relay-slave1.log") <(fields "$demo/logs/slave3.log") >/dev/null; then
  echo "== slave 3 of the second hub read what a slave of the first hub read, through the two relays ($(fields "$demo/logs/slave3.log" | wc -l) distinct lines)"
else
  echo "== slave 3 of the second hub and a slave of the first hub read different fields:"
  diff <(fields "$demo/logs/relay-slave1.log") <(fields "$demo/logs/slave3.log") || true
fi
for r in A B; do
  echo "== relay $r's log (C:\\qelv-demo\\Relay$r\\qelv-relay.log):"
  sed 's/^/   /' "$root/Relay$r/qelv-relay.log"
done

# The copier: each account keeps a journal of its trades (an MT5 account its state), which the
# demo prints as they land.
# The `key = value` lines of a settings or symbols file as one text: "key=value;key=value".
items() { sed 's/#.*//; s/[[:space:]]*=[[:space:]]*/=/; s/^[[:space:]]*//; s/[[:space:]]*$//; /^$/d' "$1" | paste -sd';'; }
accounts=(python3 "$top/scripts/demo-accounts.py")
# MT5 terminals are 64-bit: their libraries are the 64-bit ones the setup tool put into MQL5.
# Where Wine runs the 32-bit build, the simulated MT5 terminals are 32-bit and load the build's
# own 32-bit libraries instead, as a 32-bit program cannot load a 64-bit library.
mt5_library() {
  case "$build" in
    */win64) echo "C:\\qelv-demo\\$1\\MQL5\\Libraries\\$2" ;;
    *) echo "Z:$build/bin/$2" ;;
  esac
}
# Starts copying slave $1 (a letter): instance $2, library $3, "--mt5 hedging" or nothing as $4.
specs=()
start_copier() {
  local s=$1 label="slave ${1^^}" settings=$top/scripts/demo-slave-$1-inputs.txt
  local symbols=$top/scripts/demo-slave-$1-symbols.txt journal=$demo/logs/slave-$1.journal
  [ -f "$symbols" ] || symbols=""
  echo "   $label${4:+ (an MT5 hedging account)}: $(items "$settings" | sed 's/;/; /g')${symbols:+, on a broker offering $(items "$symbols")}"
  journals+=("[$label]=$journal")
  # shellcheck disable=SC2086
  "$run" "$sim" slave --channel "$channel" --copy --instance "$2" \
    --inputs "$(items "$settings")" ${symbols:+--symbols "$(items "$symbols")"} \
    --journal "Z:$journal" --duration 100000 --dll "$3" ${4:-} \
    >"$demo/logs/slave-$s.out" 2>&1 & copiers+=($!)
  specs+=("$label:$journal:$settings:$symbols")
}
echo "== the copier: master 4711 trades on its account (scripts/demo-copier-scenario.txt);"
echo "   slaves A, B (MT4) and C (MT5) copy it onto accounts of their own, each as its settings say"
copiers=()
journals=("[master]=$demo/logs/master.journal")
# Slave A trades in the old-layout terminal's folder, slave B in the current one's, slave C in
# an MT5 terminal's.
start_copier a 1 'C:\qelv-demo\Slave1\experts\libraries\qelv_r30uv.dll'
start_copier b 2 'C:\qelv-demo\Slave2\MQL4\Libraries\qelv_r30uv.dll'
start_copier c 3 "$(mt5_library Slave4 qelv_r30uv.dll)" "--mt5 hedging"
pids+=("${copiers[@]}")
"${accounts[@]}" follow "${journals[@]}" & follower=$!
pids+=($follower)
# A slave copies the orders opened after it began following: the master starts once every
# slave printed its settings and ran a pass.
for s in a b c; do wait_for 60 grep -q "^setting master_time_offset" "$demo/logs/slave-$s.out"; done
sleep 1
"$run" "$sim" master --channel "$channel" --trade --window 2 --instance 1 --duration 100000 \
  --scenario "Z:$top/scripts/demo-copier-scenario.txt" --journal "Z:$demo/logs/master.journal" \
  --dll 'C:\qelv-demo\Master\experts\libraries\qelv_d30or.dll' \
  >"$demo/logs/copier-master.out" 2>&1 & pids+=($!)
wait_for 120 grep -q "scenario done" "$demo/logs/copier-master.out"
converged=0
"${accounts[@]}" compare "$demo/logs/master.journal" --wait 30 "${specs[@]}" >"$demo/logs/copier.txt" ||
  converged=$?
sleep 0.5  # the last trades printed before the tables
kill "${copiers[@]}" "$follower" 2>/dev/null || true
cat "$demo/logs/copier.txt"

# MT5 as master: its positions and pending orders reach an MT4 slave and an MT5 slave.
echo "== MT5 as master: master 4712 trades on an MT5 hedging account (scripts/demo-mt5-scenario.txt);"
echo "   slave D (MT4) and slave E (MT5) copy it"
copiers=() specs=()
journals=("[master 5]=$demo/logs/master5.state")
start_copier d 4 'C:\qelv-demo\Slave2\MQL4\Libraries\qelv_r30uv.dll'
start_copier e 5 "$(mt5_library Slave5 qelv_r30uv.dll)" "--mt5 hedging"
pids+=("${copiers[@]}")
"${accounts[@]}" follow "${journals[@]}" & pids+=($!)
for s in d e; do wait_for 60 grep -q "^setting master_time_offset" "$demo/logs/slave-$s.out"; done
sleep 1
"$run" "$sim" master --channel "$channel" --trade --mt5 hedging --window 5 --instance 1 --duration 100000 \
  --scenario "Z:$top/scripts/demo-mt5-scenario.txt" --journal "Z:$demo/logs/master5.state" \
  --dll "$(mt5_library Master5 qelv_d30or.dll)" >"$demo/logs/mt5-master.out" 2>&1 & pids+=($!)
wait_for 120 grep -q "scenario done" "$demo/logs/mt5-master.out"
"${accounts[@]}" compare "$demo/logs/master5.state" --wait 30 "${specs[@]}" >"$demo/logs/mt5-copier.txt" ||
  converged=$?
sleep 0.5
cleanup
cat "$demo/logs/mt5-copier.txt"
for s in a b c d e; do
  echo "== what slave ${s^^}'s planner said (all of it in build/demo/logs/slave-$s.out):"
  grep -v '^setting ' "$demo/logs/slave-$s.out" | sed 's/^/   /'
done
echo "== done"
exit $converged
