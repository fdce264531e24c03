#pragma once

// KDE Plasma's compositor, KWin, headless for one test with one virtual monitor, a session bus, PipeWire and the
// portals (PortalDesktop.h). Its RemoteDesktop portal asks no consent of a program that is not sandboxed.
//
//     KdeHeadless kde({.width = 1920, .height = 1080});
//     WaylandTarget target(kde, {.background = 0x204060});                // full screen on the virtual monitor
//     target.waitReady();
//     ... the program under test, with kde.environment(), clicks ...

#include "PortalDesktop.h"

class KdeHeadless : public PortalDesktop {
public:
    // Throws std::runtime_error, with the desktop's log, when KWin or the portal does not come up.
    explicit KdeHeadless(const MonitorSize& monitor = {});
};
