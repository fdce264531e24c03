#include "engine/Search.h"

#include "PixelTestSupport.h"
#include "platform/fake/FakeScreen.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

namespace {

constexpr TPoint NotFound{-1, -1};
constexpr std::uint32_t Background = 0x336699;

class SearchColorBlockTest : public testing::Test {
protected:
    SearchColorBlockTest() : screen(400, 300) { screen.fill(Background); }

    TPoint Search(const std::string& color, int left, int top, int right, int bottom, int similarity = 100) {
        return SearchColorBlock(screen, color, left, top, right, bottom, similarity);
    }

    FakeScreen screen;
};

// 0x00RRGGBB as the colour text of its platform value.
std::string ColorText(std::uint32_t rgb) {
    return std::to_string(SwapRB(rgb));
}

} // namespace

TEST_F(SearchColorBlockTest, TheUpperRowWinsAndTheResultIsInScreenCoordinates) {
    screen.setPixel(205, 110, 0xABCDEF);
    screen.setPixel(203, 111, 0xABCDEF);
    EXPECT_EQ(Search(ColorText(0xABCDEF), 200, 100, 300, 200), (TPoint{205, 110}));
    EXPECT_EQ(Search(ColorText(0xABCDEF), 200, 100, 300, 200, 95), (TPoint{205, 110}));
}

TEST_F(SearchColorBlockTest, PixelsInTheFirstColumnOrRowOfAScopeKeepTheScopeCorner) {
    screen.setPixel(200, 150, 0x010203);
    EXPECT_EQ(Search(ColorText(0x010203), 200, 100, 300, 200), (TPoint{200, 150}));
    screen.setPixel(250, 100, 0x010203);
    EXPECT_EQ(Search(ColorText(0x010203), 200, 100, 300, 200), (TPoint{250, 100}));
}

TEST_F(SearchColorBlockTest, SimilarityBoundsPerChannel) {
    struct Case {
        int similarity;
        std::uint32_t shown;
        bool found;
    };
    const Case cases[] = {
        {95, 0x8C8C8C, true},   {95, 0x747474, true},   {95, 0x8D8080, false},  {95, 0x808073, false},
        {90, 0x999999, true},   {90, 0x9A8080, false},  {100, 0x808081, false}, {100, 0x808080, true},
        {101, 0x808080, false}, {200, 0x808080, false},
    };
    for (const Case& c : cases) {
        screen.fill(Background);
        screen.setPixel(17, 19, c.shown);
        EXPECT_EQ(Search(ColorText(0x808080), 0, 0, 400, 300, c.similarity), (c.found ? TPoint{17, 19} : NotFound))
            << c.similarity << " " << std::hex << c.shown;
    }
}

TEST_F(SearchColorBlockTest, SimilarityZeroMatchesTheTopLeftPixelOfTheRectangle) {
    EXPECT_EQ(Search(ColorText(0x000000), 30, 40, 50, 60, 0), (TPoint{30, 40}));
}

TEST_F(SearchColorBlockTest, ColourNamesAndPlatformNumbersAreTurnedIntoBufferColours) {
    screen.setPixel(7, 8, 0x000000);
    EXPECT_EQ(Search("clBlack", 0, 0, 400, 300), (TPoint{7, 8}));
    screen.setPixel(9, 9, 0x0000FF);
    EXPECT_EQ(Search("$000000FF", 0, 0, 400, 300), NotFound);
    screen.setPixel(11, 12, 0xFF0000);
    EXPECT_EQ(Search("$000000FF", 0, 0, 400, 300), (TPoint{11, 12}));
    EXPECT_EQ(Search("$7F0000FF", 0, 0, 400, 300), (TPoint{11, 12}));
}

TEST_F(SearchColorBlockTest, BadColourTextThrowsBeforeAnythingIsCaptured) {
    try {
        Search("reddish", 0, 0, 400, 300);
        FAIL() << "no error";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "'reddish' is not a valid integer value");
    }
    EXPECT_EQ(screen.copyCount(), 0);
}

