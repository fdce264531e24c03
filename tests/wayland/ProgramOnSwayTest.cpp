// The real program on a headless sway: it picks the wlroots backend by itself, and its clicks, colour and picture
// searches land on a native Wayland window, on every output and scale; a key bound in the compositor runs its toggle
// command. `tappora check` tells the truth on wlroots, on X11 and on a Wayland session without the wlroots protocols.

#include "ProgramOnSway.h"
#include "SwayHeadless.h"
#include "WaylandClicks.h"
#include "WaylandTarget.h"
#include "XvfbServer.h"

#include "control/DesktopBinding.h"
#include "model/ClickListFile.h"
#include "pixels/Base64.h"
#include "pixels/PixelBuffer.h"

#include <gtest/gtest.h>

#include <wayland-server-core.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {
const SwayOptions kTwoOutputs{
    .outputs = {{.width = 1920, .height = 1080, .x = 0, .y = 0}, {.width = 1280, .height = 1024, .x = -1280, .y = 0}}};
} // namespace

TEST(ProgramOnSwayTest, EveryButtonAndKindArrivesAtTheFixedPointAsSuch) {
    const SwayHeadless sway;
    struct Case {
        TMouseType mouse;
        TActionType action;
        unsigned button;
        TPoint at;
    };
    const Case cases[] = {{mtLeft, atSingle, PointerButton::left, {150, 120}},
                          {mtRight, atDouble, PointerButton::right, {1919, 0}},
                          {mtMiddle, atDown, PointerButton::middle, {0, 1079}},
                          {mtMiddle, atUp, PointerButton::middle, {640, 480}}};
    std::vector<TMouseObj> clicks;
    for (const Case& c : cases) {
        clicks.push_back(clickAt("Click " + std::to_string(clicks.size()), c.at.x, c.at.y));
        clicks.back().mouseType = c.mouse;
        clicks.back().actionType = c.action;
    }
    const ProgramOnSway program(sway, TAPPORA_PROGRAM, clicks);
    // The backend chosen by itself in the session, and the window shown as a native Wayland one (the only window yet).
    std::string windows = sway.swaymsg({"-t", "get_tree"});
    for (int attempt = 0; attempt < 100 && windows.find(R"("app_id": "tappora")") == std::string::npos; ++attempt) {
        std::this_thread::sleep_for(100ms);
        windows = sway.swaymsg({"-t", "get_tree"});
    }
    EXPECT_NE(windows.find(R"("app_id": "tappora")"), std::string::npos) << windows;
    EXPECT_NE(windows.find(R"("shell": "xdg_shell")"), std::string::npos) << windows;
    WaylandTarget target(sway, {.output = "HEADLESS-1", .background = 0xFFFFFF});
    target.waitReady();
    for (std::size_t i = 0; i < clicks.size(); ++i) {
        SCOPED_TRACE(clicks[i].fName);
        ASSERT_EQ(program.command({"start", clicks[i].fName}).exitStatus, 0);
        const auto expected = pressesOf(cases[i].button, cases[i].action, cases[i].at);
        EXPECT_EQ(nextButtons(target, expected.size()), expected);
    }
}

