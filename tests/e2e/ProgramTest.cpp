#include "ProgramRun.h"
#include "TapporaVersion.h"
#include "TargetClient.h"
#include "XMonitors.h"
#include "XTestKeys.h"
#include "XvfbServer.h"
#include "pixels/Color.h"

#include <gtest/gtest.h>

// After gtest: the X headers define macros such as None and Bool that gtest's own names would meet.
#include "XWindows.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <thread>

namespace {
using namespace std::chrono_literals;

// One item of the click list, every attribute in the order the program writes them.
std::string item(const std::string& name, int x, int y, int button, int interval, int stopType, int repeat, int hkStart,
                 int hkStop) {
    return "<item fPosX=\"" + std::to_string(x) + "\" fPosY=\"" + std::to_string(y) +
           "\" fStartAt=\"09:30:00\" fStartInterval=\"60\" fRepeat=\"" + std::to_string(repeat) +
           "\" fColor=\"clBlack\" fTop=\"0\" fBottom=\"768\" fLeft=\"0\" fRight=\"1024\" fBMP=\"\" "
           "fColorSimplar=\"100\" fBMPSimplar=\"100\" pointType=\"1\" mouseType=\"" +
           std::to_string(button) + "\" actionType=\"0\" startType=\"0\" stopType=\"" + std::to_string(stopType) +
           "\" finishType=\"0\" ScreenType=\"0\" iClickInterval=\"" + std::to_string(interval) + "\" hkStart=\"" +
           std::to_string(hkStart) + "\" hkStop=\"" + std::to_string(hkStop) + "\" fName=\"" + name +
           "\" checked=\"True\" fRanBegin=\"100\" fRanEnd=\"5000\" InteverType=\"0\"/>";
}

// The item with more attributes after the others, as the program writes the hold and spread.
std::string withAttributes(std::string item, const std::string& attributes) {
    return item.insert(item.size() - 2, attributes);
}

const std::string kListHead = R"(<?xml version="1.0" encoding="utf-8" standalone="yes"?>)"
                              R"(<list versionNo="1.0" generated="https://tappora.example.org/">)";

std::string settings(const std::string& autorun) {
    std::string cols;
    const char* names[] = {"Name",           "Click Point",        "Mouse Button", "Mouse Action",
                           "Click Interval", "Start Option",       "Stop Option",  "Start HotKey",
                           "Stop HotKey",    "After Click Action", "Action Stats"};
    for (int i = 0; i < 11; ++i)
        cols += "<col id=\"" + std::to_string(i) + "\" Name=\"" + names[i] + "\" Align=\"left\" Color=\"\" Width=\"" +
                (i == 9 ? "0" : "70") + "\" Visible=\"" + (i == 9 ? "False" : "True") + "\" Index=\"" +
                std::to_string(i) + "\"/>";
    return "<config versionNo=\"2.0\" generated=\"https://tappora.example.org/\"><frame left=\"0\" top=\"0\" "
           "height=\"306\" width=\"561\" max=\"False\" running=\"rbNormal\" autorun=\"" +
           autorun + "\"/><cols>" + cols + "</cols></config>";
}

std::size_t countPresses(const std::vector<ButtonRecord>& events, unsigned button, int x, int y) {
    return std::size_t(std::count_if(events.begin(), events.end(), [&](const ButtonRecord& r) {
        return r.kind == ButtonRecord::Press && r.button == button && r.rootX == x && r.rootY == y;
    }));
}

// A drag on the scope overlay, from (fromX, fromY) to (toX, toY) in root pixels.
struct Drag {
    int fromX, fromY, toX, toY;
};

// New, "Part screen to search", Capture Scope, the drag on the overlay, OK, then the program is ended: all by the
// mouse, on the real X server. Gives the overlay's top-left in root pixels.
void newClickWithScopeDragged(Display* display, ProgramRun& run, Window main, Drag drag, int& overlayX, int& overlayY) {
    // The title is set before the window is mapped and placed: a click before then goes to the root window.
    ASSERT_TRUE(waitUntilViewable(display, main));
    std::this_thread::sleep_for(300ms);
    int mainX = 0, mainY = 0;
    originOf(display, main, mainX, mainY);
    // The New button is the toolbar's first, 62 x 58, under the menu bar.
    clickAt(display, mainX + 30, mainY + 56, 1);
    const Window editor = waitForWindow(display, "New Mouse Action");
    ASSERT_NE(editor, 0u) << run.errorOutput();
    ASSERT_TRUE(waitUntilViewable(display, editor));
    int x = 0, y = 0;
    originOf(display, editor, x, y);
    std::this_thread::sleep_for(300ms);
    clickAt(display, x + 31, y + 472, 1); // "Part screen to search"
    clickAt(display, x + 48, y + 514, 1); // "Capture Scope"
    const Window overlay = waitForWindow(display, "fmCopy");
    ASSERT_NE(overlay, 0u);
    ASSERT_TRUE(waitUntilViewable(display, overlay));
    originOf(display, overlay, overlayX, overlayY);
    std::this_thread::sleep_for(300ms);
    dragWithLeftButton(display, drag.fromX, drag.fromY, drag.toX, drag.toY);
    ASSERT_TRUE(waitUntilViewable(display, editor)) << "the editor comes back";
    std::this_thread::sleep_for(300ms);
    clickAt(display, x + 265, y + 698, 1); // OK
    for (int wait = 0; wait < 100 && isViewable(display, editor); ++wait)
        std::this_thread::sleep_for(50ms);
    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
}

class ProgramTest : public ::testing::Test {
protected:
    XvfbServer server;
    TargetClient target{server.displayName()};
    ProgramRun run;

