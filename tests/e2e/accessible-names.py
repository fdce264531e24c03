#!/usr/bin/env python3
"""Prints the accessible name of every node of every application on the session bus's accessibility bus, one a line,
as a screen reader reads them: a label's text, a list's cells. Runs in the session of the program (its
DBUS_SESSION_BUS_ADDRESS)."""
import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def names(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield child.get_name()
            yield from names(child)


Atspi.init()
for name in names(Atspi.get_desktop(0)):
    if name:
        print(name.replace("\n", " "))
