#!/usr/bin/env bash
# A broker for the relay's tests, on free loopback ports: plain TCP, WebSocket, and WebSocket over
# TLS with a certificate for localhost made here.
#   test-broker.sh start DIR   writes DIR/broker.ports ("name port" lines) and DIR/broker.pin
#                              (the certificate's SHA-256 in hex)
#   test-broker.sh stop DIR    ends the broker started in DIR
set -euo pipefail

usage() { echo "usage: $0 start|stop DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
dir=$2

broker=$(command -v mosquitto || echo /usr/sbin/mosquitto)

# Three ports the system calls free now; a race with another program is caught by the retries.
free_ports() {
  python3 -c '
import socket
held = [socket.socket() for _ in range(3)]
for s in held: s.bind(("127.0.0.1", 0))
print(" ".join(str(s.getsockname()[1]) for s in held))'
}

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

stop() {
  local pid_file=$dir/mosquitto.pid
  [ -f "$pid_file" ] || return 0
  local pid
  pid=$(cat "$pid_file")
  rm -f "$pid_file"
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

start() {
  stop
  mkdir -p "$dir"
  rm -f "$dir/broker.ports" "$dir/broker.pin"
  openssl req -x509 -newkey rsa:2048 -nodes -days 7 -subj /CN=localhost \
    -addext subjectAltName=DNS:localhost \
    -keyout "$dir/key.pem" -out "$dir/cert.pem" >/dev/null 2>&1
  local pin
  pin=$(openssl x509 -in "$dir/cert.pem" -outform DER | sha256sum | cut -d' ' -f1)
  for _ in 1 2 3; do
    read -r tcp ws wss <<<"$(free_ports)"
    # Started by root, the broker would drop to its own user, who may not read DIR: it stays
    # the user who started it.
    cat >"$dir/mosquitto.conf" <<CONF
user $(id -un)
per_listener_settings false
allow_anonymous true
log_dest file $dir/mosquitto.log
listener $tcp 127.0.0.1
listener $ws 127.0.0.1
protocol websockets
listener $wss 127.0.0.1
protocol websockets
certfile $dir/cert.pem
keyfile $dir/key.pem
CONF
    # Detached, with no output pipes kept: ctest waits for the pipes of what a test started.
    setsid "$broker" -c "$dir/mosquitto.conf" </dev/null >>"$dir/mosquitto.out" 2>&1 &
    echo $! >"$dir/mosquitto.pid"
    for _ in $(seq 50); do
      if listening "$tcp" && listening "$ws" && listening "$wss"; then
        printf 'tcp %s\nws %s\nwss %s\n' "$tcp" "$ws" "$wss" >"$dir/broker.ports"
        echo "$pin" >"$dir/broker.pin"
        return 0
      fi
      kill -0 "$(cat "$dir/mosquitto.pid")" 2>/dev/null || break
      sleep 0.1
    done
    stop
  done
  echo "the broker did not start; see $dir/mosquitto.log and $dir/mosquitto.out" >&2
  exit 1
}

case $1 in
  start) start ;;
  stop) stop ;;
  *) usage ;;
esac