    Window startAndWait() {
        run.start(server.displayName());
        const Window window = waitForWindow(target.display(), TAPPORA_TITLE);
        EXPECT_NE(window, 0u) << run.errorOutput();
        return window;
    }
};
} // namespace

TEST_F(ProgramTest, HotkeysRunTheClicksWhereTheListSaysAndTheFilesAreSavedAtClose) {
    const std::string list = kListHead + item("Left at 900,600", 900, 600, 0, 100, 0, 1, 1, 2) +
                             item("Three right at 1000,650", 1000, 650, 1, 50, 1, 3, 1, 4) + "</list>";
    run.writeFile("tapporas.xml", list);
    run.writeFile("TapporaConfig.xml", settings("False"));
    startAndWait();

    pressChord(target.display(), {XK_Control_L, XK_Shift_L}, XK_F2);
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(target.pumpEvents().empty()) << "Ctrl+Shift+F2 starts nothing";

    pressChord(target.display(), {XK_Control_L}, XK_F2);
    const auto& events = target.waitForButtonEvents(14);
    EXPECT_GE(countPresses(events, 1, 900, 600), 3u);
    EXPECT_EQ(countPresses(events, 3, 1000, 650), 3u) << "the repeating click stops after three";
    for (const ButtonRecord& record : events)
        EXPECT_FALSE(record.sendEvent);

    pressChord(target.display(), {XK_Control_L}, XK_F3);
    std::this_thread::sleep_for(300ms);
    const std::size_t afterStop = target.pumpEvents().size();
    std::this_thread::sleep_for(600ms);
    EXPECT_EQ(target.pumpEvents().size(), afterStop) << "Ctrl+F3 stopped the clicks";

    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
    EXPECT_EQ(run.readFile("tapporas.xml"), list);
    EXPECT_EQ(run.readFile("TapporaConfig.xml"), settings("False"));
}

