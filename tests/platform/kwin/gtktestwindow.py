#!/usr/bin/python3
# A GTK 3 window on Wayland for the KWin tests: its application id, title and size from the command line, and a
# line in $CORVALINT_TEST_CLIENT_LOG when it is asked to close (delete-event), so that a polite close shows.
#
# Usage: gtktestwindow.py --app-id ID --title T [--size WxH]
#
# Run by /usr/bin/python3 (the distribution's, which has python3-gi; a python3 of pyenv's first in PATH has not).
# GTK 3 takes the xdg_toplevel app_id from the program name, so the name is set to the application id.
import json
import os
import sys

os.environ["GDK_BACKEND"] = "wayland"

import gi  # noqa: E402

gi.require_version("Gtk", "3.0")
from gi.repository import Gio, GLib, Gtk  # noqa: E402


def arguments(argv):
    values = {"--app-id": "org.example.TestG", "--title": "Test G", "--size": "400x300"}
    for i in range(1, len(argv) - 1, 2):
        if argv[i] in values:
            values[argv[i]] = argv[i + 1]
    width, _, height = values["--size"].partition("x")
    return values["--app-id"], values["--title"], int(width), int(height)


def log_close(window, _event):
    path = os.environ.get("CORVALINT_TEST_CLIENT_LOG", "")
    if path:
        with open(path, "a", encoding="utf-8") as log:
            log.write(json.dumps({"pid": os.getpid(), "event": "delete-event", "title": window.get_title()}) + "\n")
    return False  # let GTK close the window


def main():
    app_id, title, width, height = arguments(sys.argv)
    GLib.set_prgname(app_id)
    # Never unique: two test windows of one id are two processes, and no name on the bus is waited for.
    app = Gtk.Application(application_id=app_id, flags=Gio.ApplicationFlags.NON_UNIQUE)

    def activate(application):
        window = Gtk.ApplicationWindow(application=application, title=title)
        window.set_default_size(width, height)
        window.connect("delete-event", log_close)
        window.show_all()

    app.connect("activate", activate)
    return app.run([sys.argv[0]])


if __name__ == "__main__":
    sys.exit(main())
