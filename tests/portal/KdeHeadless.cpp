#include "KdeHeadless.h"

namespace fs = std::filesystem;

namespace {
// Debian gives the binary a file capability (cap_sys_resource) that an ordinary user may not take on every system, so
// exec fails there; a copy has none, and KWin only raises its own limits with it.
fs::path copyOfKWin(const PortalDesktop& desktop) {
    const fs::path copy = desktop.folder() / "kwin_wayland";
    fs::copy_file("/usr/bin/kwin_wayland", copy);
    desktop.user().own(copy);
    return copy;
}
} // namespace

KdeHeadless::KdeHeadless(const MonitorSize& monitor) : PortalDesktop("KDE", "tappora-kde") {
    startCompositor({copyOfKWin(*this).string(), "--virtual", "--width", std::to_string(monitor.width), "--height",
                     std::to_string(monitor.height), "--socket", waylandDisplay, "--no-lockscreen"},
                    "org.kde.KWin");
}
