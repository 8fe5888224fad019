#!/bin/sh
# SPDX-License-Identifier: MIT
# Inside the virtual display: a window manager (and, when asked for, the
# accessibility bus), then the command.
openbox --sm-disable >/dev/null 2>&1 &
helpers=$!
if [ -n "${KWIRL_ACCESSIBILITY:-}" ]; then
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  helpers="$helpers $!"
fi
"$@"
status=$?
kill $helpers 2>/dev/null
exit "$status"
