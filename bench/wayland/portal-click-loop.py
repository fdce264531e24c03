#!/usr/bin/env python3
"""A bare remote-desktop client clicking through the desktop portal as fast as a 1 ms click asks: the session of
tests/portal/remote-click.py, one motion to a pixel, then a press and a release every INTERVAL ms on the absolute
schedule start + k x INTERVAL (a late click goes at once; none is made up twice), each call waiting for the portal's
answer before the next is sent, as the program sends them.

Usage: portal-click-loop.py REMOTE_CLICK_PY X Y SECONDS [INTERVAL_MS]
Prints the session's "started ..." line, "clicking" when the first press goes, then "done CLICKS SECONDS" and one line
"roundtrips MS MS ..." with the time each NotifyPointerButton took to be answered.
"""
import importlib.util
import sys
import time


def load(path):
    spec = importlib.util.spec_from_file_location("remote_click", path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def main():
    portal = load(sys.argv[1])
    x, y, seconds = float(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
    interval = (float(sys.argv[5]) if len(sys.argv) > 5 else 1.0) / 1000
    session, node = portal.start_session()
    portal.move(session, node, x, y)
    print("clicking", flush=True)
    roundtrips = []
    clicks = 0
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        wait = start + clicks * interval - time.monotonic()
        if wait > 0:
            time.sleep(wait)
        for state in (1, 0):
            sent = time.monotonic()
            portal.press(session, 272, state)
            roundtrips.append((time.monotonic() - sent) * 1000)
        clicks += 1
    print("done", clicks, "%.3f" % (time.monotonic() - start), flush=True)
    print("roundtrips", " ".join("%.3f" % ms for ms in roundtrips), flush=True)


main()
