// Find now in the editor and `tappora find`, against the running copy under Xvfb: a colour and a picture that the
// target shows are found where they are; once gone, the answer says how near the screen came.
#include "AccessibleNames.h"
#include "PixelTestSupport.h"
#include "RunningCopy.h"
#include "TapporaVersion.h"
#include "pixels/Base64.h"

#include <gtest/gtest.h>

// After gtest: the X headers define macros such as None and Bool that gtest's own names would meet.
#include "XWindows.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <array>
#include <thread>

namespace {
using namespace std::chrono_literals;

constexpr std::uint32_t kBackground = 0x303030;
constexpr std::uint32_t kRed = 0xF00000;

// Colours far from the background, so that no placement over it comes near the picture.
std::uint32_t Badge(int x, int y) {
    return 0xC0A080 + static_cast<std::uint32_t>((x * 7 + y * 13) % 32);
}

std::string Item(const std::string& name, const std::string& what) {
    return R"(<item fPosX="0" fPosY="0" fStartAt="09:30:00" fStartInterval="60" fRepeat="1" fTop="0" fBottom="768" )"
           R"(fLeft="0" fRight="1024" mouseType="0" actionType="0" startType="0" stopType="0" finishType="0" )"
           R"(ScreenType="0" iClickInterval="100" hkStart="1" hkStop="2" checked="True" fRanBegin="100" )"
           R"(fRanEnd="5000" InteverType="0" fName=")" +
           name + "\" " + what + "/>";
}

class FindTest : public RunningCopyTest {
protected:
    std::string list;

    void SetUp() override {
        const std::string picture = StreamToBase64(PixelTest::Bmp24Image(6, 4, Badge));
        // The picture click's colour is the pure red of the mark's frame.
        list = R"(<?xml version="1.0" encoding="utf-8" standalone="yes"?><list versionNo="1.0">)" +
               Item("Red dot", R"(pointType="2" fColor="$000000F0" fColorSimplar="100" fBMP="")") +
               Item("Badge", R"(pointType="3" fColor="$000000FF" fBMPSimplar="95" fBMP=")" + picture + "\"") +
               "</list>";
        target.paint(0, 0, 1024, 768, [](int, int) { return kBackground; });
    }
};

// The windows of Find now's mark shown now, by place and size; each takes no part in the window manager's focus. A
// window may go while it is looked at: that is no error that ends the test.
std::vector<std::array<int, 4>> MarkBars(Display* display) {
    XSync(display, False);
    const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, root, &root, &parent, &children, &count);
    std::vector<std::array<int, 4>> bars;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes window{};
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) && std::string(title) == "Find now mark" &&
            XGetWindowAttributes(display, children[i], &window) && window.map_state == IsViewable) {
            EXPECT_TRUE(window.override_redirect);
            bars.push_back({window.x, window.y, window.width, window.height});
        }
        XFree(title);
    }
    XFree(children);
    XSync(display, False);
    XSetErrorHandler(previous);
    return bars;
}

