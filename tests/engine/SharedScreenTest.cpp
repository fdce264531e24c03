// The copy of the screen that the searches of every click share: whatever it reuses, each search sees exactly what a
// fresh copy of the screen at that moment would show.
#include "engine/SharedScreen.h"

#include "PixelTestSupport.h"
#include "engine/Search.h"
#include "platform/fake/FakeScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr TPoint NotFound{-1, -1};
constexpr std::uint32_t Background = 0x336699;
constexpr std::uint32_t Wanted = 0xABCDEF;

[[maybe_unused]] void PrintTo(const TRect& r, std::ostream* out) {
    *out << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height << "}";
}

std::string ColorText(std::uint32_t rgb) {
    return std::to_string(SwapRB(rgb));
}

enum class Kind { Colour, Picture };

// Run with the copy of its own and with the platform's image in 4-byte pixels.
class SharedScreenTest : public testing::TestWithParam<bool> {
protected:
    SharedScreenTest() : screen(400, 300) {
        KeepsImage(screen);
        screen.fill(Background);
        // A 2 x 2 picture: the wanted colour but for the background at its top left.
        picture.SetSize(2, 2);
        picture.SetPixel(0, 0, Background);
        picture.SetPixel(1, 0, Wanted);
        picture.SetPixel(0, 1, Wanted);
        picture.SetPixel(1, 1, Wanted);
    }
    ~SharedScreenTest() override { SharedScreen().Clear(); }

    void KeepsImage(FakeScreen& on) {
        if (GetParam()) {
            on.keepScreenImage();
        }
    }

    TPoint FindColor(FakeScreen& on, int left = 0, int top = 0, int right = 400, int bottom = 300) {
        return SearchColorBlock(on, ColorText(Wanted), left, top, right, bottom, 100);
    }
    TPoint FindColor() { return FindColor(screen); }
    TPoint FindPicture() { return SearchPicture(screen, &picture, 0, 0, 400, 300, 95); }
    TPoint Find(Kind kind) { return kind == Kind::Colour ? FindColor() : FindPicture(); }

    // Shows the picture's placement with its bottom-right pixel at (x, y), so that the picture's centre is (x, y).
    void Show(Kind kind, int x, int y) {
        screen.setPixel(x, y, Wanted);
        if (kind == Kind::Picture) {
            screen.setPixel(x - 1, y, Wanted);
            screen.setPixel(x, y - 1, Wanted);
        }
    }

    FakeScreen screen;
    TPixelBuffer picture;
};

} // namespace

TEST_P(SharedScreenTest, OnceTheScreenReportsDrawingAnUnchangedScreenIsCopiedOnceForAnyNumberOfSearches) {
    screen.reportChanges();
    Show(Kind::Picture, 300, 200);
    EXPECT_EQ(FindColor(), (TPoint{300, 199})); // the first question starts the reports: it copies for itself
    EXPECT_EQ(screen.lastCopy(), (FakeScreen::CopyRequest{0, 0, 400, 300}));
    EXPECT_EQ(FindColor(), (TPoint{300, 199}));
    const int copies = screen.copyCount();
    for (int click = 0; click < 40; ++click) {
        EXPECT_EQ(FindColor(), (TPoint{300, 199}));
        EXPECT_EQ(FindColor(screen, 250, 200, 350, 250), (TPoint{299, 200}));
        EXPECT_EQ(FindPicture(), (TPoint{300, 200}));
    }
    EXPECT_EQ(screen.copyCount(), copies);
}

TEST_P(SharedScreenTest, APixelPaintedAfterACopyIsSeenByTheNextSearchAndOnlyItsAreaIsCopiedAgain) {
    screen.reportChanges();
    for (const Kind kind : {Kind::Colour, Kind::Picture}) {
        SCOPED_TRACE(kind == Kind::Colour ? "colour" : "picture");
        screen.fill(Background);
        EXPECT_EQ(Find(kind), NotFound);
        EXPECT_EQ(Find(kind), NotFound);
        Show(kind, 123, 45);
        EXPECT_EQ(Find(kind), (TPoint{123, 45}));
        if (kind == Kind::Colour) {
            EXPECT_EQ(screen.lastCopy(), (FakeScreen::CopyRequest{123, 45, 1, 1}));
        }
        screen.setPixel(123, 45, Background);
        EXPECT_EQ(Find(kind), NotFound);
        Show(kind, 399, 299);
        Show(kind, 10, 299);
        EXPECT_EQ(Find(kind), (TPoint{10, 299}));
    }
}

