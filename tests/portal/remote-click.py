#!/usr/bin/env python3
"""Clicks through the desktop portal as a remote-desktop program does: one session with a pointer and a screen-cast
stream of a monitor, then a motion to a pixel of that stream and a press and release of a button there.

Usage: remote-click.py X Y [BUTTON]     (BUTTON: a Linux input code, 272 = left)
Prints "started NODE X Y WIDTH HEIGHT" (the stream) once the session is started, "clicked" when done; exits 1 when
the portal refuses (e.g. the consent dialog was cancelled) or a call fails, with the reason on the standard error.
"""
import sys
import time

from gi.repository import Gio, GLib

PORTAL = "org.freedesktop.portal.Desktop"
PORTAL_PATH = "/org/freedesktop/portal/desktop"
POINTER = 2
MONITOR = 1

bus = Gio.bus_get_sync(Gio.BusType.SESSION)
sender = bus.get_unique_name()[1:].replace(".", "_")
tokens = iter(range(1, 100))


def call(interface, method, parameters):
    return bus.call_sync(PORTAL, PORTAL_PATH, "org.freedesktop.portal." + interface, method, parameters, None,
                         Gio.DBusCallFlags.NONE, 120000, None)


def request(interface, method, signature, arguments, options):
    """Calls a method that answers through a Request object's Response signal; returns its results."""
    token = "tappora%d" % next(tokens)
    path = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender, token)
    loop = GLib.MainLoop()
    answer = {}

    def on_response(_connection, _sender, _path, _interface, _signal, parameters):
        answer["code"], answer["results"] = parameters.unpack()
        loop.quit()

    subscription = bus.signal_subscribe(PORTAL, "org.freedesktop.portal.Request", "Response", path, None,
                                        Gio.DBusSignalFlags.NO_MATCH_RULE, on_response)
    options = dict(options, handle_token=GLib.Variant("s", token))
    call(interface, method, GLib.Variant("(%sa{sv})" % signature, tuple(arguments) + (options,)))
    loop.run()
    bus.signal_unsubscribe(subscription)
    if answer["code"] != 0:
        sys.exit("%s.%s answered %d" % (interface, method, answer["code"]))
    return answer["results"]


def start_session():
    """Starts a session with a pointer and a monitor's stream; prints and returns the session and the stream's node."""
    session = request("RemoteDesktop", "CreateSession", "", [],
                      {"session_handle_token": GLib.Variant("s", "tappora")})["session_handle"]
    request("RemoteDesktop", "SelectDevices", "o", [session], {"types": GLib.Variant("u", POINTER)})
    request("ScreenCast", "SelectSources", "o", [session], {"types": GLib.Variant("u", MONITOR)})
    started = request("RemoteDesktop", "Start", "os", [session, ""], {})
    node, stream = started["streams"][0]
    print("started", node, *stream.get("position", (0, 0)), *stream["size"], flush=True)
    return session, node


def move(session, node, x, y):
    call("RemoteDesktop", "NotifyPointerMotionAbsolute", GLib.Variant("(oa{sv}udd)", (session, {}, node, x, y)))
    # mutter gives the window under the new pointer its focus a moment after the first motion; a press sent at once
    # reaches no window (measured: lost in one start of three).
    time.sleep(0.2)


def press(session, button, state):
    call("RemoteDesktop", "NotifyPointerButton", GLib.Variant("(oa{sv}iu)", (session, {}, button, state)))


def main():
    x, y = float(sys.argv[1]), float(sys.argv[2])
    button = int(sys.argv[3]) if len(sys.argv) > 3 else 272
    session, node = start_session()
    move(session, node, x, y)
    for state in (1, 0):
        press(session, button, state)
    print("clicked", flush=True)


if __name__ == "__main__":
    main()
