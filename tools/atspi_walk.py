#!/usr/bin/env python3
"""Walks rm427's windows through the AT-SPI bus the way a screen reader does
and lists every control it could focus or press that has no name.

Run by tools/atspi-walk.sh (which starts the display, the bus and the
program); exit status 1 when an unnamed control is found. With --focus it
prints what is focused (a table's current cell too); with --cells N the
first N headers and cells of each table; with --listen S, every focus
event for S seconds."""
import sys
import time

import pyatspi

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_SLIDER, pyatspi.ROLE_PROGRESS_BAR, pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE,
    pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_MENU,
    pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_TOGGLE_BUTTON,
}
# The channel grid's cells are read from the grid model; they are not walked.
SKIP_BELOW = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_LIST}


def find_app(name, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.5)
    return None


def walk(node, path, out, named):
    try:
        role, name = node.getRole(), node.name
        showing = node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:  # a window closing under us
        return
    if not showing and role != pyatspi.ROLE_APPLICATION:
        return
    here = f"{path}/{node.getRoleName()}"
    if role in INTERACTIVE:
        (named if name.strip() else out).append(f"{here} {name!r}")
    if role in SKIP_BELOW:
        return
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), here, out, named)


def focused(node):
    """The object that has the keyboard focus below node, or None."""
    try:
        state = node.getState()
        if not state.contains(pyatspi.STATE_SHOWING) and node.getRole() != pyatspi.ROLE_APPLICATION:
            return None
        if node.getRole() not in SKIP_BELOW:
            for i in range(node.childCount):
                found = focused(node.getChildAtIndex(i))
                if found is not None:  # the deepest: a window holding the focus says so too
                    return found
        if state.contains(pyatspi.STATE_FOCUSED):
            return node
    except Exception:
        pass
    return None


def say_focus(app):
    """What a screen reader announces for the focused control; in a table,
    its current cell."""
    node = focused(app)
    if node is None:
        print("focus: nothing")
        return
    line = f"focus: {node.getRoleName()} {node.name!r}"
    if node.getRole() == pyatspi.ROLE_TABLE:
        for i in range(node.childCount):
            cell = node.getChildAtIndex(i)
            if cell.getState().contains(pyatspi.STATE_FOCUSED):
                line += f" / {cell.getRoleName()} {cell.name!r}"
                break
    print(line)


def listen(seconds):
    """Prints each object that takes the focus for the given time, as a
    screen reader hears of it: the floating cell editors are not children of
    the grid's table, only their focus events reach the reader."""
    from gi.repository import GLib

    def on_focus(event):
        if event.detail1 == 1 and event.host_application.name == "rm427":
            src = event.source
            print(f"focus event: {src.getRoleName()} {src.name!r}", flush=True)

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    pyatspi.Registry.start()


def say_cells(app, count):
    """The first headers and cells of every showing table, as read."""
    def tables(node):
        try:
            if not node.getState().contains(pyatspi.STATE_SHOWING) and \
                    node.getRole() != pyatspi.ROLE_APPLICATION:
                return
            if node.getRole() == pyatspi.ROLE_TABLE:
                yield node
                return
            for i in range(node.childCount):
                yield from tables(node.getChildAtIndex(i))
        except Exception:
            return
    for table in tables(app):
        print(f"table {table.name!r}: {table.childCount} children")
        for i in range(min(count, table.childCount)):
            child = table.getChildAtIndex(i)
            print(f"  {child.getRoleName()} {child.name!r}")


def main():
    app = find_app(sys.argv[1] if len(sys.argv) > 1 else "rm427")
    if app is None:
        print("rm427 is not on the accessibility bus")
        return 2
    if len(sys.argv) > 3 and sys.argv[2] == "--listen":
        listen(float(sys.argv[3]))
        return 0
    if len(sys.argv) > 2 and sys.argv[2] == "--focus":
        say_focus(app)
        return 0
    if len(sys.argv) > 3 and sys.argv[2] == "--cells":
        say_cells(app, int(sys.argv[3]))
        return 0
    unnamed, named = [], []
    walk(app, "", unnamed, named)
    for line in named:
        print("named:", line)
    for line in unnamed:
        print("UNNAMED:", line)
    print(f"{len(named)} named, {len(unnamed)} unnamed")
    return 1 if unnamed else 0


if __name__ == "__main__":
    sys.exit(main())
