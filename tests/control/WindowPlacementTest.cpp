#include "control/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    const char* what;
    TRect stored;
    std::vector<TRect> monitors;
    TRect expected;
};

class WindowPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

const TRect kFullHd{0, 0, 1920, 1080};
const TRect kRightOfIt{1920, 0, 1280, 1024};
const TRect kLeftOfIt{-1280, 0, 1280, 1024};

TEST_P(WindowPlacementTest, FitsTheStoredBounds) {
    const PlacementCase& c = GetParam();
    EXPECT_EQ(FitOnMonitors(c.stored, c.monitors), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, WindowPlacementTest,
    ::testing::Values(
        PlacementCase{"sane bounds stay", {296, 228, 687, 344}, {kFullHd}, {296, 228, 687, 344}},
        PlacementCase{"no monitors known: kept", {2500, 0, 9000, 9000}, {}, {2500, 0, 9000, 9000}},
        PlacementCase{"a huge frame is held to the desktop and put on it",
                      {0, 0, 2000000000, 2000000000},
                      {kFullHd},
                      {0, 0, 1920, 1080}},
        PlacementCase{
            "right of the only monitor: moved back onto it", {2500, 228, 687, 344}, {kFullHd}, {1233, 228, 687, 344}},
        PlacementCase{
            "far above and left: moved onto the primary", {-5000, -5000, 687, 344}, {kFullHd}, {0, 0, 687, 344}},
        PlacementCase{
            "on a second monitor: stays", {2500, 100, 687, 344}, {kFullHd, kRightOfIt}, {2500, 100, 687, 344}},
        PlacementCase{"on a monitor left of the primary: stays",
                      {-1000, 50, 687, 344},
                      {kFullHd, kLeftOfIt},
                      {-1000, 50, 687, 344}},
        PlacementCase{
            "hanging off the right edge but grabbable: stays", {1800, 100, 687, 344}, {kFullHd}, {1800, 100, 687, 344}},
        PlacementCase{"too little of it left to grab: moved", {1850, 100, 687, 344}, {kFullHd}, {1233, 100, 687, 344}},
        PlacementCase{"its top above the screen: moved down", {100, -10, 687, 344}, {kFullHd}, {100, 0, 687, 344}},
        PlacementCase{"spanning two monitors may be as wide as both",
                      {0, 0, 3200, 900},
                      {kFullHd, kRightOfIt},
                      {0, 0, 3200, 900}},
        PlacementCase{"no size at all: the usual size", {10, 10, 0, -5}, {kFullHd}, {10, 10, 687, 344}},
        PlacementCase{"near the extremes of int, no overflow",
                      {2147483000, 2147483000, 2147483647, 2147483647},
                      {kFullHd},
                      {0, 0, 1920, 1080}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace

// Stored bounds are the outer frame in both front ends; Qt places a window by its client area.
TEST(WindowFrameTest, TheClientAreaGivesTheWantedOuterFrameWhateverTheFramesBorders) {
    const TRect wanted{296, 228, 687, 344};
    EXPECT_EQ(ClientInFrame(wanted, {0, 0, 116, 138}, {8, 30, 100, 100}), (TRect{304, 258, 671, 306}));
    EXPECT_EQ(ClientInFrame(wanted, {50, 50, 100, 100}, {50, 50, 100, 100}), wanted) << "no frame";
}