// Held presses are released about the set time later by the server's clock, spread clicks land around their target,
// and the stop-all key and a pointer the user keeps in a corner both stop every click. The list is saved as it was
// read.
TEST_F(ProgramTest, HeldAndSpreadClicksAndTheKeyAndTheCornerThatStopThemAll) {
    const std::string list =
        kListHead + withAttributes(item("Held", 900, 600, 0, 300, 0, 1, 1, 2), R"( fHoldTime="120")") +
        withAttributes(item("Spread", 1000, 650, 2, 50, 0, 1, 1, 2), R"( fJitter="10")") + "</list>";
    run.writeFile("tapporas.xml", list);
    std::string config = settings("False");
    run.writeFile("TapporaConfig.xml", config.insert(config.find("autorun="), R"(cornerStop="True" )"));
    startAndWait();
    Display* display = target.display();
    const auto stopsClicking = [&] {
        std::this_thread::sleep_for(400ms);
        const std::size_t after = target.pumpEvents().size();
        std::this_thread::sleep_for(600ms);
        return target.pumpEvents().size() == after;
    };

    pressChord(display, {XK_Control_L}, XK_F2);
    const std::vector<ButtonRecord> events = target.waitForButtonEvents(60);
    std::size_t held = 0;
    std::set<std::pair<int, int>> places;
    for (auto press = events.begin(); press != events.end(); ++press) {
        const auto release = std::find_if(press, events.end(), [&](const ButtonRecord& r) {
            return r.kind == ButtonRecord::Release && r.button == press->button;
        });
        if (press->kind != ButtonRecord::Press || release == events.end())
            continue;
        if (press->button == 1) {
            ++held;
            std::cout << "held for " << release->serverTime - press->serverTime << " ms\n";
            // The server stamps a press when it gets to it, which on a busy machine may be after it was sent: the
            // hold's exact length is the fake platform's to prove, this that the presses are held.
            EXPECT_GE(release->serverTime - press->serverTime, 110u);
        } else {
            EXPECT_LE(std::hypot(press->rootX - 1000, press->rootY - 650), 10.0);
            places.insert({press->rootX, press->rootY});
        }
    }
    EXPECT_GE(held, 3u);
    EXPECT_GE(places.size(), 5u) << "spread, not on one pixel";

    pressChord(display, {XK_Control_L, XK_Shift_L}, XK_F11);
    EXPECT_TRUE(stopsClicking()) << "Ctrl+Shift+F11 stops every click";
    pressChord(display, {XK_Control_L}, XK_F2);
    target.waitForButtonEvents(target.pumpEvents().size() + 4);
    for (int pushed = 0; pushed < 50; ++pushed) {
        XWarpPointer(display, 0, DefaultRootWindow(display), 0, 0, 0, 0, DisplayWidth(display, 0) - 1, 0);
        XFlush(display);
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(stopsClicking()) << "the top-right corner stops every click";

    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
    EXPECT_EQ(run.readFile("tapporas.xml"), list);
}

TEST_F(ProgramTest, TheCloseBoxSavesLikeExit) {
    run.writeFile("TapporaConfig.xml", settings("False"));
    const Window window = startAndWait();
    sendDeleteWindow(target.display(), window);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
    EXPECT_EQ(run.readFile("tapporas.xml"), kListHead.substr(0, kListHead.size() - 1) + "/>");
}

TEST_F(ProgramTest, WithNoFilesAtAllItStartsFromTheDefaultsAndWritesAnEmptyList) {
    startAndWait();
    EXPECT_EQ(run.readFile("tapporas.xml"), std::nullopt) << "nothing is written before the close";
    ASSERT_TRUE(run.readFile("TapporaConfig.xml").has_value()) << "the settings file is made from its template";
    const std::string atStart = *run.readFile("TapporaConfig.xml");
    run.signal(SIGINT);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
    EXPECT_EQ(run.readFile("tapporas.xml"), kListHead.substr(0, kListHead.size() - 1) + "/>");
    const std::string saved = run.readFile("TapporaConfig.xml").value_or("");
    EXPECT_NE(saved.find(R"(<frame left="296" top="228" height="344" width="687" max="False")"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find(R"(Name="After Click Action" Align="left" Color="" Width="72" Visible="False")"),
              std::string::npos)
        << "a hidden column keeps its width: " << saved;
}

TEST_F(ProgramTest, AutoStartRunsTheTickedClicksAtStart) {
    run.writeFile("tapporas.xml", kListHead + item("Auto", 700, 500, 2, 100, 1, 2, 5, 6) + "</list>");
    run.writeFile("TapporaConfig.xml", settings("True"));
    startAndWait();
    const auto& events = target.waitForButtonEvents(4);
    EXPECT_EQ(countPresses(events, 2, 700, 500), 2u);
    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0);
}

// The program's own list repaints its count while a full-screen colour click runs: the click's kept answer is brought
// up to date from what the server reports drawn, and follows its target from one place to another.
TEST_F(ProgramTest, AFullScreenColourClickFollowsItsTargetWhileTheListRepaints) {
    constexpr std::uint32_t wanted = 0x12AB34;
    const auto show = [&](int x, int y, std::uint32_t rgb) {
        target.paint(x, y, 2, 2, [rgb](int, int) { return rgb; });
    };
    target.paint(0, 0, 1366, 768, [](int, int) { return 0x404040u; });
    show(900, 600, wanted);
    std::string colour = item("Colour", 0, 0, 0, 20, 0, 0, 5, 6);
    colour.replace(colour.find(R"(fColor="clBlack")"), 16, "fColor=\"" + std::to_string(SwapRB(wanted)) + "\"");
    colour.replace(colour.find(R"(pointType="1")"), 13, R"(pointType="2")");
    run.writeFile("tapporas.xml", kListHead + colour + "</list>");
    run.writeFile("TapporaConfig.xml", settings("True"));
    startAndWait();
    EXPECT_GE(countPresses(target.waitForButtonEvents(10), 1, 900, 600), 5u);
    show(900, 600, 0x404040u);
    show(700, 650, wanted);
    std::this_thread::sleep_for(300ms);
    const std::size_t before = target.pumpEvents().size();
    const auto& events = target.waitForButtonEvents(before + 20);
    const std::vector<ButtonRecord> later(events.begin() + std::ptrdiff_t(before), events.end());
    EXPECT_EQ(countPresses(later, 1, 700, 650), 10u) << "every click where the target went";
    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0);
}

