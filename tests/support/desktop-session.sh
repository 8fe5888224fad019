#!/bin/sh
# SPDX-License-Identifier: MIT
# Inside the virtual display: a window manager (and, when asked for, the
# accessibility bus), then the command. The command starts once the window
# manager manages windows: a window mapped before that would stay unmanaged
# (never maximised, never minimised).
ready=$(mktemp -u /tmp/kwirl-wm-ready.XXXXXX)
mkfifo "$ready"
openbox --sm-disable --startup "sh -c 'echo > $ready'" >/dev/null 2>&1 &
helpers=$!
timeout 10 sh -c "read started < '$ready'" || echo "desktop-session: the window manager did not start" >&2
rm -f "$ready"
if [ -n "${KWIRL_ACCESSIBILITY:-}" ]; then
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  helpers="$helpers $!"
fi
"$@"
status=$?
kill $helpers 2>/dev/null
exit "$status"
