// Drawing reports from a real X server: what a client draws after a copy is reported to the next question, so the
// searches sharing one copy of the screen see it; a server without DAMAGE reports nothing and every search copies.
// gtest first: the X headers define None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "engine/Search.h"
#include "engine/SharedScreen.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Screen.h"

#include "TargetClient.h"
#include "XvfbServer.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::uint32_t kBackground = 0x203040;
constexpr std::uint32_t kWanted = 0xFA0A05;

bool Covers(const std::vector<TRect>& areas, int x, int y) {
    return std::any_of(areas.begin(), areas.end(), [&](const TRect& r) {
        return x >= r.left && y >= r.top && x < r.left + r.width && y < r.top + r.height;
    });
}

class X11DamageTest : public testing::TestWithParam<bool> {
protected:
    X11DamageTest()
        : server(XvfbOptions{.width = kWidth, .height = kHeight, .damage = GetParam()}), target(server.displayName()),
          connection(X11Connection::open(server.displayName())), screen(connection->display()) {
        target.paint(0, 0, kWidth, kHeight, [](int, int) { return kBackground; });
    }
    ~X11DamageTest() override { SharedScreen().Clear(); }

    void PaintPixel(int x, int y, std::uint32_t rgb) {
        target.paint(x, y, 1, 1, [rgb](int, int) { return rgb; });
    }
    TPoint FindWanted(int left = 0, int top = 0, int right = kWidth, int bottom = kHeight,
                      TSearchMemo* memo = nullptr) {
        return SearchColorBlock(screen, std::to_string(SwapRB(kWanted)), left, top, right, bottom, 100, {0, memo});
    }

    XvfbServer server;
    TargetClient target;
    std::unique_ptr<X11Connection> connection;
    X11Screen screen;
};

} // namespace

TEST_P(X11DamageTest, ReportsTheAreasAClientDrewOnSinceTheLastQuestion) {
    EXPECT_FALSE(screen.changedAreas()) << "the first question starts the reports";
    const std::optional<std::vector<TRect>> nothing = screen.changedAreas();
    ASSERT_EQ(nothing.has_value(), GetParam());
    if (!GetParam())
        return;
    EXPECT_FALSE(Covers(*nothing, 300, 200));
    PaintPixel(300, 200, kWanted);
    const std::optional<std::vector<TRect>> drawn = screen.changedAreas();
    ASSERT_TRUE(drawn);
    EXPECT_TRUE(Covers(*drawn, 300, 200));
    EXPECT_FALSE(Covers(*drawn, 10, 10));
    EXPECT_FALSE(Covers(*screen.changedAreas(), 300, 200)) << "reported once";
}

// Also with a kept answer, as a runner searches: it is brought up to date from the areas the server reports.
TEST_P(X11DamageTest, APixelPaintedAfterACopyIsSeenByTheNextSearch) {
    TSearchMemo memo;
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(FindWanted(0, 0, kWidth, kHeight, &memo), (TPoint{-1, -1}));
    PaintPixel(600, 400, kWanted);
    EXPECT_EQ(FindWanted(0, 0, kWidth, kHeight, &memo), (TPoint{600, 400}));
    EXPECT_EQ(FindWanted(500, 300, 640, 480), (TPoint{600, 400}));
    PaintPixel(20, 30, kWanted);
    EXPECT_EQ(FindWanted(0, 0, kWidth, kHeight, &memo), (TPoint{20, 30}));
    PaintPixel(20, 30, kBackground);
    EXPECT_EQ(FindWanted(0, 0, kWidth, kHeight, &memo), (TPoint{600, 400}));
    PaintPixel(600, 400, kBackground);
    EXPECT_EQ(FindWanted(0, 0, kWidth, kHeight, &memo), (TPoint{-1, -1}));
}

TEST_P(X11DamageTest, AWindowMappedOverTheScreenIsSeenByTheNextSearch) {
    EXPECT_EQ(FindWanted(), (TPoint{-1, -1}));
    EXPECT_EQ(FindWanted(), (TPoint{-1, -1}));
    TargetClient cover(server.displayName()); // a second full-screen window on top, painted black
    EXPECT_EQ(SearchColorBlock(screen, std::to_string(SwapRB(kBackground)), 0, 0, kWidth, kHeight, 100),
              (TPoint{-1, -1}));
    cover.paint(100, 100, 1, 1, [](int, int) { return kWanted; });
    EXPECT_EQ(FindWanted(), (TPoint{100, 100}));
}

INSTANTIATE_TEST_SUITE_P(Server, X11DamageTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "WithDamage" : "WithoutDamage";
                         });
