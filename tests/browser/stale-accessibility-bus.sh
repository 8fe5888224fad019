#!/bin/sh
# SPDX-License-Identifier: MIT
# A session whose accessibility bus is gone (its socket removed) must not stop
# the client: the engine would abort setting up its sandbox, so the client runs
# pages without it and says so.
#   usage: stale-accessibility-bus.sh CLIENT  (on a display)
set -u
client=$1
output=$(mktemp)
AT_SPI_BUS_ADDRESS=unix:path=/nonexistent/kwirl-test/at-spi-bus "$client" >"$output" 2>&1 &
pid=$!
if timeout 30 xdotool search --sync --onlyvisible --name "Kwirl Mozalo Laboratory" >/dev/null && kill -0 "$pid" 2>/dev/null; then
  status=0
else
  echo "the client did not come up:"; cat "$output"; status=1
fi
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
if ! grep -q "without the engine's sandbox: the accessibility bus" "$output"; then
  echo "no word of the missing sandbox on standard error:"; cat "$output"; status=1
fi
rm -f "$output"
exit $status
