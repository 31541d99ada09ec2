#!/usr/bin/python3
"""Reads the running program as a screen reader does, through AT-SPI.

Finds the application named by the first argument on the accessibility bus,
then each side-bar button by its name (a page tab), presses it through its
action and waits until the content panel of the same name shows. Prints one
line per button and a count at the end; exits 0 when every button worked.
"""
import sys
import time

import pyatspi
from gi.repository import GLib

BUTTONS = ["Velmora", "免费加入", "诚招代理", "广告征订", "商务助手", "手机查询", "地区查询"]
# The panel each button shows, by the name a screen reader hears.
PANELS = {"Velmora": "企业目录"}
# Waiting for the program's answer over the bus, bounded.
DEADLINE = 20.0
STEP = 0.05


# What the program announced: (event type, name of its source).
HEARD = []


def on_event(event):
    try:
        HEARD.append((event.type, event.source.name if event.source else ""))
    except Exception:  # a source that went away
        pass


def pump(seconds):
    """Lets the bus deliver the program's announcements for a moment."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not context.iteration(False):
            time.sleep(0.005)


def wait_for(what, find):
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        try:
            found = find()
        except Exception:  # an object that went away while it was read
            found = None
        if found:
            return found
        pump(STEP)
    raise TimeoutError(what)


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name:
            return app
    return None


def descendant(root, role, name):
    return pyatspi.findDescendant(root, lambda o: o.getRole() == role and o.name == name, breadth_first=True)


def showing(obj):
    states = obj.getState()
    return states.contains(pyatspi.STATE_SHOWING)


def main():
    pyatspi.Registry.registerEventListener(on_event, "object:state-changed:selected")
    app = wait_for("the application on the bus", lambda: application(sys.argv[1]))
    passed = failed = 0
    for name in BUTTONS:
        try:
            tab = wait_for("the page tab " + name, lambda: descendant(app, pyatspi.ROLE_PAGE_TAB, name))
            action = tab.queryAction()
            names = [action.getName(i) for i in range(action.nActions)]
            action.doAction(names.index("press") if "press" in names else 0)
            panel_name = PANELS.get(name, name)
            wait_for("the panel " + panel_name,
                     lambda: [p for p in pyatspi.findAllDescendants(
                         app, lambda o: o.name == panel_name and o.getRole() == pyatspi.ROLE_FILLER)
                         if showing(p)])
            wait_for("the tab selected", lambda: tab.getState().contains(pyatspi.STATE_SELECTED))
            wait_for("the selection announced",
                     lambda: ("object:state-changed:selected", name) in HEARD)
            print("ok", name, flush=True)
            passed += 1
        except Exception as error:  # report and go on with the next button
            print("FAILED", name, repr(error), flush=True)
            failed += 1
    print("side-bar buttons pressed through AT-SPI: %d of %d" % (passed, passed + failed), flush=True)
    return 0 if failed == 0 and passed == len(BUTTONS) else 1


if __name__ == "__main__":
    sys.exit(main())
