#!/usr/bin/env python3
"""Answers xdg-desktop-portal-gnome's "Remote desktop" consent dialog through the accessibility bus, as a person
would: `allow` switches "Allow remote interaction" on, selects the first monitor unless one is selected, and presses
Share; `refuse` presses Cancel.

Usage: answer-consent.py allow|refuse [TIMEOUT_SECONDS]
Runs in the desktop's session (its DBUS_SESSION_BUS_ADDRESS). Waits for the dialog; exits 0 once it has been
answered and has closed, 1 when no dialog came in time (printing what the accessibility bus showed) or it could
not be answered, 2 on bad usage.
"""
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# Debian 12's AT-SPI (2.46) has no replacement yet for the action calls PyGObject calls deprecated.
warnings.simplefilter("ignore", DeprecationWarning)

PORTAL_APPLICATION = "xdg-desktop-portal-gnome"
DIALOG_TITLE = "Remote desktop"
INTERACTION = "Allow remote interaction"


def children(node):
    return [node.get_child_at_index(i) for i in range(node.get_child_count())]


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def has_state(node, state):
    node.clear_cache()
    return node.get_state_set().contains(state)


def find(root, role, name):
    """The first node of the role whose name or the name of a label in it is `name` (GTK names a button with a
    mnemonic "_Share Share")."""
    for node in descendants(root):
        if node.get_role() != role:
            continue
        if node.get_name() == name or node.get_name().endswith(" " + name):
            return node
        if any(label.get_name() == name for label in children(node)):
            return node
    return None


def dialog():
    desktop = Atspi.get_desktop(0)
    for application in children(desktop):
        if application.get_name() != PORTAL_APPLICATION:
            continue
        for window in children(application):
            if window.get_name() == DIALOG_TITLE and has_state(window, Atspi.StateType.VISIBLE):
                return window
    return None


def wait_until(condition, failure, seconds=10):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            raise RuntimeError(failure)
        time.sleep(0.05)


def press(node, action):
    for i in range(node.get_n_actions()):
        if node.get_action_name(i) == action:
            return node.do_action(i)
    raise RuntimeError("%s %r has no action %s" % (node.get_role_name(), node.get_name(), action))


def allow(window):
    check_box = find(window, Atspi.Role.CHECK_BOX, INTERACTION)
    if check_box is None:
        raise RuntimeError("the dialog has no check box " + INTERACTION)
    if not has_state(check_box, Atspi.StateType.CHECKED):
        press(check_box, "toggle")
        # GTK switches the box a while after the action returns (measured up to half a second); Share pressed before
        # that starts the session without the pointer.
        wait_until(lambda: has_state(check_box, Atspi.StateType.CHECKED), INTERACTION + " did not switch on")
    monitors = [item for item in descendants(window)
                if item.get_role() == Atspi.Role.LIST_ITEM and item.get_name() != INTERACTION]
    if monitors and not any(has_state(item, Atspi.StateType.SELECTED) for item in monitors):
        monitors[0].get_parent().select_child(monitors[0].get_index_in_parent())
    press(find(window, Atspi.Role.PUSH_BUTTON, "Share"), "click")


def refuse(window):
    press(find(window, Atspi.Role.PUSH_BUTTON, "Cancel"), "click")


def describe():
    lines = []
    for application in children(Atspi.get_desktop(0)):
        lines.append(application.get_name())
        lines.extend("  %s %r" % (window.get_role_name(), window.get_name()) for window in children(application))
    return "\n".join(lines) or "no application"


def main():
    if len(sys.argv) not in (2, 3) or sys.argv[1] not in ("allow", "refuse"):
        print(__doc__, file=sys.stderr)
        return 2
    deadline = time.monotonic() + (float(sys.argv[2]) if len(sys.argv) == 3 else 60)
    Atspi.init()
    while time.monotonic() < deadline:
        window = dialog()
        if window is not None:
            (allow if sys.argv[1] == "allow" else refuse)(window)
            # So that the next answer does not find this dialog again.
            wait_until(lambda: dialog() is None, "the dialog stayed open")
            print("answered", sys.argv[1], flush=True)
            return 0
        time.sleep(0.1)
    print("no consent dialog; the accessibility bus shows:\n" + describe(), file=sys.stderr)
    return 1


sys.exit(main())
