#!/bin/sh
# Inside the virtual display: a window manager, then the command.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
"$@"
status=$?
kill "$wm" 2>/dev/null
exit "$status"
