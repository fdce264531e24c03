#pragma once

// GNOME's compositor, mutter, headless for one test with one virtual monitor, a session bus, PipeWire and the portals
// (PortalDesktop.h). xdg-desktop-portal-gnome asks the user's consent at every RemoteDesktop.Start; a test answers
// it with ConsentAnswer, which it starts before the program under test asks.
//
//     GnomeHeadless gnome({.width = 1920, .height = 1080});
//     WaylandTarget target(gnome, {.background = 0x204060});              // full screen on the virtual monitor
//     target.waitReady();
//     ConsentAnswer consent(gnome, ConsentAnswer::allow);
//     ... the program under test, with gnome.environment(), starts its remote-desktop session ...
//     ASSERT_TRUE(consent.answered());
//     EXPECT_EQ(target.nextButton(), (PointerButton{PointerButton::left, true, 110, 55}));

#include "PortalDesktop.h"

class GnomeHeadless : public PortalDesktop {
public:
    // Throws std::runtime_error, with the desktop's log, when mutter or the portal does not come up.
    explicit GnomeHeadless(const MonitorSize& monitor = {});
};
