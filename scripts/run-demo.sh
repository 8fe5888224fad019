#!/bin/sh
# SPDX-License-Identifier: MIT
# Sets up and builds what is missing, starts the demo portal on loopback,
# opens the client on it, and stops the portal when the client closes.
#   usage: run-demo.sh [CMAKE_OPTION...]   (passed to scripts/build.sh)
# For a build whose portal is reached over https the portal serves TLS with a
# certificate made for this run, and the build's test copy of the client,
# which can be told to trust it, is opened:
#   sh scripts/run-demo.sh -DKWIRL_PORTAL_SCHEME=https
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
sh scripts/build.sh build "$@"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open the window on. Run it on a virtual display instead:" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' sh scripts/run-demo.sh" >&2
  exit 1
fi

host=$(sed -n 's/^KWIRL_PORTAL_HOST:STRING=//p' build/CMakeCache.txt)
scheme=$(sed -n 's/^KWIRL_PORTAL_SCHEME:STRING=//p' build/CMakeCache.txt)
if [ "$scheme" = https ]; then
  folder=$(mktemp -d)
  # The portal returns once it is listening, and leaves its process id behind.
  portal=$(python3 demo-portal/server.py --listen "$host" --tls --certificate "$folder/portal.pem" --background)
  trap 'kill "$portal" 2>/dev/null; rm -rf "$folder"' EXIT INT TERM
  KWIRL_TEST_CA_FILE="$folder/portal.pem" build/app/kwirl-test-client
else
  portal=$(python3 demo-portal/server.py --listen "$host" --background)
  trap 'kill "$portal" 2>/dev/null' EXIT INT TERM
  build/app/kwirl
fi
