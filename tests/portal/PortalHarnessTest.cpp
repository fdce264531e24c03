// The harness of the portal tests on real headless GNOME and KDE desktops: the portal answers, the target client shows
// full screen on the virtual monitor, and a click sent through the RemoteDesktop portal (remote-click.py) lands at its
// pixel there; on GNOME only once the consent dialog has been answered with "Allow remote interaction" switched on.

#include "ConsentAnswer.h"
#include "GnomeHeadless.h"
#include "KdeHeadless.h"
#include "WaylandTarget.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <thread>

namespace fs = std::filesystem;

namespace {
const MonitorSize monitor{.width = 1280, .height = 720};
const PointerButton press{PointerButton::left, true, 321, 123};
const PointerButton release{PointerButton::left, false, 321, 123};

CommandResult clickThroughThePortal(const PortalDesktop& desktop) {
    return desktop.run({"python3", TAPPORA_REMOTE_CLICK, std::to_string(press.x), std::to_string(press.y)},
                       std::chrono::seconds(90));
}

void expectPortalsAndTarget(const PortalDesktop& desktop, WaylandTarget& target) {
    EXPECT_GE(desktop.portalVersion("RemoteDesktop"), 1u);
    EXPECT_GE(desktop.portalVersion("ScreenCast"), 4u);
    EXPECT_EQ(target.waitReady(), (TSize{monitor.width, monitor.height}));
}

std::string runtimeOf(const PortalDesktop& desktop) {
    for (const auto& [name, value] : desktop.environment())
        if (name == "XDG_RUNTIME_DIR")
            return value;
    return {};
}

// How many processes still run with the runtime folder (what the bus started is no child of the test's).
int processesRunningIn(const std::string& runtime) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream in(entry.path() / "environ", std::ios::binary);
        for (std::string variable; std::getline(in, variable, '\0');)
            count += variable == "XDG_RUNTIME_DIR=" + runtime;
    }
    return count;
}
} // namespace

TEST(PortalHarnessTest, OnGnomeAPortalClickLandsAtItsPixelOnlyOnceConsentIsGiven) {
    for (const ConsentAnswer::Choice choice : {ConsentAnswer::allow, ConsentAnswer::refuse}) {
        SCOPED_TRACE(choice == ConsentAnswer::allow ? "allowed" : "refused");
        std::optional<GnomeHeadless> gnome(monitor);
        const std::string runtime = runtimeOf(*gnome);
        {
            WaylandTarget target(*gnome, {.background = 0x204060});
            expectPortalsAndTarget(*gnome, target);
            ConsentAnswer consent(*gnome, choice);

            const CommandResult click = clickThroughThePortal(*gnome);

            EXPECT_TRUE(consent.answered());
            EXPECT_EQ(click.exitStatus, choice == ConsentAnswer::allow ? 0 : 1) << click.output << gnome->log();
            if (choice == ConsentAnswer::allow) {
                EXPECT_EQ(target.nextButton(), press);
                EXPECT_EQ(target.nextButton(), release);
            } else {
                EXPECT_EQ(target.nextButton(std::chrono::seconds(1)), std::nullopt);
            }
        }
        gnome.reset();
        // Killed processes may take a moment to go on a busy machine.
        int left = processesRunningIn(runtime);
        for (int attempt = 0; attempt < 50 && left > 0; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            left = processesRunningIn(runtime);
        }
        EXPECT_EQ(left, 0);
    }
}

TEST(PortalHarnessTest, OnKdeAPortalClickLandsAtItsPixelWithoutConsent) {
    const KdeHeadless kde(monitor);
    WaylandTarget target(kde, {.background = 0x204060});
    expectPortalsAndTarget(kde, target);

    const CommandResult click = clickThroughThePortal(kde);

    EXPECT_EQ(click.exitStatus, 0) << click.output << kde.log();
    EXPECT_EQ(target.nextButton(), press);
    EXPECT_EQ(target.nextButton(), release);
}
