#include "control/ScopeDrag.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {
constexpr TSize kPicture{40, 30};

// Which pixels of the picture are inverted now.
class InvertedPixels {
public:
    void invert(const std::vector<TLine>& lines) {
        for (const TLine& line : lines) {
            ASSERT_TRUE(line.from.x == line.to.x || line.from.y == line.to.y) << "lines are straight";
            for (int y = line.from.y; y <= line.to.y; ++y)
                for (int x = line.from.x; x <= line.to.x; ++x)
                    if (x >= 0 && y >= 0 && x < kPicture.width && y < kPicture.height && !pixels.erase({x, y}))
                        pixels.insert({x, y});
        }
    }
    std::set<std::pair<int, int>> pixels;
};

// The pixels a figure should show: each once, whatever lines it is made of.
std::set<std::pair<int, int>> bandPixels(TPoint a, TPoint b) {
    std::set<std::pair<int, int>> expected;
    const int left = std::min(a.x, b.x), right = std::max(a.x, b.x), top = std::min(a.y, b.y),
              bottom = std::max(a.y, b.y);
    if (a == b)
        return expected;
    for (int x = left; x <= right; ++x)
        expected.insert({x, top}), expected.insert({x, bottom});
    for (int y = top; y <= bottom; ++y)
        expected.insert({left, y}), expected.insert({right, y});
    return expected;
}

std::set<std::pair<int, int>> crossPixels(TPoint at) {
    std::set<std::pair<int, int>> expected;
    for (int y = 0; y < kPicture.height; ++y)
        if (at.x >= 0 && at.x < kPicture.width)
            expected.insert({at.x, y});
    for (int x = 0; x < kPicture.width; ++x)
        if (at.y >= 0 && at.y < kPicture.height)
            expected.insert({x, at.y});
    return expected;
}
} // namespace

TEST(ScopeDragTest, EveryFigureInvertsEachOfItsPixelsOnce) {
    const std::vector<std::pair<TPoint, TPoint>> bands{{{5, 5}, {20, 15}}, {{20, 15}, {5, 5}}, {{5, 5}, {5, 15}},
                                                       {{5, 5}, {20, 5}},  {{5, 5}, {6, 6}},   {{5, 5}, {5, 6}},
                                                       {{7, 7}, {7, 7}},   {{0, 0}, {39, 29}}};
    for (const auto& [from, to] : bands) {
        InvertedPixels picture;
        picture.invert(TScopeDrag::band(from, to));
        EXPECT_EQ(picture.pixels, bandPixels(from, to)) << from.x << "," << from.y << " to " << to.x << "," << to.y;
    }
    const TScopeDrag drag(kPicture);
    for (TPoint at : {TPoint{10, 12}, TPoint{0, 0}, TPoint{39, 29}, TPoint{-1, -1}, TPoint{39, 0}, TPoint{50, 10}}) {
        InvertedPixels picture;
        picture.invert(drag.crossHair(at));
        EXPECT_EQ(picture.pixels, crossPixels(at)) << at.x << "," << at.y;
    }
}

TEST(ScopeDragTest, OnlyTheCurrentFigureIsEverShown) {
    TScopeDrag drag(kPicture);
    InvertedPixels picture;
    picture.invert(drag.MouseMove({-1, -1}));
    EXPECT_TRUE(picture.pixels.empty()) << "the crosshair at (-1, -1) lies outside the picture";
    picture.invert(drag.MouseMove({10, 12}));
    picture.invert(drag.MouseMove({30, 3}));
    EXPECT_EQ(picture.pixels, crossPixels({30, 3}));
    picture.invert(drag.MouseDown({30, 3}));
    EXPECT_TRUE(picture.pixels.empty()) << "the press erases the crosshair and shows no band yet";
    for (TPoint at : {TPoint{20, 20}, TPoint{2, 1}, TPoint{30, 3}, TPoint{30, 25}}) {
        picture.invert(drag.MouseMove(at));
        EXPECT_EQ(picture.pixels, bandPixels({30, 3}, at)) << at.x << "," << at.y;
    }
}

TEST(ScopeDragTest, ADragGivesItsCornersUnsorted) {
    TScopeDrag drag(kPicture);
    drag.MouseDown({30, 20});
    EXPECT_TRUE(drag.FDragging);
    EXPECT_FALSE(drag.FCrossHair);
    drag.MouseMove({3, 2});
    EXPECT_FALSE(drag.finished());
    drag.MouseUp({3, 2});
    EXPECT_TRUE(drag.finished());
    EXPECT_EQ(drag.FStartPos, (TPoint{30, 20}));
    EXPECT_EQ(drag.FEndPos, (TPoint{3, 2}));
}

TEST(ScopeDragTest, ASecondPressEndsTheDragAndTheReleaseChangesNothing) {
    TScopeDrag drag(kPicture);
    drag.MouseDown({5, 6});
    drag.MouseDown({15, 16});
    EXPECT_TRUE(drag.finished());
    EXPECT_FALSE(drag.FDragging);
    drag.MouseUp({25, 26});
    EXPECT_EQ(drag.FEndPos, (TPoint{15, 16}));
}

TEST(ScopeDragTest, MovesBeforeAnyPressOnlyMoveTheCrosshair) {
    TScopeDrag drag(kPicture);
    drag.MouseUp({4, 4});
    EXPECT_FALSE(drag.finished());
    drag.MouseMove({8, 9});
    EXPECT_EQ(drag.FCrossPos, (TPoint{8, 9}));
    drag.MouseDown({8, 9});
    drag.MouseUp({8, 9});
    EXPECT_TRUE(drag.finished());
    EXPECT_EQ(drag.FStartPos, drag.FEndPos) << "a click without moving gives equal corners";
}

TEST(ScopeDragTest, PickingEndsAtThePressOnItsPixelAndLeavesThePictureAsItWas) {
    TScopeDrag pick(kPicture, TDragKind::Point);
    InvertedPixels picture;
    picture.invert(pick.MouseMove({12, 7}));
    EXPECT_EQ(picture.pixels, crossPixels({12, 7}));
    picture.invert(pick.MouseDown({12, 7}));
    EXPECT_TRUE(picture.pixels.empty());
    EXPECT_TRUE(pick.finished());
    EXPECT_FALSE(pick.FDragging);
    picture.invert(pick.MouseMove({20, 20}));
    picture.invert(pick.MouseUp({20, 20}));
    EXPECT_TRUE(picture.pixels.empty()) << "nothing is drawn after the pick";
    EXPECT_EQ(pick.FStartPos, (TPoint{12, 7}));
    EXPECT_EQ(pick.FEndPos, (TPoint{12, 7}));
}