// What a kept answer is brought up to date from: the drawn areas of its scope since its version, or "cannot tell".
TEST_P(SharedScreenTest, TellsTheAreasOfAScopeDrawnOnSinceAVersionOrThatItCannotTell) {
    TSharedScreen shared;
    const TCaptureRect scope{0, 0, 100, 100};
    const auto look = [&] { return shared.Look(screen, scope, {400, 300}).has_value(); };
    ASSERT_TRUE(look());
    EXPECT_FALSE(shared.ChangesSince(shared.Version(), scope)) << "without reports";
    screen.reportChanges();
    ASSERT_TRUE(look()); // the first question starts the reports; the next copies the whole screen
    ASSERT_TRUE(look());
    const std::uint64_t kept = shared.Version();
    ASSERT_TRUE(look());
    EXPECT_EQ(shared.ChangesSince(kept, scope), std::vector<TRect>{});
    screen.fillRect(95, 10, 10, 1, Wanted);
    screen.setPixel(50, 60, Wanted);
    screen.setPixel(300, 200, Wanted);
    ASSERT_TRUE(look());
    EXPECT_EQ(shared.ChangesSince(kept, scope), (std::vector<TRect>{{95, 10, 5, 1}, {50, 60, 1, 1}}));
    EXPECT_EQ(shared.ChangesSince(kept, {0, 0, 40, 40}), std::vector<TRect>{});
    EXPECT_EQ(shared.ChangesSince(shared.Version(), scope), std::vector<TRect>{});
    for (int update = 0; update < 64; ++update) {
        screen.setPixel(399, 299, update % 2 == 0 ? Wanted : Background);
        ASSERT_TRUE(look());
    }
    EXPECT_FALSE(shared.ChangesSince(kept, scope)) << "older than the updates remembered";
}

TEST_P(SharedScreenTest, WithoutReportsEverySearchCopiesItsOwnRectangleAfresh) {
    EXPECT_EQ(FindColor(), NotFound);
    EXPECT_EQ(FindColor(screen, 100, 50, 200, 150), NotFound);
    EXPECT_EQ(screen.lastCopy(), (FakeScreen::CopyRequest{100, 50, 100, 100}));
    screen.setPixel(150, 60, Wanted);
    EXPECT_EQ(FindColor(screen, 100, 50, 200, 150), (TPoint{150, 60}));
    EXPECT_EQ(FindColor(), (TPoint{150, 60}));
    EXPECT_EQ(screen.copyCount(), 4);
}

TEST_P(SharedScreenTest, AScreenOfANewSizeIsCopiedWholeAgain) {
    screen.reportChanges();
    screen.setPixel(5, 5, Wanted);
    EXPECT_EQ(FindColor(), (TPoint{5, 5}));
    EXPECT_EQ(FindColor(), (TPoint{5, 5}));
    screen.resize(200, 100); // black, and the reports start again
    EXPECT_EQ(FindColor(screen, 0, 0, 200, 100), NotFound);
    screen.setPixel(150, 60, Wanted);
    EXPECT_EQ(FindColor(screen, 0, 0, 200, 100), (TPoint{150, 60}));
    EXPECT_EQ(FindColor(screen, 0, 0, 200, 100), (TPoint{150, 60}));
}

TEST_P(SharedScreenTest, AFailedCopyIsNotFoundAndAFailedBandIsMadeGoodByCopyingTheWholeScreen) {
    screen.reportChanges();
    screen.setPixel(7, 8, Wanted);
    screen.failNextCopy();
    EXPECT_EQ(FindColor(), NotFound);
    EXPECT_EQ(FindColor(), (TPoint{7, 8}));
    screen.setPixel(7, 8, Background);
    screen.setPixel(9, 9, Wanted);
    screen.failNextCopy();
    EXPECT_EQ(FindColor(), (TPoint{9, 9}));
    EXPECT_EQ(screen.lastCopy(), (FakeScreen::CopyRequest{0, 0, 400, 300}));
}

TEST_P(SharedScreenTest, SearchesOnTwoScreensInTurnEachSeeTheirOwn) {
    FakeScreen other(400, 300);
    KeepsImage(other);
    screen.reportChanges();
    other.reportChanges();
    screen.setPixel(1, 1, Wanted);
    other.setPixel(2, 2, Wanted);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(FindColor(screen), (TPoint{1, 1}));
        EXPECT_EQ(FindColor(other), (TPoint{2, 2}));
    }
}

