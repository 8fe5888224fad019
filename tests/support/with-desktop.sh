#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a command on its own virtual desktop, as a person's session has it: a
# display, a window manager, a session bus and the accessibility bus through
# which a test reads the window's controls. The exit status is the command's.
here=$(dirname "$0")
export KWIRL_ACCESSIBILITY=1
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" dbus-run-session -- "$here/desktop-session.sh" "$@"
