// `tappora find` against the running copy under Xvfb: a colour and a picture that the target shows are found where
// they are; once gone, the answer says how near the screen came, and the exit code tells a script.
#include "PixelTestSupport.h"
#include "ProgramRun.h"
#include "TargetClient.h"
#include "TempFolder.h"
#include "XvfbServer.h"
#include "pixels/Base64.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::uint32_t kBackground = 0x303030;
constexpr std::uint32_t kRed = 0xF00000;

// Colours far from the background, so that no placement over it comes near the picture.
std::uint32_t Badge(int x, int y) {
    return 0xC0A080 + static_cast<std::uint32_t>((x * 7 + y * 13) % 32);
}

std::string Item(const std::string& name, const std::string& what) {
    return R"(<item fPosX="0" fPosY="0" fStartAt="09:30:00" fStartInterval="60" fRepeat="0" fTop="0" fBottom="768" )"
           R"(fLeft="0" fRight="1024" mouseType="0" actionType="0" startType="0" stopType="0" finishType="0" )"
           R"(ScreenType="0" iClickInterval="100" hkStart="1" hkStop="2" checked="True" fRanBegin="100" )"
           R"(fRanEnd="5000" InteverType="0" fName=")" +
           name + "\" " + what + "/>";
}

struct Reply {
    std::optional<int> code;
    std::string output;
};

class FindTest : public testing::Test {
protected:
    XvfbServer server;
    TargetClient target{server.displayName()};
    TempFolder runtime{"tappora-runtime"};
    ProgramRun run;

    void SetUp() override {
        fs::permissions(runtime.path(), fs::perms::owner_all, fs::perm_options::replace);
        const std::string picture = StreamToBase64(PixelTest::Bmp24Image(6, 4, Badge));
        run.setEnvironment("XDG_RUNTIME_DIR", runtime.text());
        run.writeFile("tapporas.xml",
                      R"(<?xml version="1.0" encoding="utf-8" standalone="yes"?><list versionNo="1.0">)" +
                          Item("Red dot", R"(pointType="2" fColor="$000000F0" fColorSimplar="100" fBMP="")") +
                          Item("Badge", R"(pointType="3" fColor="clBlack" fBMPSimplar="95" fBMP=")" + picture + "\"") +
                          "</list>");
        run.writeFile("TapporaConfig.xml", TopLeftSettings(false));
        target.paint(0, 0, 1024, 768, [](int, int) { return kBackground; });
        run.start(server.displayName(), {"--hidden"});
        for (int wait = 0; wait < 100 && fs::is_empty(runtime.path()); ++wait)
            std::this_thread::sleep_for(50ms);
    }

    Reply find(const std::vector<std::string>& arguments) {
        ProgramRun sent{AnotherStart{run}};
        sent.setEnvironment("XDG_RUNTIME_DIR", runtime.text());
        std::vector<std::string> all{"find"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        sent.start("", all);
        const std::optional<int> code = sent.waitForExit();
        return {code, sent.standardOutput()};
    }
};

TEST_F(FindTest, FindsTheColourAndThePictureShownAndOnceGoneSaysHowNearTheScreenCame) {
    target.paint(300, 200, 1, 1, [](int, int) { return kRed; });
    target.paint(500, 400, 6, 4, [](int x, int y) { return Badge(x - 500, y - 400); });

    const Reply colour = find({"Red dot"});
    EXPECT_EQ(colour.code, 0) << colour.output << run.errorOutput();
    EXPECT_EQ(colour.output.rfind("#1 \"Red dot\": Found at (300, 200) in ", 0), 0u) << colour.output;
    const Reply picture = find({"--json", "Badge"});
    EXPECT_EQ(picture.code, 0) << picture.output;
    EXPECT_NE(picture.output.find(R"("result": "found", "at": {"x": 503, "y": 402})"), std::string::npos)
        << picture.output;

    target.paint(300, 200, 1, 1, [](int, int) { return kBackground; });
    target.paint(500, 400, 6, 4, [](int, int) { return kBackground; });
    target.paint(10, 10, 1, 1, [](int, int) { return 0xE80400u; });
    target.paint(700, 100, 6, 4, [](int x, int y) { return Badge(x - 700, y - 100) + (x == 702 ? 40 : 0); });

    const Reply nearColour = find({"Red dot"});
    EXPECT_EQ(nearColour.code, 4);
    EXPECT_NE(nearColour.output.find("Not found in "), std::string::npos) << nearColour.output;
    EXPECT_NE(nearColour.output.find("Nearest: (10, 10), colour $000004E8, beyond the tolerance by red 8, green 4, "
                                     "blue 0.\n"),
              std::string::npos)
        << nearColour.output;
    const Reply nearPicture = find({"Badge"});
    EXPECT_EQ(nearPicture.code, 4);
    EXPECT_NE(nearPicture.output.find("Best place: (700, 100) at 84% similarity, 95% asked.\n"), std::string::npos)
        << nearPicture.output;
    EXPECT_TRUE(target.pumpEvents().empty()) << "find clicks nothing";

    // Running, the click keeps its last search, which the list shows.
    ProgramRun started{AnotherStart{run}};
    started.setEnvironment("XDG_RUNTIME_DIR", runtime.text());
    started.start("", {"start", "Badge"});
    ASSERT_EQ(started.waitForExit(), 0);
    std::string list;
    for (int wait = 0; wait < 50 && list.find("not found") == std::string::npos; ++wait) {
        std::this_thread::sleep_for(100ms);
        ProgramRun listed{AnotherStart{run}};
        listed.setEnvironment("XDG_RUNTIME_DIR", runtime.text());
        listed.start("", {"list", "--json"});
        listed.waitForExit();
        list = listed.standardOutput();
    }
    EXPECT_NE(list.find(R"("name": "Badge", "state": "running", "clicks": 0)"), std::string::npos) << list;
    EXPECT_NE(list.find(R"("lastSearch": "not found)"), std::string::npos) << list;
}
} // namespace
