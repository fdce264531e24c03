// The real program on headless GNOME and KDE desktops: it picks the portal backend by itself, starts one remote desktop
// session when the first click starts (on GNOME after the user's leave, given through the real dialog), and its fixed,
// colour and picture clicks land on a native Wayland window; a refused question stops the click, which says why.

#include "ConsentAnswer.h"
#include "GnomeHeadless.h"
#include "KdeHeadless.h"
#include "ProgramOnSway.h"
#include "WaylandClicks.h"
#include "WaylandTarget.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;
using ::testing::HasSubstr;

namespace {
const MonitorSize kMonitor{.width = 1280, .height = 720};

struct Scene {
    explicit Scene(const PortalDesktop& desktop)
        : picture(writeUniquePicture(desktop)), target(desktop, {.background = 0xFFFFFF,
                                                                 .rects = {{{300, 200, 20, 10}, 0xFF0000}},
                                                                 .picture = picture,
                                                                 .picturePlace = {900, 500}}) {
        target.waitReady();
    }

    std::vector<TMouseObj> clicks() const {
        return {clickAt("Fixed", 321, 123), colourClick("Red", 0xFF0000, {0, 0, kMonitor.width, kMonitor.height}),
                pictureClickOf("Picture", picture)};
    }

    // Each click once, where it must land.
    void expectEveryClickLands(const ProgramOnSway& program) {
        const std::pair<const char*, TPoint> landings[] = {
            {"Fixed", {321, 123}}, {"Red", {300, 200}}, {"Picture", {904, 503}}};
        for (const auto& [name, at] : landings) {
            SCOPED_TRACE(name);
            ASSERT_EQ(program.command({"start", name}).exitStatus, 0);
            EXPECT_EQ(nextButtons(target, 2), pressesOf(PointerButton::left, atSingle, at));
        }
    }

    std::filesystem::path picture;
    WaylandTarget target;
};

// `tappora list` once it shows `expected` (or after 10 s).
std::string listShowing(const ProgramOnSway& program, const std::string& expected) {
    std::string list;
    for (int attempt = 0; attempt < 100 && list.find(expected) == std::string::npos; ++attempt) {
        std::this_thread::sleep_for(100ms);
        list = program.command({"list"}).output;
    }
    return list;
}
} // namespace

TEST(ProgramOnPortalTest, OnGnomeEveryKindOfClickLandsOnceTheUserAllowsIt) {
    const GnomeHeadless gnome(kMonitor);
    Scene scene(gnome);
    const ProgramOnSway program(gnome, TAPPORA_PROGRAM, scene.clicks(), {"--hidden"});
    EXPECT_THAT(program.command({"check"}).output, HasSubstr("portal"));
    ConsentAnswer consent(gnome, ConsentAnswer::allow);

    scene.expectEveryClickLands(program);
    EXPECT_TRUE(consent.answered());
}

TEST(ProgramOnPortalTest, OnGnomeARefusedQuestionStopsTheClickWhichSaysWhy) {
    const GnomeHeadless gnome(kMonitor);
    Scene scene(gnome);
    const ProgramOnSway program(gnome, TAPPORA_PROGRAM, scene.clicks(), {"--hidden"});
    ConsentAnswer consent(gnome, ConsentAnswer::refuse);

    ASSERT_EQ(program.command({"start", "Fixed"}).exitStatus, 0);
    ASSERT_TRUE(consent.answered());

    EXPECT_THAT(listShowing(program, "\"Fixed\": stopped"),
                HasSubstr("\"Fixed\": stopped, 0 clicks, Ctrl+F2 starts, Ctrl+F3 stops (The desktop's question whether "
                          "Tappora may control the pointer was refused or cancelled"));
    EXPECT_EQ(scene.target.nextButton(1s), std::nullopt);
}

// KWin 5.27 sends screen-cast frames only when it composites with OpenGL, which its virtual backend cannot without a
// graphics device: there the colour click says so.
TEST(ProgramOnPortalTest, OnKdeAFixedClickLandsWithoutAQuestionAndAColourClickTellsWhyItCannotSearch) {
    const KdeHeadless kde(kMonitor);
    Scene scene(kde);
    const ProgramOnSway program(kde, TAPPORA_PROGRAM, scene.clicks(), {"--hidden"});
    ASSERT_EQ(program.command({"start", "Fixed"}).exitStatus, 0);
    EXPECT_EQ(nextButtons(scene.target, 2), pressesOf(PointerButton::left, atSingle, {321, 123}));

    ASSERT_EQ(program.command({"start", "Red"}).exitStatus, 0);
    EXPECT_THAT(
        listShowing(program, "the desktop has sent no picture of the screen yet"),
        HasSubstr("\"Red\": running, 0 clicks, Ctrl+F2 starts, Ctrl+F3 stops (the desktop has sent no picture"));
}

// Clicks asked for faster than the portal answers are dropped whole while the portal is behind: every press that
// arrives has its release, so no button is left held, and the clicks counted are the clicks that arrived.
TEST(ProgramOnPortalTest, OnKdeClicksFasterThanThePortalArriveAsWholeClicks) {
    const KdeHeadless kde(kMonitor);
    Scene scene(kde);
    TMouseObj fast = clickAt("Fast", 321, 123);
    fast.iClickInterval = 1;
    fast.stopType = spCommand;
    const ProgramOnSway program(kde, TAPPORA_PROGRAM, {fast}, {"--hidden"});
    ASSERT_EQ(program.command({"start", "Fast"}).exitStatus, 0);
    ASSERT_TRUE(scene.target.nextButton().has_value());
    // The target's reports are read as they come: a full pipe would stall it, and KWin drops a client that stops
    // reading.
    std::vector<PointerButton> events;
    const auto stopAt = std::chrono::steady_clock::now() + 2s;
    while (std::chrono::steady_clock::now() < stopAt)
        if (const std::optional<PointerButton> event = scene.target.nextButton(100ms))
            events.push_back(*event);
    ASSERT_EQ(program.command({"stop", "Fast"}).exitStatus, 0);
    while (const std::optional<PointerButton> event = scene.target.nextButton(2s))
        events.push_back(*event);
    ASSERT_FALSE(events.empty());
    for (std::size_t i = 0; i < events.size(); ++i)
        ASSERT_EQ(events[i].pressed, i % 2 == 1) << "event " << i;
    EXPECT_EQ(events.size() % 2, 1u);
    // The program counts what arrived, not the clicks dropped.
    const std::string presses = std::to_string(1 + events.size() / 2);
    EXPECT_THAT(program.command({"list"}).output, HasSubstr("\"Fast\": stopped, " + presses + " clicks"));
}