TEST_F(ProgramTest, AClickThatCannotRunSaysSoOnceOnStandardError) {
    std::string broken = item("Bad start time", 700, 500, 0, 100, 0, 1, 5, 6);
    broken.replace(broken.find(R"(startType="0")"), 13, R"(startType="1")");
    broken.replace(broken.find(R"(fStartAt="09:30:00")"), 19, R"(fStartAt="25:99:99")");
    run.writeFile("tapporas.xml", kListHead + broken + "</list>");
    run.writeFile("TapporaConfig.xml", settings("True"));
    startAndWait();
    std::this_thread::sleep_for(3500ms);
    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0);
    const std::string errors = run.errorOutput();
    const std::string told = "tappora: '25:99:99' is not a valid time\n";
    const std::size_t first = errors.find(told);
    EXPECT_NE(first, std::string::npos) << errors;
    EXPECT_EQ(errors.find(told, first + 1), std::string::npos) << "told once, not at every tick: " << errors;
    EXPECT_TRUE(target.pumpEvents().empty()) << "it never clicked";
}

TEST_F(ProgramTest, ANewClickTakesTheScopeDraggedOnTheOverlay) {
    run.writeFile("TapporaConfig.xml", settings("False"));
    const Window main = startAndWait();
    int overlayX = -1, overlayY = -1;
    newClickWithScopeDragged(target.display(), run, main, {700, 500, 300, 200}, overlayX, overlayY);
    const std::string list = run.readFile("tapporas.xml").value_or("");
    for (const char* attribute :
         {R"(fTop="500" fBottom="200" fLeft="700" fRight="300")", R"(ScreenType="1")", R"(fName="New Click")"})
        EXPECT_NE(list.find(attribute), std::string::npos) << attribute << " in " << list;
}

