#include "platform/PrimaryMonitor.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {
struct Case {
    const char* name;
    std::vector<MonitorInfo> monitors;
    TRect expected;
};

class PrimaryMonitorArea : public testing::TestWithParam<Case> {};

TEST_P(PrimaryMonitorArea, ChoosesPrimaryElseFirstElseRoot) {
    const Case& c = GetParam();
    EXPECT_EQ(primaryMonitorArea(c.monitors, {3000, 1200}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Monitors, PrimaryMonitorArea,
    testing::Values(
        Case{"none", {}, {0, 0, 3000, 1200}}, Case{"one", {{false, {0, 0, 1920, 1080}}}, {0, 0, 1920, 1080}},
        Case{"primaryRightOfAnother",
             {{false, {0, 0, 1280, 1024}}, {true, {1280, 0, 1920, 1080}}},
             {1280, 0, 1920, 1080}},
        Case{
            "primaryBelowAnother", {{true, {0, 1024, 1280, 1024}}, {false, {0, 0, 1920, 1024}}}, {0, 1024, 1280, 1024}},
        Case{"noPrimary", {{false, {1920, 0, 1600, 900}}, {false, {0, 0, 1920, 1080}}}, {1920, 0, 1600, 900}},
        Case{"twoFlagged",
             {{false, {0, 0, 800, 600}}, {true, {800, 0, 1024, 768}}, {true, {1824, 0, 1920, 1080}}},
             {800, 0, 1024, 768}}),
    [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

// Root pixels and program positions for the layouts a desk has: the primary monitor's top-left is the origin,
// and a monitor left of or above it has negative positions.
TEST(PrimaryMonitorOrigin, TranslatesBetweenRootPixelsAndProgramPositions) {
    struct Translation {
        const char* layout;
        TPoint origin;
        TPoint root;
        TPoint program;
    };
    const std::vector<Translation> cases{
        {"primary at the root's corner", {0, 0}, {500, 400}, {500, 400}},
        {"primary right of a second monitor, pointer on the primary", {1920, 0}, {1930, 5}, {10, 5}},
        {"primary right of a second monitor, pointer on the second", {1920, 0}, {100, 50}, {-1820, 50}},
        {"primary below a second monitor, pointer on the second", {0, 1080}, {300, 20}, {300, -1060}},
        {"primary right of and below", {1280, 200}, {0, 0}, {-1280, -200}},
    };
    for (const Translation& c : cases) {
        EXPECT_EQ(programFromRoot(c.root, c.origin), c.program) << c.layout;
        EXPECT_EQ(rootFromProgram(c.program, c.origin), c.root) << c.layout;
    }
}

// A hand-edited scope far out stays far out on the same side, never wrapping round onto the screen.
TEST(PrimaryMonitorOrigin, PositionsAtTheEdgeOfAnIntStayThere) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(rootFromProgram({kMax - 5, kMin}, {1920, 1080}), (TPoint{kMax, kMin + 1080}));
    EXPECT_EQ(programFromRoot({kMin + 3, kMax}, {1920, -1080}), (TPoint{kMin, kMax}));
}
} // namespace