TEST(ProgramOnSwayTest, ColourAndPictureClicksLandWhereTheyAreFoundOnEitherOutput) {
    const SwayHeadless sway(kTwoOutputs);
    const fs::path pictureFile = writeUniquePicture(sway);
    const TMouseObj pictureClick = pictureClickOf("Picture", pictureFile);
    const ProgramOnSway program(sway, TAPPORA_PROGRAM,
                                {colourClick("Red", 0xFF0000, {0, 0, 1920, 1080}),
                                 colourClick("Green", 0x00C000, {-1280, 0, 1280, 1024}), pictureClick,
                                 clickAt("Left output", -1000, 100)});
    WaylandTarget primary(sway, {.output = "HEADLESS-1",
                                 .background = 0xFFFFFF,
                                 .rects = {{{300, 200, 20, 10}, 0xFF0000}},
                                 .picture = pictureFile,
                                 .picturePlace = {900, 500}});
    WaylandTarget left(sway, {.output = "HEADLESS-2", .background = 0xFFFFFF, .rects = {{{50, 60, 5, 5}, 0x00C000}}});
    primary.waitReady();
    left.waitReady();

    ASSERT_EQ(program.command({"start", "Left output"}).exitStatus, 0);
    EXPECT_EQ(nextButtons(left, 2), pressesOf(PointerButton::left, atSingle, {280, 100}));
    // Headless sway 1.7 shows what a window drew on an output without the pointer only once something else changes
    // there: the fixed click above brought the pointer over.
    ASSERT_EQ(program.command({"start", "Green"}).exitStatus, 0);
    EXPECT_EQ(nextButtons(left, 2), pressesOf(PointerButton::left, atSingle, {50, 60}));
    ASSERT_EQ(program.command({"start", "Red"}).exitStatus, 0);
    EXPECT_EQ(nextButtons(primary, 2), pressesOf(PointerButton::left, atSingle, {300, 200}));
    ASSERT_EQ(program.command({"start", "Picture"}).exitStatus, 0);
    EXPECT_EQ(nextButtons(primary, 2), pressesOf(PointerButton::left, atSingle, {904, 503}));
}

// Positions count logical pixels: a place found on a scaled output is the place clicked.
TEST(ProgramOnSwayTest, OnScaledOutputsAColourIsClickedWhereItWasFound) {
    const SwayHeadless sway({.outputs = {{.width = 1920, .height = 1080, .x = 0, .y = 0, .scale = 2},
                                         {.width = 1920, .height = 1080, .x = 960, .y = 0, .scale = 1.5}}});
    const ProgramOnSway program(
        sway, TAPPORA_PROGRAM,
        {colourClick("Red", 0xFF0000, {0, 0, 960, 540}), colourClick("Blue", 0x0000FF, {960, 0, 1280, 720})});
    WaylandTarget half(sway, {.output = "HEADLESS-1", .background = 0xFFFFFF, .rects = {{{101, 51, 3, 3}, 0xFF0000}}});
    WaylandTarget third(sway,
                        {.output = "HEADLESS-2", .background = 0xFFFFFF, .rects = {{{700, 333, 3, 3}, 0x0000FF}}});
    EXPECT_EQ(half.waitReady(), (TSize{960, 540}));
    EXPECT_EQ(third.waitReady(), (TSize{1280, 720}));

    ASSERT_EQ(program.command({"start", "Red"}).exitStatus, 0);
    EXPECT_EQ(nextButtons(half, 2), pressesOf(PointerButton::left, atSingle, {101, 51}));
    ASSERT_EQ(program.command({"start", "Blue"}).exitStatus, 0);
    EXPECT_EQ(nextButtons(third, 2), pressesOf(PointerButton::left, atSingle, {700, 333}));
}

// The lines are the editor's and the options dialog's, bound as the user pastes them.
TEST(ProgramOnSwayTest, AKeyBoundInTheCompositorTogglesTheClickAndTheStopAllKeyStopsIt) {
    // The binding names the program where the test will have copied it.
    const SwayHeadless sway([] {
        SwayOptions withBinding;
        withBinding.configLines = {"bindsym Ctrl+F9 exec \"$HOME/../program/tappora\" toggle 'Farm gold'"};
        return withBinding;
    }());
    TMouseObj click = clickAt("Farm gold", 400, 300);
    click.stopType = spCommand;
    click.iClickInterval = 200;
    const ProgramOnSway program(sway, TAPPORA_PROGRAM, {click});
    WaylandTarget target(sway, {.output = "HEADLESS-1", .background = 0xFFFFFF});
    target.waitReady();

    ASSERT_EQ(sway.run({"wtype", "-M", "ctrl", "-k", "F9", "-m", "ctrl"}).exitStatus, 0);
    EXPECT_EQ(nextButtons(target, 2), pressesOf(PointerButton::left, atSingle, {400, 300}));
    ASSERT_EQ(sway.run({"wtype", "-M", "ctrl", "-k", "F9", "-m", "ctrl"}).exitStatus, 0);
    std::this_thread::sleep_for(500ms);
    const std::string list = program.command({"list"}).output;
    EXPECT_NE(list.find("stopped"), std::string::npos) << list;

    const THotKey stopAllKey{HotKeyModifier::Control | HotKeyModifier::Shift, 11};
    const std::string stopAllLine = StopAllBinding(TCompositor::Sway, program.path().string(), stopAllKey).lines.at(0);
    ASSERT_EQ(sway.run({"swaymsg", stopAllLine}).exitStatus, 0) << stopAllLine;
    ASSERT_EQ(program.command({"start", "Farm gold"}).exitStatus, 0);
    EXPECT_EQ(nextButtons(target, 2), pressesOf(PointerButton::left, atSingle, {400, 300}));
    ASSERT_EQ(sway.run({"wtype", "-M", "ctrl", "-M", "shift", "-k", "F11", "-m", "shift", "-m", "ctrl"}).exitStatus, 0);
    std::this_thread::sleep_for(500ms);
    const std::string afterStopAll = program.command({"list"}).output;
    EXPECT_NE(afterStopAll.find("stopped"), std::string::npos) << afterStopAll;
}

