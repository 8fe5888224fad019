#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The browser engine the client embeds, alone: one maximised GTK window that
holds nothing but the engine's web view, drawing the way the client has it
draw (on the CPU where there is no GPU render node) and with web content in
the engine's sandbox. The game-play benchmark runs it beside the client to
tell the engine's own cost from the client's.

  bare_engine.py ADDRESS
"""

import glob
import os
import sys

if not glob.glob("/dev/dri/renderD*"):
    os.environ.setdefault("WEBKIT_DISABLE_COMPOSITING_MODE", "1")
    os.environ.setdefault("WEBKIT_DISABLE_DMABUF_RENDERER", "1")

import gi  # noqa: E402

gi.require_version("Gtk", "3.0")
gi.require_version("WebKit2", "4.0")
from gi.repository import Gtk, WebKit2  # noqa: E402


def main():
    WebKit2.WebContext.get_default().set_sandbox_enabled(True)
    window = Gtk.Window(title="engine")
    window.connect("destroy", Gtk.main_quit)
    view = WebKit2.WebView()
    window.add(view)
    window.maximize()
    window.show_all()
    view.load_uri(sys.argv[1])
    Gtk.main()


if __name__ == "__main__":
    main()
