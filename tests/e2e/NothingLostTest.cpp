// The real program ended in the ways a session ends without Exit: the X server gone, the terminal closed. Each time
// the user's changes are on disk, compared byte for byte.
#include "ProgramRun.h"
#include "TapporaVersion.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include "XWindows.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

namespace {
using namespace std::chrono_literals;

const std::string kListHead = R"(<?xml version="1.0" encoding="utf-8" standalone="yes"?>)"
                              R"(<list versionNo="1.0" generated="https://tappora.example.org/">)";

// A click as the program writes it, so an unchanged list saves byte for byte.
std::string item(const std::string& name) {
    return R"(<item fPosX="0" fPosY="0" fStartAt="" fStartInterval="10000" fRepeat="100" fColor="clBlack" fTop="0" )"
           R"(fBottom="768" fLeft="0" fRight="1024" fBMP="" fColorSimplar="100" fBMPSimplar="100" pointType="0" )"
           R"(mouseType="0" actionType="0" startType="0" stopType="0" finishType="0" ScreenType="0" )"
           R"(iClickInterval="1000" hkStart="0" hkStop="2" fName=")" +
           name + R"(" checked="True" fRanBegin="100" fRanEnd="5000" InteverType="0"/>)";
}

// Our own connection to the server, closed before the server goes so that nothing of ours meets the broken one.
class XConnection {
public:
    explicit XConnection(const std::string& displayName) : m_display(XOpenDisplay(displayName.c_str())) {}
    ~XConnection() { close(); }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
    Display* display() const { return m_display; }
    void close() {
        if (m_display)
            XCloseDisplay(m_display);
        m_display = nullptr;
    }

private:
    Display* m_display;
};

// New with the editor's defaults, clicked as a user would: the New button, then OK in the editor.
void addClickWithTheMouse(Display* display, Window main) {
    int x = 0, y = 0;
    originOf(display, main, x, y);
    clickAt(display, x + 32, y + 42, 1);
    const Window editor = waitForWindow(display, "New Mouse Action");
    ASSERT_NE(editor, 0u);
    std::this_thread::sleep_for(500ms);
    originOf(display, editor, x, y);
    clickAt(display, x + 265, y + 674, 1);
}

bool eventually(const std::function<bool()>& condition) {
    for (int attempt = 0; attempt < 150; ++attempt) {
        if (condition())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}
} // namespace

TEST(NothingLostTest, WithTheXServerGoneTheEditsAreOnDiskAndTheWindowPlaceIsSaved) {
    XvfbServer server;
    XConnection x(server.displayName());
    ASSERT_NE(x.display(), nullptr);
    ProgramRun run;
    run.writeFile("tapporas.xml", kListHead + item("Before") + "</list>");
    run.start(server.displayName());
    const Window main = waitForWindow(x.display(), TAPPORA_TITLE);
    ASSERT_NE(main, 0u) << run.errorOutput();
    std::this_thread::sleep_for(500ms);

    addClickWithTheMouse(x.display(), main);
    ASSERT_TRUE(eventually([&] {
        return run.readFile("tapporas.xml").value_or("").find("New Click") != std::string::npos;
    })) << "the new click is saved at once\n"
        << run.errorOutput();
    const std::string afterEdit = *run.readFile("tapporas.xml");
    XMoveWindow(x.display(), main, 123, 45);
    XSync(x.display(), False);
    std::this_thread::sleep_for(500ms);
    x.close();

    server.crash();

    // Qt ends the process with code 1 (a sanitizer build may add its own code for what the toolkit left behind).
    const std::optional<int> code = run.waitForExit();
    ASSERT_TRUE(code.has_value()) << "the program ended" << run.errorOutput();
    EXPECT_NE(*code, 0);
    EXPECT_EQ(run.readFile("tapporas.xml"), afterEdit);
    EXPECT_NE(afterEdit.find(item("Before")), std::string::npos);
    const std::string settings = run.readFile("TapporaConfig.xml").value_or("");
    EXPECT_NE(settings.find(R"(<frame left="123" top="45")"), std::string::npos)
        << "the settings are saved on the way out\n"
        << settings << '\n'
        << run.errorOutput();
}

TEST(NothingLostTest, AHangUpClosesLikeATerminationAndTheStartClearsLeftovers) {
    XvfbServer server;
    XConnection x(server.displayName());
    ProgramRun run;
    const std::string list = kListHead + item("Kept") + "</list>";
    run.writeFile("tapporas.xml", list);
    run.writeFile("tapporas.xml.tmp-123456", "<?xml version=\"1.0\"?><list><item fName=\"hal");
    run.start(server.displayName());
    ASSERT_NE(waitForWindow(x.display(), TAPPORA_TITLE), 0u) << run.errorOutput();
    EXPECT_FALSE(run.readFile("tapporas.xml.tmp-123456").has_value()) << "a killed save's leftover is removed";

    run.signal(SIGHUP);

    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
    EXPECT_EQ(run.readFile("tapporas.xml"), list);
    EXPECT_TRUE(run.readFile("TapporaConfig.xml").has_value());
}
