#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# What a screen reader gets over AT-SPI from the real program: the toolbar's buttons and the
# settings dialog's controls by their hints and labels, and the text of the page in view.
# Run inside its own D-Bus session (dbus-run-session) under X; needs python3-pyatspi.
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib


def tree(node, depth=0):
    yield node, depth
    if depth < 40:
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                yield from tree(child, depth + 1)


def find_app(name, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def wait_for(found, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = found()
        if value:
            return value
        time.sleep(0.2)
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def labelled_by(node):
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def main():
    nuvio = sys.argv[1]  # and sys.argv[2], the source folder with the shipped pages
    failures = []
    # The registry must be up before the program starts, as a screen reader's would be.
    pyatspi.Registry.getDesktop(0)
    pyatspi.setTimeout(1000, 15000)
    with tempfile.TemporaryDirectory() as work:
        install = os.path.join(work, "install")
        shutil.copytree(os.path.join(sys.argv[2], "data"), install)
        with open(os.path.join(install, "filelist.txt"), "w") as fresh:
            fresh.write("fresh")
        hive = os.path.join(work, "hive.reg")
        with open(hive, "w") as f:
            f.write("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\r\n"
                    f"\"InstallPath\"=\"{install}\"\r\n\"AppStartSide\"=\"0\"\r\n")
        env = dict(os.environ, NUVIO_REGISTRY=hive, XDG_CACHE_HOME=os.path.join(work, "cache"),
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        program = subprocess.Popen([nuvio], env=env)
        try:
            app = find_app("nuvio", 30)
            if app is None:
                print("FAIL: the program never appeared on the accessibility bus")
                return 1

            def node(role, name, within=None):
                return next((n for n, _ in tree(within or app)
                             if n.getRoleName() == role and n.name.startswith(name)), None)

            for hint in ("Vis nyhederne", "NetRadio", "Søg på nettet"):
                if node("push button", hint) is None:
                    failures.append(f"no toolbar button named {hint!r}")
            unnamed = [n.getRoleName() for n, _ in tree(app)
                       if n.getRoleName() == "push button" and not n.name and showing(n)]
            if unnamed:
                failures.append(f"{len(unnamed)} buttons in view have no name")
            # The page's own text, not just an empty document.
            if not wait_for(lambda: node("heading", "Velkommen til nuvio"), 20):
                failures.append("the start page's heading is not exposed")

            menu = node("menu item", "Indstillinger")
            try:
                menu.queryAction().doAction(0)
            except GLib.GError:
                pass  # the dialog runs modal, so the press is not answered until it closes
            dialog = wait_for(lambda: node("dialog", "Indstillinger"), 20)
            if dialog is None:
                failures.append("the settings dialog did not open")
            else:
                for node_, _ in tree(dialog):
                    role = node_.getRoleName()
                    in_drop_down = node_.parent.getRoleName() == "combo box"
                    unnamed = not node_.name and not in_drop_down
                    if role in ("check box", "text", "list") and unnamed:
                        failures.append(f"a {role} in the settings dialog has no name")
                    if role == "combo box" and not labelled_by(node_):
                        failures.append(f"the drop-down showing {node_.name!r} has no label")
                    if role == "push button" and not node_.name:
                        failures.append("a button in the settings dialog has no name")
        finally:
            program.terminate()
            try:
                program.wait(20)
            except subprocess.TimeoutExpired:
                program.kill()
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
