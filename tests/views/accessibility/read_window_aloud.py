#!/usr/bin/python3
"""Corvalint's window as a screen reader reads it over AT-SPI.

Starts Corvalint on the test desktop (a simulated desktop behind it, a store in
a temporary folder) with the accessibility bus of a private D-Bus session, reads
the tree with pyatspi and checks that the dashboard, a detail view, the
settings page and the creation sheet expose their texts and named controls;
then finds a workspace and launches it, opens it, creates one and deletes and
restores one, through accessible actions alone: no pointer, no key.

  read_window_aloud.py --program PATH/corvalint --scenario SCENARIO.json

Run it with the Debian python3 (/usr/bin/python3): pyatspi comes from
python3-pyatspi. DISPLAY must name a running X server with a window manager.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

INNER = "--inside-private-session"


def parse_arguments():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--scenario", required=True)
    parser.add_argument(INNER, action="store_true", dest="inner")
    return parser.parse_args()


def run_in_private_session(arguments):
    """Runs this script again inside its own D-Bus session bus, so that the
    accessibility bus it starts is this test's alone and ends with it."""
    command = ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__),
               "--program", arguments.program, "--scenario", arguments.scenario, INNER]
    return subprocess.call(command)


def accessibility_bus_address():
    """Asks the session's org.a11y.Bus (started on demand) for the accessibility bus."""
    deadline = time.monotonic() + 20
    while True:
        result = subprocess.run(
            ["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply=literal",
             "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
            capture_output=True, text=True)
        address = result.stdout.strip()
        if result.returncode == 0 and address:
            return address
        if time.monotonic() > deadline:
            raise RuntimeError("no accessibility bus: " + result.stderr.strip())
        time.sleep(0.2)


class Failure(Exception):
    pass


class Reader:
    """The tree of one application on the accessibility bus, read as Orca would."""

    def __init__(self, pyatspi, glib, application_name):
        self.pyatspi = pyatspi
        self.glib = glib
        self.application_name = application_name
        self.name_changes = []
        self.pyatspi.Registry.registerEventListener(self._on_name_change,
                                                    "object:property-change:accessible-name")

    def _on_name_change(self, event):
        try:
            self.name_changes.append((event.source.getRoleName(), event.source.name))
        except Exception:  # the source may be gone already
            pass

    def pump(self, seconds=0.0):
        """Lets the events of the bus arrive for `seconds`."""
        context = self.glib.MainContext.default()
        end = time.monotonic() + seconds
        while True:
            while context.pending():
                context.iteration(False)
            if time.monotonic() >= end:
                return
            time.sleep(0.02)

    def application(self):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.name.lower() == self.application_name.lower():
                return app
        return None

    def window(self):
        app = self.application()
        if app is None:
            return None
        for index in range(app.childCount):
            child = app.getChildAtIndex(index)
            if child is not None and child.name == "Corvalint":
                return child
        return None

    def nodes(self, root=None):
        """Every showing node under `root` (the window), depth first."""
        root = root or self.window()
        if root is None:
            return []
        found = []

        def walk(node, depth):
            if node is None or depth > 60:
                return
            found.append(node)
            try:
                count = node.childCount
            except Exception:
                return
            for index in range(count):
                try:
                    child = node.getChildAtIndex(index)
                except Exception:
                    continue
                if child is not None and self.showing(child):
                    walk(child, depth + 1)

        walk(root, 0)
        return found

    def showing(self, node):
        try:
            # Qt 6.4 marks what is scrolled out of view as hidden too: only what the
            # window shows is checked.
            return node.getState().contains(self.pyatspi.STATE_VISIBLE)
        except Exception:
            return False

    @staticmethod
    def describe(node):
        try:
            return "%s %r" % (node.getRoleName(), node.name)
        except Exception:
            return "<gone>"

    def find(self, role, name=None, root=None, starts=None):
        for node in self.nodes(root):
            try:
                if node.getRoleName() != role:
                    continue
                if name is not None and node.name != name:
                    continue
                if starts is not None and not node.name.startswith(starts):
                    continue
                return node
            except Exception:
                continue
        return None

    def wait_for(self, role, name=None, root=None, starts=None, timeout=20):
        deadline = time.monotonic() + timeout
        while True:
            node = self.find(role, name, root, starts)
            if node is not None:
                return node
            if time.monotonic() > deadline:
                raise Failure("no %s named %r%s; the window shows:\n%s" % (
                    role, name if name is not None else starts,
                    "" if root is None else " inside " + self.describe(root), self.dump(root)))
            self.pump(0.2)

    def wait_until(self, what, condition, timeout=20):
        deadline = time.monotonic() + timeout
        while True:
            if condition():
                return
            if time.monotonic() > deadline:
                raise Failure("timed out waiting for " + what + "; the window shows:\n" + self.dump())
            self.pump(0.2)

    def dump(self, root=None):
        lines = []
        root = root or self.window()
        if root is None:
            return "(no window)"

        def walk(node, depth):
            if node is None or depth > 60:
                return
            lines.append("  " * depth + self.describe(node))
            for index in range(node.childCount):
                child = node.getChildAtIndex(index)
                if child is not None and self.showing(child):
                    walk(child, depth + 1)

        try:
            walk(root, 0)
        except Exception as error:  # the tree changes under the reader
            lines.append("(tree changed while reading: %s)" % error)
        return "\n".join(lines)

    def act(self, node, preferred=("Press", "press", "Toggle", "toggle", "SetFocus", "setFocus")):
        """Runs the node's press (or toggle) action, as a screen reader's activate does."""
        action = node.queryAction()
        names = [action.getName(index) for index in range(action.nActions)]
        for wanted in preferred:
            if wanted in names:
                action.doAction(names.index(wanted))
                self.pump(0.3)
                return
        raise Failure("%s offers no press action, only %s" % (self.describe(node), names))

    def texts(self, root=None):
        """What a reader hears: the names of texts, headings, labels and alerts."""
        spoken = set()
        for node in self.nodes(root):
            try:
                if node.name:
                    spoken.add(node.name)
                if node.description:
                    spoken.add(node.description)
            except Exception:
                continue
        return spoken


def check(condition, message):
    if not condition:
        raise Failure(message)


def expect_texts(reader, wanted, where):
    spoken = reader.texts()
    missing = [text for text in wanted if text not in spoken]
    check(not missing, "%s: not exposed: %s\nthe window shows:\n%s" % (where, missing, reader.dump()))


def expect_every_control_named(reader, where):
    """No button, check box, radio button, text field or list item without a name."""
    unnamed = []
    for node in reader.nodes():
        try:
            role = node.getRoleName()
            if role in ("push button", "check box", "radio button", "toggle button", "list item",
                        "text", "spin button", "menu item", "entry") and not node.name.strip():
                unnamed.append(reader.describe(node) + " in " + reader.describe(node.parent))
        except Exception:
            continue
    check(not unnamed, "%s: controls without a name:\n  %s" % (where, "\n  ".join(unnamed)))


def statistic(reader, title):
    node = reader.find("label", starts=title + ": ")
    return node.name[len(title) + 2:] if node is not None else None


def run_checks(reader, store_count):
    window = reader.wait_for("frame", "Corvalint", timeout=60) if reader.window() is None else reader.window()
    check(window is not None, "no window named Corvalint")

    # --- The dashboard ------------------------------------------------------------------------
    reader.wait_for("heading", "Willkommen bei Corvalint")
    expect_texts(reader, [
        "Bereite deinen Arbeitsplatz mit einem Klick vor.",
        "Workspaces: %d" % store_count,
        "Starts: 0",
        "Neuen Workspace erstellen",
        "Corvalint analysiert alle derzeit geöffneten Apps, Dokumente und Fensterpositionen auf allen "
        "Monitoren und speichert sie als Workspace ab.",
        "Workspace aus aktuellen Apps erzeugen",
        "Alle Workspaces",
    ], "dashboard")
    check(statistic(reader, "Zeit gespart") is not None, "dashboard: no \"Zeit gespart\" statistic")
    sidebar = reader.wait_for("list", "Navigation")
    for row in ("Dashboard", "Einstellungen"):
        reader.wait_for("list item", row, root=sidebar)
    reader.wait_for("list item", "Deep Work, 4 Apps & Elemente", root=sidebar)
    expect_every_control_named(reader, "dashboard")

    # Found among the cards by its name, and started by the card's own button.
    cards = reader.wait_for("list", "Alle Workspaces")
    card = reader.wait_for("list item", "Deep Work, 4 Apps & Elemente", root=cards)
    check(reader.find("check box", "Favorit", root=card) is not None, "card: no \"Favorit\" check box")
    reader.name_changes.clear()
    reader.act(reader.wait_for("push button", "Starten", root=card))
    reader.wait_until("the start to be counted", lambda: statistic(reader, "Starts") == "1")
    reader.wait_until("the launch to be announced",
                      lambda: ("alert", "Workspace gestartet") in reader.name_changes
                      or ("alert", "Workspace wird gestartet …") in reader.name_changes)

    # The favourite star of a card toggles through its action.
    favourite = reader.find("check box", "Favorit", root=card)
    was_checked = favourite.getState().contains(reader.pyatspi.STATE_CHECKED)
    reader.act(favourite)
    reader.wait_until("the favourite star to toggle", lambda: (
        reader.find("check box", "Favorit", root=reader.find(
            "list item", "Deep Work, 4 Apps & Elemente", root=reader.find("list", "Alle Workspaces")))
        .getState().contains(reader.pyatspi.STATE_CHECKED)) != was_checked)
    reader.wait_for("list", "Favoriten")

    # --- A detail view, opened from the sidebar -----------------------------------------------
    reader.act(reader.wait_for("list item", "Deep Work, 4 Apps & Elemente", root=reader.find("list", "Navigation")))
    reader.wait_for("heading", "Deep Work")
    # The simulated desktop has the monitors the workspace was captured on.
    reader.wait_for("alert", "Konfiguration optimal")
    expect_texts(reader, ["Office • 4 Elemente", "Einstellungen", "Workspace-Elemente",
                          "Schließt beim Start dieses Workspaces automatisch alle anderen geöffneten Anwendungen."],
                 "detail view")
    for button in ("Workspace starten", "HUD-Vorschau", "Workspace bearbeiten", "Workspace aktualisieren"):
        reader.wait_for("push button", button)
    reader.wait_for("check box", "Fokus-Modus aktivieren")
    reader.wait_for("check box", "Dokumente & Dateien wiederherstellen")
    entries = reader.wait_for("list", "Workspace-Elemente")
    items = [node for node in reader.nodes(entries) if node.getRoleName() == "list item"]
    check(len(items) == 4, "detail: %d entry rows instead of 4:\n%s" % (len(items), reader.dump(entries)))
    for item in items:
        check(reader.find("push button", "Element löschen", root=item) is not None,
              "detail: no \"Element löschen\" in " + reader.describe(item))
    expect_every_control_named(reader, "detail view")

    # An entry deleted through its trash button comes back through "Rückgängig".
    trash = reader.find("push button", "Element löschen", root=items[0])
    if os.environ.get("READ_WINDOW_DUMP"):
        action = trash.queryAction()
        print("trash actions", [action.getName(i) for i in range(action.nActions)])
    reader.act(trash)
    reader.wait_for("alert", "Element gelöscht")
    reader.wait_until("three entry rows", lambda: len(
        [n for n in reader.nodes(reader.find("list", "Workspace-Elemente")) if n.getRoleName() == "list item"]) == 3)
    reader.act(reader.wait_for("push button", "Rückgängig"))
    reader.wait_until("four entry rows again", lambda: len(
        [n for n in reader.nodes(reader.find("list", "Workspace-Elemente")) if n.getRoleName() == "list item"]) == 4)

    # Started from the detail view, counted like every start.
    reader.act(reader.wait_for("push button", "Workspace starten"))

    # The edit sheet: a dialog with its field, choices and buttons; "Löschen" deletes at
    # once, and "Rückgängig" brings the workspace back into the detail view.
    reader.act(reader.wait_for("push button", "Workspace bearbeiten"))
    editor = reader.wait_for("dialog", "Workspace bearbeiten")
    reader.wait_for("text", "Name des Workspaces", root=editor)
    reader.wait_for("radio button", "Office", root=editor)
    reader.wait_for("push button", "Speichern", root=editor)
    expect_every_control_named(reader, "edit sheet")
    reader.act(reader.wait_for("push button", "Löschen", root=editor))
    reader.wait_for("alert", "Workspace „Deep Work“ gelöscht")
    reader.wait_until("the sidebar to lose the workspace", lambda: reader.find(
        "list item", starts="Deep Work, ", root=reader.find("list", "Navigation")) is None)
    reader.act(reader.wait_for("push button", "Rückgängig"))
    reader.wait_for("heading", "Deep Work")
    reader.wait_for("list item", starts="Deep Work, ", root=reader.find("list", "Navigation"))

    # --- The settings page ----------------------------------------------------------------------
    reader.act(reader.wait_for("list item", "Einstellungen", root=reader.find("list", "Navigation")))
    reader.wait_for("heading", "Einstellungen")
    expect_texts(reader, [
        "Konfiguriere Berechtigungen, Hotkeys und Backups.",
        "Globaler Schnellstart Launcher",
        "Cloud Sync & Backups",
        "App-Verhalten",
    ], "settings page")
    reader.wait_for("push button", "Workspaces exportieren (.workspace)")
    expect_every_control_named(reader, "settings page")

    # --- The creation sheet, from the dashboard -------------------------------------------------
    reader.act(reader.wait_for("list item", "Dashboard", root=reader.find("list", "Navigation")))
    reader.act(reader.wait_for("push button", "Workspace aus aktuellen Apps erzeugen"))
    sheet = reader.wait_for("dialog", "Workspace erstellen")
    field = reader.wait_for("text", "Name des Workspaces", root=sheet)
    for name in ("Development", "Design", "Office"):
        reader.wait_for("radio button", name, root=sheet)
    for name in ("Aktenkoffer", "Buch", "Terminal"):
        reader.wait_for("radio button", name, root=sheet)
    reader.wait_for("push button", "Abbrechen", root=sheet)
    create = reader.wait_for("push button", "Erzeugen & Speichern", root=sheet)
    expect_every_control_named(reader, "creation sheet")
    # Qt 6.4 offers no editable-text interface: the name is typed, as its user would, into the
    # field that has the focus when the sheet opens; the keys go through AT-SPI's own synthesis.
    reader.wait_until("the name field to have the focus",
                      lambda: field.getState().contains(reader.pyatspi.STATE_FOCUSED))
    reader.pyatspi.Registry.generateKeyboardEvent(0, "Vorgelesen", reader.pyatspi.KEY_STRING)
    reader.pump(0.5)
    reader.act(reader.wait_for("radio button", "Buch", root=sheet))
    reader.wait_until("the name to reach the sheet",
                      lambda: create.getState().contains(reader.pyatspi.STATE_ENABLED))
    reader.act(create)
    reader.wait_until("the sheet to close", lambda: reader.find("dialog", "Workspace erstellen") is None)
    reader.wait_for("list item", starts="Vorgelesen, ", root=reader.wait_for("list", "Alle Workspaces"))
    reader.wait_for("label", "Workspaces: %d" % (store_count + 1))


def inner(arguments):
    os.environ["AT_SPI_BUS_ADDRESS"] = accessibility_bus_address()
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import GLib
    import pyatspi

    work = tempfile.mkdtemp(prefix="corvalint-a11y-")
    runtime = os.path.join(work, "runtime")
    os.makedirs(runtime, mode=0o700)
    environment = dict(os.environ,
                       CORVALINT_DATA_DIR=os.path.join(work, "data"),
                       XDG_CONFIG_HOME=os.path.join(work, "config"),
                       XDG_DATA_HOME=os.path.join(work, "share"),
                       XDG_RUNTIME_DIR=runtime,
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                       QT_ACCESSIBILITY="1",
                       QT_QPA_PLATFORM="xcb")
    environment.pop("QT_QPA_PLATFORMTHEME", None)
    # Qt finds the bus through the session's org.a11y.Bus; given the address directly,
    # Qt 6.4 never registers with the registry.
    environment.pop("AT_SPI_BUS_ADDRESS", None)
    desktop = "sim:" + arguments.scenario
    seeds = [["capture", "Deep Work", "--category", "Office", "--icon", "book.fill"],
             ["capture", "Musik", "--category", "Personal", "--icon", "music.note"]]
    for seed in seeds:
        subprocess.run([arguments.program, "--desktop", desktop] + seed, env=environment, check=True,
                       stdout=subprocess.DEVNULL, timeout=60)

    log = open(os.path.join(work, "corvalint.log"), "w")
    app = subprocess.Popen([arguments.program, "--desktop", desktop], env=environment,
                           stdout=log, stderr=subprocess.STDOUT)
    reader = Reader(pyatspi, GLib, "Corvalint")
    try:
        reader.wait_until("Corvalint on the accessibility bus", lambda: reader.window() is not None, timeout=60)
        if os.environ.get("READ_WINDOW_DUMP"):
            reader.wait_for("list", "Navigation")
            print(reader.dump())
        run_checks(reader, len(seeds))
        print("read_window_aloud: every check passed")
        return 0
    except Failure as failure:
        print("FAIL: %s" % failure, file=sys.stderr)
        return 1
    except Exception:
        traceback.print_exc()
        return 1
    finally:
        app.terminate()
        try:
            app.wait(15)
        except subprocess.TimeoutExpired:
            app.kill()
            app.wait()
        log.close()
        with open(os.path.join(work, "corvalint.log")) as output:
            text = output.read()
        if text.strip():
            print("--- corvalint's output ---\n" + text, file=sys.stderr)
        shutil.rmtree(work, ignore_errors=True)


def main():
    arguments = parse_arguments()
    if not arguments.inner:
        return run_in_private_session(arguments)
    return inner(arguments)


if __name__ == "__main__":
    sys.exit(main())
