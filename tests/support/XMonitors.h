#pragma once

// Monitors of an X server set as a desktop's display settings set them (XRandR 1.5), so that tests can lay out
// several monitors on one Xvfb root window:
//
//     XvfbServer server({.width = 1600, .height = 900});
//     setMonitor(display, "LEFT", false, {0, 0, 800, 600});
//     setMonitor(display, "MAIN", true, {800, 300, 800, 600});   // the primary, right of and below LEFT
//
// A server refuses a monitor with the geometry of another one: delete that one first. Xvfb's own output is listed as a
// monitor over the whole root window besides: setOutputArea shrinks it to one monitor's place.

struct _XDisplay;

struct MonitorArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Adds the monitor, or changes the one of that name; returns when the server has done it.
void setMonitor(_XDisplay* display, const char* name, bool primary, MonitorArea area);
void deleteMonitor(_XDisplay* display, const char* name);
// Shows the server's first output at `area` of the root window only, in a mode of that size.
void setOutputArea(_XDisplay* display, MonitorArea area);
