#include "GnomeHeadless.h"

GnomeHeadless::GnomeHeadless(const MonitorSize& monitor) : PortalDesktop("GNOME", "tappora-gnome") {
    const std::string size = std::to_string(monitor.width) + "x" + std::to_string(monitor.height);
    startCompositor({"mutter", "--headless", "--wayland", "--no-x11", "--wayland-display", waylandDisplay,
                     "--virtual-monitor", size},
                    "org.gnome.Mutter.ScreenCast");
}
