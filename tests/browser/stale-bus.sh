#!/bin/sh
# SPDX-License-Identifier: MIT
# A session whose bus is gone (its socket removed), the accessibility bus or
# the session bus, costs at most what that bus gives: the client comes up, and
# its page process runs in the engine's sandbox all the same (the engine would
# abort binding the gone socket into it, were it handed over).
#   usage: stale-bus.sh CLIENT VARIABLE  (on a display; VARIABLE names the bus:
#          AT_SPI_BUS_ADDRESS or DBUS_SESSION_BUS_ADDRESS)
set -u
client=$1
variable=$2
output=$(mktemp)
home=$(mktemp -d)
env HOME="$home" "$variable=unix:path=/nonexistent/kwirl-test/bus" "$client" >"$output" 2>&1 &
pid=$!
status=0
if ! timeout 30 xdotool search --sync --onlyvisible --name "Kwirl Mozalo Laboratory" >/dev/null || ! kill -0 "$pid" 2>/dev/null; then
  echo "the client did not come up:"; cat "$output"; status=1
fi
# The page process of this client, and what runs it: the sandbox's bubblewrap.
sandboxed=no
tries=0
while [ $status = 0 ] && [ $sandboxed = no ] && [ $tries -lt 100 ]; do
  for web in $(pgrep -f WebKitWebProcess); do
    parent=$(ps -o ppid= -p "$web" | tr -d ' ')
    ancestor=$parent
    while [ -n "$ancestor" ] && [ "$ancestor" -gt 1 ] && [ "$ancestor" != "$pid" ]; do
      ancestor=$(ps -o ppid= -p "$ancestor" | tr -d ' ')
    done
    [ "$ancestor" = "$pid" ] && [ "$(ps -o comm= -p "$parent")" = bwrap ] && sandboxed=yes
  done
  tries=$((tries + 1))
  [ $sandboxed = no ] && sleep 0.1  # the page process starts beside the window: look again shortly
done
if [ $status = 0 ] && [ $sandboxed = no ]; then
  echo "no page process of the client in the engine's sandbox:"; ps -eo pid,ppid,args | grep -E "bwrap|WebKit"; status=1
fi
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
if grep -q "without the engine's sandbox" "$output"; then
  echo "the sandbox was given up:"; cat "$output"; status=1
fi
rm -rf "$output" "$home"
exit $status
