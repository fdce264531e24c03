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

void setOutputArea(Display* display, MonitorArea area) {
    const Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResources(display, root);
    RROutput output = resources->outputs[0];
    char name[] = "tappora-test-mode";
    XRRModeInfo* mode = XRRAllocModeInfo(name, sizeof name - 1);
    mode->width = static_cast<unsigned>(area.width);
    mode->height = static_cast<unsigned>(area.height);
    mode->hTotal = mode->width;
    mode->vTotal = mode->height;
    mode->dotClock = 60UL * mode->hTotal * mode->vTotal;
    const RRMode id = XRRCreateMode(display, root, mode);
    XRRAddOutputMode(display, output, id);
    XRRSetCrtcConfig(display, resources, resources->crtcs[0], CurrentTime, area.left, area.top, id, RR_Rotate_0,
                     &output, 1);
    XSync(display, False);
    XRRFreeModeInfo(mode);
    XRRFreeScreenResources(resources);
}
