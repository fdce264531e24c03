#include "XMonitors.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

void setMonitor(Display* display, const char* name, bool primary, MonitorArea area) {
    XRRMonitorInfo* monitor = XRRAllocateMonitor(display, 0);
    monitor->name = XInternAtom(display, name, False);
    monitor->primary = primary ? True : False;
    monitor->x = area.left;
    monitor->y = area.top;
    monitor->width = area.width;
    monitor->height = area.height;
    // Millimetres, at about 100 dots per inch.
    monitor->mwidth = area.width / 4;
    monitor->mheight = area.height / 4;
    XRRSetMonitor(display, DefaultRootWindow(display), monitor);
    XSync(display, False);
    XFree(monitor);
}

void deleteMonitor(Display* display, const char* name) {
    XRRDeleteMonitor(display, DefaultRootWindow(display), XInternAtom(display, name, False));
    XSync(display, False);
}
