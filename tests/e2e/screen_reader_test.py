#!/usr/bin/python3
"""Dravik as a screen reader drives it: over the accessibility bus (AT-SPI), never with keys or clicks.

Finds the window, the label, the text box and the button by role and name; pastes a listing through the
box's EditableText interface, presses the button through its Action, reads the "Done!" alert and its
icon's name, answers it with its OK button, and compares the plan byte for byte. Then a line of 20,000
characters, set through EditableText, must read back whole through the Text interface (a pasted line
that long, which the box holds in pieces, is heard as several lines: the window's own test).

    screen_reader_test.py <program> <listing> <expected plan>

Run it on a display with a session bus: with_desktop.sh dbus-run-session -- screen_reader_test.py ...
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def wait_for(what, find, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    fail(f"no {what} within {seconds} s")


def descendants(node):
    try:
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # a node that went away while we looked
        return
    for child in children:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(root, roles, name=None, starts=None):
    """The first node below root in one of the roles, by role and not by its name, which AT-SPI
    changes between releases ("push button" became "button")."""
    for node in descendants(root):
        try:
            if node.getRole() not in roles:
                continue
            if name is not None and node.name != name:
                continue
            if starts is not None and not node.name.startswith(starts):
                continue
            return node
        except Exception:
            continue
    return None


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


def main():
    program, listing_path, expected_path = sys.argv[1:4]
    with open(listing_path, encoding="utf-8") as f:
        listing = f.read().rstrip("\n")
    with open(expected_path, "rb") as f:
        expected = f.read()

    work = tempfile.mkdtemp()
    app_path = os.path.join(work, "dravik")
    shutil.copy(program, app_path)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    process = subprocess.Popen([app_path], env=env, cwd="/")
    try:
        app = wait_for("application on the accessibility bus", lambda: application(process.pid))
        frame = wait_for("frame named Dravik", lambda: find(app, {pyatspi.ROLE_FRAME}, name="Dravik"))
        label = find(frame, {pyatspi.ROLE_LABEL}, starts="ID      FREQ   TRK   DIST   Coords")
        box = find(frame, {pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY}, name="Route listing")
        button = find(frame, {pyatspi.ROLE_PUSH_BUTTON}, name="Convert and Save")
        if label is None or box is None or button is None:
            fail(f"label {label}, box {box}, button {button}")
        if "ID, FREQ, TRK, DIST, Coords, Name/Remarks" not in box.description:
            fail(f"the box's description does not name the columns: {box.description!r}")

        box.queryEditableText().insertText(0, listing, len(listing))
        text = box.queryText()
        if text.getText(0, -1) != listing:
            fail("the box does not read back the listing that was pasted into it")

        press(button)
        alert = wait_for("Done! alert", lambda: find(app, {pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG}, name="Dravik"))
        if find(alert, {pyatspi.ROLE_LABEL}, name="Done!") is None:
            fail("the alert does not say Done!")
        if find(alert, {pyatspi.ROLE_LABEL, pyatspi.ROLE_ICON, pyatspi.ROLE_IMAGE}, name="Information") is None:
            fail("the alert's icon is not named Information")
        ok = find(alert, {pyatspi.ROLE_PUSH_BUTTON}, name="OK")
        if ok is None:
            fail("the alert has no OK button")
        press(ok)
        plan = os.path.join(work, "EAXA-EAXB.PLN")
        wait_for("plan file", lambda: plan if os.path.exists(plan) else None, 10)
        with open(plan, "rb") as f:
            if f.read() != expected:
                fail("the plan differs from the expected one")
        wait_for("the alert to close", lambda: None if find(app, {pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG}, name="Dravik") else True)

        line = "x" * 20000
        box.queryEditableText().setTextContents(line)
        text = box.queryText()
        if text.characterCount != 20000 or text.getText(0, -1) != line:
            fail(f"a line of 20,000 characters reads back as {text.characterCount} characters")
        if process.poll() is not None:
            fail(f"the program ended with status {process.returncode}")
    finally:
        process.terminate()
        process.wait(10)
        shutil.rmtree(work, ignore_errors=True)
    print("PASS: found by role and name, pasted, pressed, Done! read and answered, plan byte for byte")


if __name__ == "__main__":
    main()
