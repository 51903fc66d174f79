"""Walks the window's accessible tree over AT-SPI and names every focusable control that has no
name. Run by walk-accessible-tree.sh inside a private session bus and an X server."""

import os
import signal
import subprocess
import sys
import time

import pyatspi


def start_bus():
    # The accessibility bus, as a desktop session starts it; the registry comes on it when first
    # asked for. In a group of its own, so the bus it starts goes with it.
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                stdout=subprocess.DEVNULL, start_new_session=True)
    # The program must find this bus, not have the session bus start another one.
    for _ in range(100):
        owned = subprocess.run(
            ["dbus-send", "--session", "--print-reply=literal", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
             "string:org.a11y.Bus"], capture_output=True, text=True).stdout
        if "true" in owned:
            break
        time.sleep(0.1)
    return launcher


def find_window(program):
    # Waits for the program to show its main window on the bus (the splash comes first).
    for _ in range(600):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None or program.poll() is not None:
                continue
            for window in app:
                if window is not None and window.getRole() == pyatspi.ROLE_FRAME and \
                        "Glyphwerk" in (window.name or ""):
                    return window
        if program.poll() is not None:
            return None
        time.sleep(0.1)
    return None


def label(node):
    return "%s »%s«" % (node.getRoleName(), node.name or "")


def press(node, name):
    # The first button of that name, pressed through its action as a screen reader does.
    if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == name:
        action = node.queryAction()
        for i in range(action.nActions):
            if action.getName(i).lower() == "press":
                return action.doAction(i)
    return any(press(child, name) for child in node if child is not None)


def walk(node, path, unnamed, items):
    try:
        states = node.getState()
        role = node.getRole()
        name = (node.name or "").strip()
    except Exception:  # a node gone while walking
        return
    here = path + [label(node)]
    if states.contains(pyatspi.STATE_FOCUSABLE) and not name:
        described = (node.description or "").strip()
        unnamed.append(" > ".join(here) + (" (Beschreibung: %s)" % described if described else ""))
    if role == pyatspi.ROLE_LIST_ITEM and name and states.contains(pyatspi.STATE_SELECTED):
        items.append(name)
    for child in node:
        if child is not None:
            walk(child, here, unnamed, items)


def main():
    launcher = start_bus()
    program = subprocess.Popen([sys.argv[1]], stdout=subprocess.DEVNULL)
    try:
        window = find_window(program)
        if window is None:
            print("Fehler: das Fenster erscheint nicht im Baum der Barrierefreiheit.")
            return 1
        unnamed, chosen = [], []
        walk(window, [], unnamed, chosen)
        for line in unnamed:
            print("Ohne Namen: " + line)
        # The galleries are lists of named presets, the chosen one selected.
        if not chosen:
            print("Fehler: keine Galerie zeigt eine gewählte Vorlage mit Namen.")
            return 1
        if unnamed:
            return 1
        # The picture button "Ende" is a button a screen reader can press: the program ends.
        if not press(window, "Ende"):
            print("Fehler: der Bildknopf »Ende« lässt sich nicht drücken.")
            return 1
        try:
            code = program.wait(60)
        except subprocess.TimeoutExpired:
            print("Fehler: das Programm endet nicht nach »Ende«.")
            return 1
        if code != 0:
            print("Fehler: das Programm endet nach »Ende« mit %d." % code)
            return 1
        return 0
    finally:
        program.kill()
        program.wait()
        os.killpg(launcher.pid, signal.SIGTERM)
        launcher.wait()


if __name__ == "__main__":
    sys.exit(main())
