#!/usr/bin/env python3
"""Walks rm427's windows through the AT-SPI bus the way a screen reader does
and lists every control it could focus or press that has no name.

Run by tools/atspi-walk.sh (which starts the display, the bus and the
program); exit status 1 when an unnamed control is found."""
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


def main():
    app = find_app(sys.argv[1] if len(sys.argv) > 1 else "rm427")
    if app is None:
        print("rm427 is not on the accessibility bus")
        return 2
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