TEST_F(SearchColorBlockTest, RightOrBottomAtOrBeforeTheLeftOrTopEdgeReachesTheScreenEdge) {
    for (const auto& [right, bottom] : {std::pair{120, 0}, {100, 50}, {0, 50}, {-5, 40}}) {
        EXPECT_EQ(Search(ColorText(0x123456), 120, 50, right, bottom), NotFound);
        const FakeScreen::CopyRequest copied = screen.lastCopy();
        EXPECT_EQ(copied.left, 120);
        EXPECT_EQ(copied.top, 50);
        EXPECT_EQ(copied.width, 280) << right;
        EXPECT_EQ(copied.height, 250) << bottom;
    }
    screen.setPixel(399, 299, 0x123456);
    EXPECT_EQ(Search(ColorText(0x123456), 120, 50, 120, 50), (TPoint{399, 299}));
}

TEST_F(SearchColorBlockTest, TheRightAndBottomEdgesAreExclusive) {
    screen.setPixel(300, 10, 0x0F0F0F);
    screen.setPixel(10, 200, 0x0F0F0F);
    EXPECT_EQ(Search(ColorText(0x0F0F0F), 0, 0, 300, 200), NotFound);
    screen.setPixel(299, 199, 0x0F0F0F);
    EXPECT_EQ(Search(ColorText(0x0F0F0F), 0, 0, 300, 200), (TPoint{299, 199}));
}

TEST_F(SearchColorBlockTest, AnEdgeOutsideTheScreenIsClippedNotMovedToZero) {
    screen.setPixel(4, 5, 0x0F0F0F);
    EXPECT_EQ(Search(ColorText(0x0F0F0F), -10, 400, 20, 420), NotFound);
    EXPECT_EQ(Search(ColorText(0x0F0F0F), -10, -10, 20, 20), (TPoint{4, 5}));
}

TEST_F(SearchColorBlockTest, AScopeWhoseWidthOverflowsIsAFailedCapture) {
    screen.setPixel(0, 0, 0x0F0F0F);
    EXPECT_EQ(Search(ColorText(0x0F0F0F), INT_MIN, 0, INT_MAX, 10), NotFound);
    EXPECT_EQ(Search(ColorText(0x0F0F0F), 0, INT_MIN, 10, INT_MAX), NotFound);
    EXPECT_EQ(Search(ColorText(0x0F0F0F), 5, 0, INT_MIN + 2, 10), NotFound);
    EXPECT_EQ(screen.copyCount(), 0);
}

TEST_F(SearchColorBlockTest, AFailedCaptureIsNotFound) {
    screen.setPixel(1, 1, 0x0F0F0F);
    screen.failNextCopy();
    EXPECT_EQ(Search(ColorText(0x0F0F0F), 0, 0, 400, 300), NotFound);
    EXPECT_EQ(Search(ColorText(0x0F0F0F), 0, 0, 400, 300), (TPoint{1, 1}));
}

TEST_F(SearchColorBlockTest, EachSearchSeesTheScreenAsItIsNow) {
    screen.setPixel(50, 60, 0x0F0F0F);
    EXPECT_EQ(Search(ColorText(0x0F0F0F), 0, 0, 400, 300), (TPoint{50, 60}));
    EXPECT_EQ(Search(ColorText(0x0F0F0F), 100, 100, 110, 105), NotFound);
    screen.setPixel(50, 60, Background);
    screen.setPixel(20, 200, 0x0F0F0F);
    EXPECT_EQ(Search(ColorText(0x0F0F0F), 0, 0, 400, 300), (TPoint{20, 200}));
    EXPECT_EQ(screen.copyCount(), 3);
}

TEST(SearchColorBlockFullScreen, CoversExactlyTheScreenSizeGiven) {
    FakeScreen screen(1100, 800);
    screen.setPixel(1024, 0, 0x0F0F0F);
    screen.setPixel(0, 768, 0x0F0F0F);
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 0, 0, 1024, 768, 100), NotFound);
    screen.setPixel(1023, 767, 0x0F0F0F);
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 0, 0, 1024, 768, 100), (TPoint{1023, 767}));
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 0, 0, 1100, 800, 100), (TPoint{1024, 0}));
}