// The primary monitor right of and below another: the overlay covers the primary, and the scope dragged on it is
// stored with the primary's top-left as origin.
TEST(ProgramOnTwoMonitors, TheScopeOverlayCoversThePrimaryAndItsPointsStartFromItsCorner) {
    XvfbServer server({.width = 800 + 1366, .height = 300 + 768});
    TargetClient target(server.displayName());
    setMonitor(target.display(), "LEFT", false, {0, 0, 800, 600});
    setMonitor(target.display(), "MAIN", true, {800, 300, 1366, 768});
    ProgramRun run;
    run.writeFile("TapporaConfig.xml", settings("False"));
    run.start(server.displayName());
    const Window main = waitForWindow(target.display(), TAPPORA_TITLE);
    ASSERT_NE(main, 0u) << run.errorOutput();
    int overlayX = -1, overlayY = -1;
    newClickWithScopeDragged(target.display(), run, main, {800 + 700, 300 + 500, 800 + 300, 300 + 200}, overlayX,
                             overlayY);
    EXPECT_EQ(overlayX, 800);
    EXPECT_EQ(overlayY, 300);
    const std::string list = run.readFile("tapporas.xml").value_or("");
    EXPECT_NE(list.find(R"(fTop="500" fBottom="200" fLeft="700" fRight="300")"), std::string::npos) << list;
}

TEST_F(ProgramTest, AHotKeyAnotherProgramHoldsIsToldAtStart) {
    Display* other = target.display();
    XGrabKey(other, XKeysymToKeycode(other, XK_F2), ControlMask, DefaultRootWindow(other), False, GrabModeAsync,
             GrabModeAsync);
    XSync(other, False);
    run.writeFile("TapporaConfig.xml", settings("False"));
    startAndWait();
    ASSERT_NE(waitForWindow(target.display(), "Warning"), 0u) << run.errorOutput();
    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0);
    const std::string errors = run.errorOutput();
    EXPECT_NE(errors.find("already uses them: CTRL+F2. Clicks cannot be started or stopped with them."),
              std::string::npos)
        << errors;
}

TEST_F(ProgramTest, AHugeStoredWindowOutOfReachOpensOnTheScreenNoLargerThanIt) {
    std::string huge = settings("False");
    huge.replace(huge.find(R"(left="0")"), 8, R"(left="2500")");
    huge.replace(huge.find(R"(height="306" width="561")"), 24, R"(height="2000000000" width="2000000000")");
    run.writeFile("TapporaConfig.xml", huge);
    const Window main = startAndWait();
    std::this_thread::sleep_for(500ms);
    XWindowAttributes attributes = {};
    ASSERT_TRUE(XGetWindowAttributes(target.display(), main, &attributes));
    int x = 0, y = 0;
    originOf(target.display(), main, x, y);
    const Screen* screen = DefaultScreenOfDisplay(target.display());
    EXPECT_LE(attributes.width, WidthOfScreen(screen));
    EXPECT_LE(attributes.height, HeightOfScreen(screen));
    EXPECT_GE(x, 0);
    EXPECT_LT(x + 100, WidthOfScreen(screen)) << "the window can be reached";
    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
}

TEST(ProgramWithoutDisplay, SaysSoInOneSentenceAndFails) {
    for (const char* display : {"", ":4999"}) {
        ProgramRun run;
        run.start(display);
        const std::optional<int> code = run.waitForExit();
        ASSERT_TRUE(code.has_value());
        EXPECT_NE(*code, 0);
        const std::string errors = run.errorOutput();
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_EQ(errors.rfind("tappora: ", 0), 0u) << errors;
        EXPECT_FALSE(run.readFile("tapporas.xml").has_value());
    }
}

// Under XWayland in a Wayland session, Qt would put the window on Wayland, out of reach of the X11 hotkeys and
// captures (here, with no Wayland server at all, it could not start).
TEST_F(ProgramTest, InAWaylandSessionItsWindowStaysOnX11) {
    run.setEnvironment("XDG_SESSION_TYPE", "wayland");
    run.setEnvironment("WAYLAND_DISPLAY", "wayland-tappora-test");
    run.setEnvironment("QT_QPA_PLATFORM", "wayland");
    startAndWait();
    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
}

// A display check that opened and closed a connection of its own let such a server reset under the program, which
// then failed to connect about one start in three.
TEST(ProgramOnAResettingServer, StartsEveryTimeAndEndsCleanly) {
    XvfbServer server({.resetsWhenLastClientLeaves = true});
    for (int start = 0; start < 10; ++start) {
        SCOPED_TRACE(start);
        ProgramRun run;
        run.start(server.displayName());
        // A start that fails does so at once, with a message; one that worked runs until it is told to end.
        ASSERT_EQ(run.waitForExit(1500ms), std::nullopt) << run.errorOutput();
        run.signal(SIGTERM);
        EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
    }
}

