#include "ProgramRun.h"
#include "TapporaVersion.h"
#include "TargetClient.h"
#include "XTestKeys.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include "XWindows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
using namespace std::chrono_literals;

// trayer as the notification area, in the top left corner of the screen.
class Trayer {
public:
    explicit Trayer(const std::string& displayName) {
        m_pid = ::fork();
        if (m_pid == 0) {
            ::execlp("trayer", "trayer", "--display", displayName.c_str(), "--edge", "top", "--align", "left",
                     "--widthtype", "pixel", "--width", "60", "--height", "24", static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Trayer() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    Trayer(const Trayer&) = delete;
    Trayer& operator=(const Trayer&) = delete;

private:
    pid_t m_pid = -1;
};

bool becomes(Display* display, Window window, bool viewable) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (isViewable(display, window) == viewable)
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}
} // namespace

TEST(TrayTest, ALeftClickOnTheIconHidesAndShowsTheWindowOtherClicksDoNothing) {
    XvfbServer server;
    TargetClient target(server.displayName());
    Display* display = target.display();
    Trayer trayer(server.displayName());
    const Window panel = waitForWindow(display, "panel");
    ASSERT_NE(panel, 0u) << "trayer did not start";

    ProgramRun run;
    run.writeFile("tapporas.xml",
                  R"(<?xml version="1.0"?><list versionNo="1.0"><item fName="While hidden" pointType="1" )"
                  R"(fPosX="900" fPosY="600" iClickInterval="100" stopType="1" fRepeat="2" hkStart="1" hkStop="2" )"
                  R"(checked="True"/></list>)");
    run.start(server.displayName());
    const Window main = waitForWindow(display, TAPPORA_TITLE);
    ASSERT_NE(main, 0u) << run.errorOutput();
    const Window icon = waitForDescendant(display, panel, "tappora");
    ASSERT_NE(icon, 0u);
    ASSERT_TRUE(becomes(display, main, true));
    int x = 0, y = 0;
    centreOf(display, icon, x, y);

    clickAt(display, x, y, 1);
    EXPECT_TRUE(becomes(display, main, false)) << "the first left click hides the window";
    clickAt(display, x, y, 3);
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(isViewable(display, main)) << "a right click is ignored";

    target.clearEvents();
    pressChord(display, {XK_Control_L}, XK_F2);
    const auto& events = target.waitForButtonEvents(4);
    ASSERT_EQ(events.size(), 4u) << "the hotkeys work while the window is hidden";
    EXPECT_EQ(events[0], (ButtonRecord{ButtonRecord::Press, 1, 900, 600}));
    clickAt(display, x, y, 1);
    EXPECT_TRUE(becomes(display, main, true)) << "the next left click shows it again";

    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
    EXPECT_TRUE(run.readFile("tapporas.xml").has_value());
}

namespace {
// What a window manager does when the user minimises a window: it unmaps it and marks it iconic.
void iconify(Display* display, Window window) {
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    const long state[] = {IconicState, 0};
    XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(state), 2);
    XUnmapWindow(display, window);
    XSync(display, False);
}
} // namespace

TEST(TrayTest, MinimisingHidesTheWindowToTheIconAndALeftClickBringsItBack) {
    XvfbServer server;
    TargetClient target(server.displayName());
    Display* display = target.display();
    Trayer trayer(server.displayName());
    const Window panel = waitForWindow(display, "panel");
    ASSERT_NE(panel, 0u) << "trayer did not start";
    ProgramRun run;
    run.start(server.displayName());
    const Window main = waitForWindow(display, TAPPORA_TITLE);
    ASSERT_NE(main, 0u) << run.errorOutput();
    const Window icon = waitForDescendant(display, panel, "tappora");
    ASSERT_NE(icon, 0u);
    ASSERT_TRUE(becomes(display, main, true));

    iconify(display, main);
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(isViewable(display, main));
    int x = 0, y = 0;
    centreOf(display, icon, x, y);
    clickAt(display, x, y, 1);
    EXPECT_TRUE(becomes(display, main, true)) << "one left click brings the window back";

    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
}

TEST(TrayTest, ASecondStartForTheSameFolderShowsTheFirstCopyFromTheIconAndEnds) {
    XvfbServer server;
    TargetClient target(server.displayName());
    Display* display = target.display();
    Trayer trayer(server.displayName());
    const Window panel = waitForWindow(display, "panel");
    ASSERT_NE(panel, 0u) << "trayer did not start";
    ProgramRun first;
    first.writeFile(
        "tapporas.xml",
        R"(<?xml version="1.0"?><list versionNo="1.0"><item fName="Mine" pointType="1" fPosX="900" )"
        R"(fPosY="600" iClickInterval="100" stopType="1" fRepeat="2" hkStart="1" hkStop="2" checked="True"/></list>)");
    first.start(server.displayName());
    const Window main = waitForWindow(display, TAPPORA_TITLE);
    ASSERT_NE(main, 0u) << first.errorOutput();
    ASSERT_NE(waitForDescendant(display, panel, "tappora"), 0u);
    ASSERT_TRUE(becomes(display, main, true));
    iconify(display, main);
    ASSERT_TRUE(becomes(display, main, false));
    const auto list = first.readFile("tapporas.xml");
    const auto settings = first.readFile("TapporaConfig.xml");
    const auto written = std::filesystem::last_write_time(first.folder() / "TapporaConfig.xml");

    ProgramRun second(AnotherStart{first});
    second.start(server.displayName());

    EXPECT_EQ(second.waitForExit(), 0) << second.errorOutput();
    // Qt may add its own notes; the program says one thing.
    const std::string said = "tappora: Tappora is already running with the files in " + first.folder().string() +
                             "; its window was brought to the front.\n";
    EXPECT_NE(second.errorOutput().find(said), std::string::npos) << second.errorOutput();
    EXPECT_TRUE(becomes(display, main, true)) << "the first copy shows its window";
    EXPECT_EQ(first.readFile("tapporas.xml"), list);
    EXPECT_EQ(first.readFile("TapporaConfig.xml"), settings);
    EXPECT_EQ(std::filesystem::last_write_time(first.folder() / "TapporaConfig.xml"), written);
    target.clearEvents();
    pressChord(display, {XK_Control_L}, XK_F2);
    EXPECT_EQ(target.waitForButtonEvents(4).size(), 4u) << "the first copy alone answers its hotkeys";
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(target.pumpEvents().size(), 4u) << "and nobody clicks twice";

    first.signal(SIGTERM);
    EXPECT_EQ(first.waitForExit(), 0) << first.errorOutput();
}