TEST(SearchColorBlockOffScreen, AScopeWhollyOffTheScreenFindsNothingAndPixelsBeyondItsEdgeNeverMatch) {
    FakeScreen screen(400, 300);
    screen.fill(Background);
    screen.setPixel(0, 0, 0x0F0F0F);
    // Hand-edited, or a second monitor's area that is gone: not moved to the top-left corner.
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 5000, 5000, 5300, 5300, 100), NotFound);
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 400, 0, 500, 100, 100), NotFound);
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), -300, -300, -10, -10, 100), NotFound);
    // No black on the screen: a scope reaching past its right and bottom edges finds none there either.
    EXPECT_EQ(SearchColorBlock(screen, "clBlack", 350, 250, 450, 350, 100), NotFound);
    EXPECT_EQ(SearchColorBlock(screen, "clBlack", 350, 250, 450, 350, 90), NotFound);
    // The part on the screen is searched, and found places are where the screen shows them.
    screen.setPixel(399, 299, 0);
    EXPECT_EQ(SearchColorBlock(screen, "clBlack", 350, 250, 450, 350, 100), (TPoint{399, 299}));
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), -50, -50, 10, 10, 100), (TPoint{0, 0}));
}

TEST(SearchColorBlockOffScreen, AReversedScopeSearchesFromItsLeftEdgeToTheScreensEdge) {
    FakeScreen screen(400, 300);
    screen.fill(Background);
    screen.setPixel(399, 120, 0x0F0F0F);
    screen.setPixel(100, 120, 0x0F0F0F);
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 300, 100, 200, 200, 100), (TPoint{399, 120}));
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 400, 100, 200, 200, 100), NotFound);
}

TEST(SearchesFollowTheScreenSize, AScopeOnTheGrownPartIsSearchedAndOneOnTheLostPartFindsNothing) {
    FakeScreen screen(400, 300);
    screen.fill(Background);
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 450, 350, 550, 450, 100), NotFound);
    // The resolution changed (RandR): the next search sees the new size.
    screen.resize(800, 600);
    screen.fill(Background);
    screen.setPixel(500, 400, 0x0F0F0F);
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 450, 350, 550, 450, 100), (TPoint{500, 400}));
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 0, 0, 800, 600, 100), (TPoint{500, 400}));
    screen.resize(400, 300);
    EXPECT_EQ(SearchColorBlock(screen, ColorText(0x0F0F0F), 450, 350, 550, 450, 100), NotFound);
}

namespace {

class SearchPictureTest : public testing::Test {
protected:
    SearchPictureTest() : screen(400, 300) { screen.fill(Background); }

    // A width x height picture of distinct colours.
    void MakePicture(int width, int height) {
        picture.Clear();
        picture.SetSize(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                picture.SetPixel(x, y, static_cast<std::uint32_t>(0x800000 + 0x101 * (y * width + x)));
            }
        }
    }

    // Paints the picture at (left, top), every channel moved by `offset`.
    void Show(int left, int top, int offset = 0) {
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const std::uint32_t rgb = picture.Pixel(x, y);
                const auto channel = [&](int shift) { return ((rgb >> shift & 0xFF) + offset) << shift; };
                screen.setPixel(left + x, top + y, channel(16) | channel(8) | channel(0));
            }
        }
    }

    TPoint Search(int left, int top, int right, int bottom, int similarity = 100) {
        return SearchPicture(screen, &picture, left, top, right, bottom, similarity);
    }

    FakeScreen screen;
    TPixelBuffer picture;
};

} // namespace

TEST_F(SearchPictureTest, TheResultIsThePlacementCentreInScreenCoordinates) {
    MakePicture(3, 5);
    Show(110, 220);
    EXPECT_EQ(Search(100, 200, 300, 290), (TPoint{111, 222}));
    EXPECT_EQ(Search(100, 200, 300, 290, 95), (TPoint{111, 222}));
}