// What a user types at a terminal, answered before any display is needed.
TEST(ProgramCommandLine, HelpAndVersionNeedNoDisplayAndAWrongOptionFailsWithCode2) {
    struct Case {
        std::vector<std::string> arguments;
        int code;
        const char* outputHolds;
        const char* errorHolds;
    };
    for (const Case& c :
         {Case{{"--help"}, 0, "because that folder is yours and writable", ""}, Case{{"--version"}, 0, "tappora ", ""},
          Case{{"--bogus"}, 2, "", "unknown option \"--bogus\""}}) {
        ProgramRun run;
        run.start("", c.arguments);
        EXPECT_EQ(run.waitForExit(), c.code) << c.arguments[0] << ": " << run.errorOutput();
        EXPECT_NE(run.standardOutput().find(c.outputHolds), std::string::npos) << run.standardOutput();
        EXPECT_NE(run.errorOutput().find(c.errorHolds), std::string::npos) << run.errorOutput();
        const std::string errors = run.errorOutput();
        EXPECT_LE(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_FALSE(run.readFile("TapporaConfig.xml").has_value()) << "only a run makes the settings file";
    }
}

// The program of the installed package (tools/test-package.sh installs it and names it and a home folder of a user
// who has never started it in TAPPORA_INSTALLED_PROGRAM and TAPPORA_INSTALLED_HOME); skipped otherwise. The home
// folder stays afterwards, so the script can check that removing the package leaves the user's files alone.
class InstalledProgramTest : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TAPPORA_INSTALLED_PROGRAM") || !std::getenv("TAPPORA_INSTALLED_HOME"))
            GTEST_SKIP() << "the package is not installed for this run";
        server = std::make_unique<XvfbServer>();
        target = std::make_unique<TargetClient>(server->displayName());
    }
    std::filesystem::path home() const { return std::getenv("TAPPORA_INSTALLED_HOME"); }
    InstalledCopy installed() const { return {std::getenv("TAPPORA_INSTALLED_PROGRAM"), home()}; }

    std::unique_ptr<XvfbServer> server;
    std::unique_ptr<TargetClient> target;
};

TEST_F(InstalledProgramTest, AFirstStartMakesThePerUserFolderWithTheSettings) {
    std::filesystem::remove_all(home() / ".config" / "tappora");
    ProgramRun run(installed());
    run.start(server->displayName());
    EXPECT_NE(waitForWindow(target->display(), TAPPORA_TITLE), 0u) << run.errorOutput();
    EXPECT_TRUE(run.readFile("TapporaConfig.xml").has_value()) << "the settings template is written at start";
    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
    EXPECT_TRUE(run.readFile("tapporas.xml").has_value());
}

// Runs last (tests run in the order written): its files are the ones the script checks after removing the package.
TEST_F(InstalledProgramTest, ClicksFromTheListInTheUsersFolderAndSavesThereAtClose) {
    ProgramRun run(installed());
    const std::string list = kListHead + item("Left at 900,600", 900, 600, 0, 100, 0, 1, 1, 2) + "</list>";
    run.writeFile("tapporas.xml", list);
    run.writeFile("TapporaConfig.xml", settings("False"));
    run.start(server->displayName());
    const Window window = waitForWindow(target->display(), TAPPORA_TITLE);
    ASSERT_NE(window, 0u) << run.errorOutput();

    pressChord(target->display(), {XK_Control_L}, XK_F2);
    EXPECT_GE(countPresses(target->waitForButtonEvents(2), 1, 900, 600), 1u);
    pressChord(target->display(), {XK_Control_L}, XK_F3);

    sendDeleteWindow(target->display(), window);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
    EXPECT_EQ(run.readFile("tapporas.xml"), list);
    EXPECT_EQ(run.readFile("TapporaConfig.xml"), settings("False"));
    const auto programFolder = std::filesystem::path(installed().program).parent_path();
    EXPECT_FALSE(std::filesystem::exists(programFolder / "tapporas.xml")) << "nothing is written beside the program";
}
