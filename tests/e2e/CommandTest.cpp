// Commands from outside, sent by a second process of the real program to the copy running under Xvfb.
#include "RunningCopy.h"
#include "TapporaVersion.h"

#include <gtest/gtest.h>

#include "XWindows.h"

#include <algorithm>
#include <filesystem>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kList = R"(<?xml version="1.0" encoding="utf-8" standalone="yes"?>)"
                          R"(<list versionNo="1.0" generated="https://tappora.example.org/">)"
                          R"(<item fPosX="700" fPosY="500" fStartAt="09:30:00" fStartInterval="60" fRepeat="0" )"
                          R"(fColor="clBlack" fTop="0" fBottom="768" fLeft="0" fRight="1024" fBMP="" )"
                          R"(fColorSimplar="100" fBMPSimplar="100" pointType="1" mouseType="1" actionType="0" )"
                          R"(startType="0" stopType="0" finishType="0" ScreenType="0" iClickInterval="100" )"
                          R"(hkStart="1" hkStop="2" fName="Farm gold" checked="True" fRanBegin="100" )"
                          R"(fRanEnd="5000" InteverType="0"/></list>)";

std::size_t pressesAtTheClick(const std::vector<ButtonRecord>& events) {
    return std::size_t(std::count_if(events.begin(), events.end(), [](const ButtonRecord& r) {
        return r.kind == ButtonRecord::Press && r.rootX == 700 && r.rootY == 500;
    }));
}

// A client of the channel that is no `tappora`: connected, it sends `bytes` (perhaps none) and keeps the line open.
class RawClient {
public:
    RawClient(const fs::path& runtime, const std::string& bytes) : m_fd(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{AF_UNIX, {}};
        for (const auto& entry : fs::directory_iterator(runtime))
            if (entry.is_socket())
                entry.path().string().copy(address.sun_path, sizeof address.sun_path - 1);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                      ::write(m_fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }
    ~RawClient() { ::close(m_fd); }
    bool connected() const { return m_connected; }
    // True when the copy has closed the line (with or without an answer) within `timeout`.
    bool droppedWithin(std::chrono::milliseconds timeout) const {
        char bytes[256];
        for (auto end = std::chrono::steady_clock::now() + timeout; std::chrono::steady_clock::now() < end;) {
            pollfd ready{m_fd, POLLIN, 0};
            if (::poll(&ready, 1, 100) > 0 && ::read(m_fd, bytes, sizeof bytes) <= 0)
                return true;
        }
        return false;
    }

private:
    int m_fd;
    bool m_connected = false;
};

class CommandTest : public RunningCopyTest {
protected:
    void SetUp() override { startRunning(kList); }
};

TEST_F(CommandTest, StartAndStopByNameClickTheTargetAndListTellsStateAndCount) {
    EXPECT_EQ(command({"start", "Farm gold"}).output, "Started #1 \"Farm gold\".\n");
    EXPECT_GE(pressesAtTheClick(target.waitForButtonEvents(6)), 3u) << run.errorOutput();
    EXPECT_EQ(command({"stop", "Farm gold"}).code, 0);
    const std::size_t afterStop = pressesAtTheClick(target.pumpEvents());
    std::this_thread::sleep_for(600ms);
    EXPECT_LE(pressesAtTheClick(target.pumpEvents()), afterStop + 1) << "at most one click was on its way";

    const CommandReply list = command({"list", "--json"});
    EXPECT_EQ(list.code, 0);
    EXPECT_NE(list.output.find(R"({"row": 1, "name": "Farm gold", "state": "stopped", "clicks": )"), std::string::npos)
        << list.output;
    const std::size_t count = std::stoul(list.output.substr(list.output.find("\"clicks\": ") + 10));
    EXPECT_GE(count, 3u) << list.output;
    EXPECT_LE(count, pressesAtTheClick(target.pumpEvents()));

    EXPECT_EQ(command({"quit"}).code, 0);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
    EXPECT_NE(run.readFile("tapporas.xml").value_or("").find("Farm gold"), std::string::npos) << "saved as Exit does";
}

TEST_F(CommandTest, ExitCodesSayWhatHappened) {
    struct Case {
        std::vector<std::string> arguments;
        int code;
        const char* outputHolds;
        const char* errorHolds;
    };
    for (const Case& c : {Case{{"toggle", "#1", "Nope"}, 1, "No click in the list is named \"Nope\".", ""},
                          Case{{"start"}, 2, "", "\"start\" needs the name of at least one click"},
                          Case{{"list", "--jsn"}, 2, "", "\"list\" takes nothing but --json."}}) {
        const CommandReply reply = command(c.arguments);
        EXPECT_EQ(reply.code, c.code) << c.arguments[0] << ": " << reply.errors;
        EXPECT_NE(reply.output.find(c.outputHolds), std::string::npos) << reply.output;
        EXPECT_NE(reply.errors.find(c.errorHolds), std::string::npos) << reply.errors;
    }
    ProgramRun elsewhere;
    elsewhere.setEnvironment("XDG_RUNTIME_DIR", runtime.text());
    elsewhere.start("", {"show"});
    EXPECT_EQ(elsewhere.waitForExit(), 3);
    EXPECT_EQ(elsewhere.errorOutput(), "tappora: No Tappora is running with the files in " +
                                           elsewhere.folder().string() +
                                           "; start it with \"tappora\" (or \"tappora --hidden\" for the "
                                           "notification area) and try again.\n");
}

TEST_F(CommandTest, ClientsThatSendNothingOrGarbageAreDroppedWhileTheWindowAnswersOthers) {
    const RawClient silent(runtime.path(), "");
    const RawClient garbage(runtime.path(), "GET / HTTP/1.0\r\n\r\n");
    const RawClient unfinished(runtime.path(), "TAPPORA/1\tlist");
    ASSERT_TRUE(silent.connected() && garbage.connected() && unfinished.connected());

    EXPECT_EQ(command({"show"}).code, 0);
    EXPECT_FALSE(silent.droppedWithin(0ms)) << "answered while the silent client still waited";
    EXPECT_TRUE(waitUntilViewable(target.display(), waitForWindow(target.display(), TAPPORA_TITLE)))
        << "shown from the notification area";

    EXPECT_TRUE(garbage.droppedWithin(500ms));
    EXPECT_TRUE(silent.droppedWithin(3s));
    EXPECT_TRUE(unfinished.droppedWithin(1s));
}
} // namespace