TEST_F(SearchPictureTest, AOnePixelPictureGivesThePixelItself) {
    MakePicture(1, 1);
    Show(77, 88);
    EXPECT_EQ(Search(0, 0, 400, 300), (TPoint{77, 88}));
}

TEST_F(SearchPictureTest, APictureAsLargeAsTheRectangleGivesItsCentre) {
    MakePicture(6, 4);
    Show(20, 30);
    EXPECT_EQ(Search(20, 30, 26, 34), (TPoint{23, 32}));
}

TEST_F(SearchPictureTest, PlacementsAgainstTheRightAndBottomEdgesAreFound) {
    MakePicture(4, 3);
    Show(96, 47);
    EXPECT_EQ(Search(50, 20, 100, 50), (TPoint{98, 48}));
}

TEST_F(SearchPictureTest, APictureLargerThanTheRectangleIsNeverFoundAndNothingIsCopied) {
    MakePicture(4, 3);
    Show(96, 47);
    EXPECT_EQ(Search(96, 47, 99, 50), NotFound);
    EXPECT_EQ(Search(96, 47, 100, 49), NotFound);
    EXPECT_EQ(screen.copyCount(), 0);
}

TEST_F(SearchPictureTest, TheUpperPlacementWins) {
    MakePicture(3, 3);
    Show(10, 41);
    Show(50, 40);
    EXPECT_EQ(Search(0, 0, 400, 300), (TPoint{51, 41}));
}

TEST_F(SearchPictureTest, Similarity95AcceptsTwelveAndRejectsThirteen) {
    MakePicture(5, 4);
    Show(60, 70, 12);
    EXPECT_EQ(Search(0, 0, 400, 300), NotFound);
    EXPECT_EQ(Search(0, 0, 400, 300, 95), (TPoint{62, 72}));
    screen.setPixel(64, 73, screen.rgbAt(64, 73) + 1);
    EXPECT_EQ(Search(0, 0, 400, 300, 95), NotFound);
    EXPECT_EQ(Search(0, 0, 400, 300, 94), (TPoint{62, 72}));
}

TEST_F(SearchPictureTest, PicturesThatDidNotLoadAreNeverFound) {
    const std::vector<std::uint8_t> rows = PixelTest::CountingRows(2, 2);
    for (const PixelTest::BmpFields& fields : {PixelTest::BmpFields{.width = 2, .height = 2, .bitCount = 32},
                                               PixelTest::BmpFields{.width = 2, .height = 3}}) {
        const std::vector<std::uint8_t> bytes = PixelTest::BmpImage(fields, rows);
        TByteStream stream{bytes};
        picture.LoadFromStream(&stream);
        EXPECT_EQ(Search(0, 0, 400, 300, 0), NotFound);
    }
    EXPECT_EQ(SearchPicture(screen, nullptr, 0, 0, 400, 300, 0), NotFound);
    EXPECT_EQ(screen.copyCount(), 0);
}

TEST_F(SearchPictureTest, AFailedCaptureOrAnOverflowingScopeIsNotFound) {
    MakePicture(2, 2);
    Show(5, 5);
    screen.failNextCopy();
    EXPECT_EQ(Search(0, 0, 400, 300), NotFound);
    EXPECT_EQ(Search(INT_MIN, 0, INT_MAX, 300), NotFound);
    EXPECT_EQ(Search(0, 0, 400, 300), (TPoint{6, 6}));
}

TEST(ScreenBufferTest, KeptUpToOneWholeScreenAndGivenBackBeyond) {
    // 1366 pixels make rows of 4100 bytes: a whole 1366 x 768 screen is 3,148,800 bytes.
    EXPECT_TRUE(KeepsScreenBuffer(0, 1366, 768));
    EXPECT_TRUE(KeepsScreenBuffer(3148800, 1366, 768));
    EXPECT_FALSE(KeepsScreenBuffer(3148801, 1366, 768));
    EXPECT_FALSE(KeepsScreenBuffer(1, 0, 0));
    EXPECT_TRUE(KeepsScreenBuffer(INT32_MAX, 46341, 46341));
}
