#!/bin/sh
# Brokers of a test's own, started from the test under Wine, which cannot wait for a Linux
# program: the test watches the port or the files instead.
#   own-broker.sh start DIR PORT   plain TCP on PORT; again with the same DIR and PORT after stop
#   own-broker.sh stop DIR
#   own-broker.sh publish DIR PORT TOPIC N   DIR/payload-N sent by mosquitto_pub, QoS 1; its exit
#                                  status then in DIR/published-N
#   own-broker.sh flood DIR PORT TOPIC N COUNT   COUNT messages "forged 1", "forged 2", ... sent by
#                                  one mosquitto_pub, QoS 1; its exit status then in DIR/published-N
#   own-broker.sh tls-start DIR    test-broker.sh's three listeners (DIR/broker.ports, broker.pin)
#   own-broker.sh tls-stop DIR
PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
dir=$2
case $1 in
  start)
    mkdir -p "$dir"
    # Every message is queued for a slow subscriber, none dropped: a flood arrives whole.
    printf 'user %s\nallow_anonymous true\nmax_queued_messages 0\nlog_dest file %s/mosquitto.log\nlistener %s 127.0.0.1\n' \
      "$(id -un)" "$dir" "$3" >"$dir/mosquitto.conf"
    setsid mosquitto -c "$dir/mosquitto.conf" </dev/null >>"$dir/mosquitto.out" 2>&1 &
    echo $! >"$dir/mosquitto.pid"
    ;;
  stop)
    [ -f "$dir/mosquitto.pid" ] && kill "$(cat "$dir/mosquitto.pid")" 2>/dev/null
    rm -f "$dir/mosquitto.pid"
    ;;
  publish)
    mosquitto_pub -h 127.0.0.1 -p "$3" -t "$4" -q 1 -i "qelv-test-client-$5" -f "$dir/payload-$5" \
      >"$dir/published-$5.out" 2>&1
    echo $? >"$dir/published-$5"
    ;;
  flood)
    seq 1 "$6" | sed 's/^/forged /' |
      mosquitto_pub -h 127.0.0.1 -p "$3" -t "$4" -q 1 -i "qelv-test-client-$5" -l >"$dir/published-$5.out" 2>&1
    echo $? >"$dir/published-$5"
    ;;
  tls-start) exec "$(dirname "$0")/test-broker.sh" start "$dir" ;;
  tls-stop) exec "$(dirname "$0")/test-broker.sh" stop "$dir" ;;
esac
