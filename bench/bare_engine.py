#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The browser engine alone: one maximised window that holds nothing but the
engine's web view, with web content in the engine's sandbox. The game-play
benchmark runs it beside the client, to tell the engine's own cost from the
client's, and to compare the engine's builds that Debian ships:

  4.0   GTK 3 with libsoup 2 (Debian 12 only)
  4.1   GTK 3 with libsoup 3 (the build the client embeds)
  6.0   GTK 4 (which draws through GTK 4's renderer: GSK_RENDERER chooses it)

  bare_engine.py [--api 4.0|4.1|6.0] [--gpu-path] ADDRESS

Without --api: 4.1, the GTK 3 build the client embeds.

Where there is no GPU render node the engine draws pages on the CPU, as the
client has it draw, unless --gpu-path leaves its compositing on.
"""

import argparse
import glob
import os


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--api", choices=("4.0", "4.1", "6.0"), default="4.1")
    parser.add_argument("--gpu-path", action="store_true")
    parser.add_argument("address")
    args = parser.parse_args()
    if not glob.glob("/dev/dri/renderD*") and not args.gpu_path:
        os.environ.setdefault("WEBKIT_DISABLE_COMPOSITING_MODE", "1")
        os.environ.setdefault("WEBKIT_DISABLE_DMABUF_RENDERER", "1")

    import gi
    if args.api == "6.0":
        gi.require_version("Gtk", "4.0")
        gi.require_version("WebKit", "6.0")
        from gi.repository import GLib, Gtk, WebKit
        # This build always runs web content in its sandbox; GTK 4 has no main-loop call of its own.
        loop = GLib.MainLoop()
        window = Gtk.Window(title="engine")
        window.connect("close-request", lambda *_: loop.quit())
        view = WebKit.WebView()
        window.set_child(view)
        window.maximize()
        window.present()
        view.load_uri(args.address)
        loop.run()
        return

    gi.require_version("Gtk", "3.0")
    gi.require_version("WebKit2", args.api)
    from gi.repository import Gtk, WebKit2
    WebKit2.WebContext.get_default().set_sandbox_enabled(True)
    window = Gtk.Window(title="engine")
    window.connect("destroy", Gtk.main_quit)
    view = WebKit2.WebView()
    window.add(view)
    window.maximize()
    window.show_all()
    view.load_uri(args.address)
    Gtk.main()


if __name__ == "__main__":
    main()