bool MarkShownWithin(Display* display, bool shown, std::chrono::seconds timeout) {
    for (auto end = std::chrono::steady_clock::now() + timeout; std::chrono::steady_clock::now() < end;) {
        if (MarkBars(display).empty() != shown)
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

bool Holds(const std::vector<std::array<int, 4>>& bars, std::array<int, 4> bar) {
    return std::find(bars.begin(), bars.end(), bar) != bars.end();
}

TEST_F(FindTest, FindsTheColourAndThePictureShownAndOnceGoneSaysHowNearTheScreenCame) {
    startRunning(list);
    target.paint(300, 200, 1, 1, [](int, int) { return kRed; });
    target.paint(500, 400, 6, 4, [](int x, int y) { return Badge(x - 500, y - 400); });

    const CommandReply colour = command({"find", "Red dot"});
    EXPECT_EQ(colour.code, 0) << colour.output << run.errorOutput();
    EXPECT_EQ(colour.output.rfind("#1 \"Red dot\": Found at (300, 200) in ", 0), 0u) << colour.output;
    const CommandReply picture = command({"find", "--json", "Badge"});
    EXPECT_EQ(picture.code, 0) << picture.output;
    EXPECT_NE(picture.output.find(R"("result": "found", "at": {"x": 503, "y": 402})"), std::string::npos)
        << picture.output;

    target.paint(300, 200, 1, 1, [](int, int) { return kBackground; });
    target.paint(500, 400, 6, 4, [](int, int) { return kBackground; });
    target.paint(10, 10, 1, 1, [](int, int) { return 0xE80400u; });
    target.paint(700, 100, 6, 4, [](int x, int y) { return Badge(x - 700, y - 100) + (x == 702 ? 40 : 0); });

    const CommandReply nearColour = command({"find", "Red dot"});
    EXPECT_EQ(nearColour.code, 4);
    EXPECT_NE(nearColour.output.find("Not found in "), std::string::npos) << nearColour.output;
    EXPECT_NE(nearColour.output.find("Nearest: (10, 10), colour $000004E8, beyond the tolerance by red 8, green 4, "
                                     "blue 0.\n"),
              std::string::npos)
        << nearColour.output;
    const CommandReply nearPicture = command({"find", "Badge"});
    EXPECT_EQ(nearPicture.code, 4);
    EXPECT_NE(nearPicture.output.find("Best place: (700, 100) at 84% similarity, 95% asked.\n"), std::string::npos)
        << nearPicture.output;
    EXPECT_TRUE(target.pumpEvents().empty()) << "find clicks nothing";

    // Running, the click keeps its last search, which the list shows.
    ASSERT_EQ(command({"start", "Badge"}).code, 0);
    std::string listed;
    for (int wait = 0; wait < 50 && listed.find("not found") == std::string::npos; ++wait) {
        std::this_thread::sleep_for(100ms);
        listed = command({"list", "--json"}).output;
    }
    EXPECT_NE(listed.find(R"("name": "Badge", "state": "running", "clicks": 0)"), std::string::npos) << listed;
    EXPECT_NE(listed.find(R"("lastSearch": "not found)"), std::string::npos) << listed;
}

// The editor on the real X server, driven by the mouse and read as a screen reader reads it.
TEST_F(FindTest, FindNowInTheEditorMarksWhatItFoundWithoutTakingFocusOrPointerAndTellsTheNearestMiss) {
    const AccessibleNames names;
    for (const auto& [name, value] : names.environment())
        run.setEnvironment(name, value);
    startRunning(list, {});
    Display* display = target.display();
    // Beside the editor: the target does not repaint what the editor uncovers when it gets out of the way.
    target.paint(1000, 100, 1, 1, [](int, int) { return kRed; });
    target.paint(950, 600, 6, 4, [](int x, int y) { return Badge(x - 950, y - 600); });
    const Window main = waitForWindow(display, TAPPORA_TITLE);
    ASSERT_TRUE(waitUntilViewable(display, main)) << run.errorOutput();
    std::this_thread::sleep_for(300ms);
    int x = 0, y = 0;
    originOf(display, main, x, y);
    clickAt(display, x + 42, y + 129, 1); // the second row, "Badge"
    clickAt(display, x + 92, y + 56, 1);  // Edit
    const Window editor = waitForWindow(display, "Edit Mouse Action");
    ASSERT_TRUE(waitUntilViewable(display, editor));
    std::this_thread::sleep_for(300ms);
    originOf(display, editor, x, y);
    const auto findNow = [&](const std::string& lineStart) {
        clickAt(display, x + 51, y + 649, 1);
        return names.waitFor(lineStart);
    };

    EXPECT_NE(findNow("Found at (953, 602) in "), "") << names.all();
    ASSERT_TRUE(MarkShownWithin(display, true, 10s));
    EXPECT_TRUE(Holds(MarkBars(display), {948, 598, 10, 2})) << "the frame's top, outside the picture";
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    EXPECT_EQ(focus, editor);
    EXPECT_EQ(XGrabPointer(display, DefaultRootWindow(display), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, 0,
                           0, CurrentTime),
              GrabSuccess);
    XUngrabPointer(display, CurrentTime);
    EXPECT_TRUE(MarkShownWithin(display, false, 20s)) << "the mark goes by itself";

    // Pure red is shown now only by the editor's swatch and by the mark, which no search may see.
    clickAt(display, x + 51, y + 649, 1);
    ASSERT_TRUE(MarkShownWithin(display, true, 10s));
    clickAt(display, x + 30, y + 179, 1); // "Search color block and click"
    const std::string missed = findNow("Not found in ");
    EXPECT_NE(missed.find("Nearest: (1000, 100), colour $000000F0, beyond the tolerance by red 15, green 0, blue 0."),
              std::string::npos)
        << missed;

    target.paint(1000, 100, 1, 1, [](int, int) { return 0xFF0000u; });
    EXPECT_NE(findNow("Found at (1000, 100) in "), "") << names.all();
    ASSERT_TRUE(MarkShownWithin(display, true, 10s));
    EXPECT_TRUE(Holds(MarkBars(display), {985, 99, 12, 3})) << "the cross's left arm, beside the pixel";

    target.paint(950, 600, 6, 4, [](int, int) { return kBackground; });
    target.paint(1000, 650, 6, 4, [](int x, int y) { return Badge(x - 1000, y - 650) + (x == 1002 ? 40 : 0); });
    clickAt(display, x + 30, y + 328, 1); // "Search picture and click"
    const std::string gone = findNow("Not found in ");
    EXPECT_NE(gone.find("Best place: (1000, 650) at 84% similarity, 95% asked."), std::string::npos) << gone;

    clickAt(display, x + 354, y + 698, 1); // Cancel
    ASSERT_EQ(command({"start", "Badge"}).code, 0);
    EXPECT_NE(names.waitFor("running 0 times; not found "), "") << "the list's cell: " << names.all();
    EXPECT_TRUE(target.pumpEvents().empty()) << "Find now clicks nothing";
}
} // namespace
