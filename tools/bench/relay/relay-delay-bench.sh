#!/usr/bin/env bash
# Runs relay_delay_bench under Wine against a broker of its own (tests/relay/test-broker.sh:
# plain TCP and WebSocket over TLS on free loopback ports), with the machine's load before and
# after, and stops the broker and Wine at the end.
#   tools/bench/relay/relay-delay-bench.sh BUILD [changes] [--trace]   (BUILD: a Windows build tree)
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 BUILD [changes] [--trace]" >&2; exit 2; }
top=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "$1" && pwd)
shift
broker=$build/tools/bench/relay/broker
"$top/tests/relay/test-broker.sh" start "$broker"
trap '"$top/tests/relay/test-broker.sh" stop "$broker"' EXIT
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
(cd "$build/bin" && "$top/scripts/with-display.sh" "$build/wine-run" ./relay_delay_bench.exe "Z:$broker" "$@")
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
