#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a command on its own virtual display with a window manager, the way a
# desktop runs the client. The exit status is the command's.
here=$(dirname "$0")
export NO_AT_BRIDGE=1
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$here/desktop-session.sh" "$@"
