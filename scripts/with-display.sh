#!/usr/bin/env bash
# Runs a command with a private X server (Wine needs one for windows) and, afterwards, stops
# the Wine processes left in the prefix named by WINEPREFIX.
set -uo pipefail
: "${WINEPREFIX:?with-display.sh needs WINEPREFIX}"
xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
status=$?
for server in /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver32; do
  WINEPREFIX=$WINEPREFIX "$server" -k >/dev/null 2>&1 && break
done
rm -f "$WINEPREFIX/.qelv-session"  # the tests' Wine session, if they were interrupted
exit $status