TEST_P(SharedScreenTest, ScopesReachingBeyondTheScreenAreServedForTheirPartOnItAndNothingBeyondMatches) {
    screen.reportChanges();
    EXPECT_EQ(FindColor(), NotFound);
    EXPECT_EQ(FindColor(), NotFound);
    screen.setPixel(399, 299, Wanted);
    EXPECT_EQ(FindColor(screen, 350, 250, 500, 400), (TPoint{399, 299}));
    EXPECT_EQ(SearchColorBlock(screen, "0", 350, 250, 500, 400, 100), NotFound);
    // The shared copy kept up with the pixel painted meanwhile.
    EXPECT_EQ(FindColor(), (TPoint{399, 299}));
}

TEST_P(SharedScreenTest, LooksOfOneTickBatchShareOneQuestionAndTheNextBatchSeesWhatWasPaintedMeanwhile) {
    screen.reportChanges();
    const auto find = [&](std::uint64_t batch) {
        return SearchColorBlock(screen, ColorText(Wanted), 0, 0, 400, 300, 100, {batch, nullptr});
    };
    EXPECT_EQ(find(0), NotFound); // the first question starts the reports
    EXPECT_EQ(find(1), NotFound);
    const int questions = screen.questionCount();
    // Painted after the batch's look: its ticks were all due before that look, so none of them needs to see it.
    screen.setPixel(50, 60, Wanted);
    EXPECT_EQ(find(1), NotFound);
    EXPECT_EQ(find(1), NotFound);
    EXPECT_EQ(screen.questionCount(), questions);
    EXPECT_EQ(find(2), (TPoint{50, 60}));
    EXPECT_EQ(find(2), (TPoint{50, 60}));
    EXPECT_EQ(screen.questionCount(), questions + 1);
    // Outside a batch every look asks.
    screen.setPixel(50, 60, Background);
    EXPECT_EQ(find(0), NotFound);
    screen.setPixel(70, 80, Wanted);
    EXPECT_EQ(find(0), (TPoint{70, 80}));
    EXPECT_EQ(screen.questionCount(), questions + 3);
}

TEST_P(SharedScreenTest, WithoutReportsLooksOfOneBatchStillCopyAfresh) {
    EXPECT_EQ(SearchColorBlock(screen, ColorText(Wanted), 0, 0, 400, 300, 100, {7, nullptr}), NotFound);
    screen.setPixel(5, 6, Wanted);
    EXPECT_EQ(SearchColorBlock(screen, ColorText(Wanted), 0, 0, 400, 300, 100, {7, nullptr}), (TPoint{5, 6}));
}

TEST_P(SharedScreenTest, AScreenOfANewSizeInTheMiddleOfABatchIsAskedAndCopiedAgain) {
    screen.reportChanges();
    EXPECT_EQ(SearchColorBlock(screen, ColorText(Wanted), 0, 0, 400, 300, 100, {3, nullptr}), NotFound);
    screen.resize(200, 100);
    screen.setPixel(150, 60, Wanted);
    EXPECT_EQ(SearchColorBlock(screen, ColorText(Wanted), 0, 0, 200, 100, 100, {3, nullptr}), (TPoint{150, 60}));
}

INSTANTIATE_TEST_SUITE_P(Copies, SharedScreenTest, testing::Bool(), [](const testing::TestParamInfo<bool>& copy) {
    return copy.param ? "PlatformImage" : "OwnCopy";
});

TEST(ChangedBandsTest, MergesRowsClipsToTheScreenAndCapsTheCount) {
    struct Case {
        const char* what;
        std::vector<TRect> changes;
        std::size_t maxBands;
        std::vector<TRect> bands;
    };
    const TSize screen{100, 50};
    const Case cases[] = {
        {"none", {}, 8, {}},
        {"one pixel", {{3, 4, 1, 1}}, 8, {{3, 4, 1, 1}}},
        {"overlapping rows join, as wide as both", {{10, 5, 5, 10}, {60, 12, 10, 10}}, 8, {{10, 5, 60, 17}}},
        {"touching rows join", {{0, 0, 5, 5}, {0, 5, 5, 5}}, 8, {{0, 0, 5, 10}}},
        {"apart rows stay apart, in order", {{0, 30, 5, 5}, {0, 0, 5, 5}}, 8, {{0, 0, 5, 5}, {0, 30, 5, 5}}},
        {"clipped to the screen", {{-10, -10, 20, 20}, {95, 45, 20, 20}}, 8, {{0, 0, 10, 10}, {95, 45, 5, 5}}},
        {"off the screen or empty", {{100, 0, 5, 5}, {0, 50, 5, 5}, {5, 5, 0, 3}, {5, 5, -3, 3}}, 8, {}},
        {"too many become one", {{0, 0, 1, 1}, {50, 10, 1, 1}, {20, 20, 1, 1}}, 2, {{0, 0, 51, 21}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChangedBands(c.changes, screen, c.maxBands), c.bands) << c.what;
    }
}