namespace {
// A Wayland compositor that offers nothing at all, as far as the program can tell one that is not built on wlroots.
class BareCompositor {
public:
    explicit BareCompositor(const fs::path& runtime) : m_display(wl_display_create()) {
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        m_name = wl_display_add_socket_auto(m_display);
        // Open to the test user, who runs the program.
        fs::permissions(runtime / m_name, fs::perms::all);
        m_thread = std::thread([this] {
            while (!m_stop) {
                wl_event_loop_dispatch(wl_display_get_event_loop(m_display), 50);
                wl_display_flush_clients(m_display);
            }
        });
    }
    ~BareCompositor() {
        m_stop = true;
        m_thread.join();
        wl_display_destroy(m_display);
    }
    std::string name() const { return m_name; }

private:
    wl_display* m_display;
    std::string m_name;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

std::string check(const TestUser& user, const Environment& environment, const std::vector<std::string>& options = {}) {
    std::vector<std::string> command{TAPPORA_PROGRAM, "check"};
    command.insert(command.end(), options.begin(), options.end());
    UserProcess process(user, environment, command);
    std::string output = process.readAll(30s);
    process.waitForExit(10s);
    return output;
}

bool says(const std::string& report, const std::string& line) {
    return report.find(line + "\n") != std::string::npos;
}
} // namespace

TEST(BackendCheckTest, TellsWhichBackendRunsHereAndWhatWorks) {
    const SwayHeadless sway;
    const std::string wlroots = check(sway.user(), sway.environment());
    EXPECT_TRUE(says(wlroots, "Backend: wlroots")) << wlroots;
    EXPECT_TRUE(says(wlroots, "Clicks: working.")) << wlroots;
    EXPECT_NE(wlroots.find("Hotkeys: not working."), std::string::npos) << wlroots;
    EXPECT_NE(wlroots.find("Corner stop: not working. It watches the pointer"), std::string::npos) << wlroots;

    const XvfbServer x11;
    const std::string plainX11 = check(sway.user(), {{"DISPLAY", x11.displayName()}});
    EXPECT_TRUE(says(plainX11, "Session: An X11 session.")) << plainX11;
    EXPECT_TRUE(says(plainX11, "Hotkeys: working.")) << plainX11;

    const BareCompositor bare(sway.folder() / "runtime-bare");
    const Environment xwaylandOnly{{"DISPLAY", x11.displayName()},
                                   {"WAYLAND_DISPLAY", bare.name()},
                                   {"XDG_RUNTIME_DIR", sway.folder() / "runtime-bare"}};
    const std::string xwayland = check(sway.user(), xwaylandOnly);
    EXPECT_TRUE(says(xwayland, "Session: A Wayland session, reached through XWayland.")) << xwayland;
    EXPECT_NE(xwayland.find("Clicks: working. Only X11 programs"), std::string::npos) << xwayland;
    const std::string forced = check(sway.user(), xwaylandOnly, {"--backend", "wlroots"});
    EXPECT_NE(forced.find("it is not built on wlroots"), std::string::npos) << forced;
}
