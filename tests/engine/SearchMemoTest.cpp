// A runner's kept answer: whatever is painted, edited or asked in between, a search with the memo answers exactly as a
// scan of a fresh copy of the screen does.
#include "PixelTestSupport.h"
#include "engine/ClickRunner.h"
#include "engine/Search.h"
#include "engine/SharedScreen.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t Background = 0x102030;
constexpr std::uint32_t Wanted = 0xC08040;
constexpr std::uint32_t NearlyWanted = 0xC48444;
constexpr int Width = 96;
constexpr int Height = 64;

struct Scope {
    int left, top, right, bottom;
};

// What one click looks for, as a runner's definition says it.
struct Click {
    bool picture = false;
    std::uint32_t colour = Wanted;
    int similarity = 100;
    Scope scope{0, 0, Width, Height};
    TSearchMemo memo;
};

// The answer of a scan of the rectangle, copied from the screen afresh (no shared copy, no memo).
TPoint FreshAnswer(FakeScreen& screen, const Click& click, const TPixelBuffer& picture) {
    const Scope& s = click.scope;
    TPixelBuffer shown;
    if (!shown.CaptureScreen(screen, s.left, s.top, s.right - s.left, s.bottom - s.top))
        return {-1, -1};
    const TBDSimilar tolerance{SimilarityTolerance(click.similarity), SimilarityTolerance(click.similarity),
                               SimilarityTolerance(click.similarity)};
    const bool exact = click.similarity == 100;
    std::int32_t x = -1;
    std::int32_t y = -1;
    if (!click.picture) {
        const bool found =
            exact ? shown.FindColor(click.colour, x, y) : shown.FindColorSimilar(click.colour, tolerance, x, y);
        return found ? TPoint{s.left + x, s.top + y} : TPoint{-1, -1};
    }
    const bool found = exact ? shown.FindBitmap(picture, x, y) : shown.FindBitmapSimilar(picture, tolerance, x, y);
    return found ? TPoint{s.left + x + picture.width / 2, s.top + y + picture.height / 2} : TPoint{-1, -1};
}

TPoint SearchWithMemo(FakeScreen& screen, Click& click, const TPixelBuffer& picture) {
    const Scope& s = click.scope;
    const TSearchContext context{0, &click.memo};
    if (click.picture)
        return SearchPicture(screen, &picture, s.left, s.top, s.right, s.bottom, click.similarity, context);
    return SearchColorBlock(screen, std::to_string(SwapRB(click.colour)), s.left, s.top, s.right, s.bottom,
                            click.similarity, context);
}

// Run with the shared copy of its own and with the platform's image in 4-byte pixels.
class SearchMemoTest : public testing::TestWithParam<bool> {
protected:
    SearchMemoTest() : screen(Width, Height) {
        if (GetParam()) {
            screen.keepScreenImage();
        }
        screen.fill(Background);
        screen.reportChanges();
        // Wider than high, so that an area drawn on is widened by the picture's own width and height.
        picture.SetSize(3, 2);
        picture.SetPixel(0, 0, Wanted);
        picture.SetPixel(1, 0, Wanted);
        picture.SetPixel(2, 0, NearlyWanted);
        picture.SetPixel(0, 1, Background);
        picture.SetPixel(1, 1, Wanted);
        picture.SetPixel(2, 1, Wanted);
    }
    ~SearchMemoTest() override { SharedScreen().Clear(); }

    void ExpectFreshAnswer(Click& click) {
        EXPECT_EQ(SearchWithMemo(screen, click, picture), FreshAnswer(screen, click, picture));
    }

    FakeScreen screen;
    TPixelBuffer picture;
};

} // namespace

TEST_P(SearchMemoTest, AgreesWithAFreshScanWhateverIsPaintedEditedOrAskedInBetween) {
    std::mt19937 random(20261207);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::array<Click, 6> clicks;
    clicks[1].scope = {10, 8, 40, 30};
    clicks[2].similarity = 97;
    clicks[3].picture = true;
    clicks[4].picture = true;
    clicks[4].similarity = 95;
    clicks[4].scope = {50, 20, 96, 64};
    clicks[5].scope = {-20, -10, 30, 20}; // partly off the screen: served by a copy of its own
    const std::uint32_t colours[] = {Background, Wanted, NearlyWanted, 0xFFFFFF};
    for (int step = 0; step < 4000; ++step) {
        SCOPED_TRACE(step);
        switch (below(8)) {
        case 0:
        case 1:
            screen.fillRect(below(Width), below(Height), 1 + below(3), 1 + below(3), colours[below(4)]);
            break;
        case 2: // a change far from most scopes, many times over, so that the kept areas run out
            for (int i = below(80); i > 0; --i)
                screen.setPixel(90 + below(6), below(4), colours[below(4)]);
            break;
        case 3: // the definition changes: another colour or similarity, or the picture edited in place
            if (Click& click = clicks[below(6)]; click.picture)
                picture.SetPixel(below(3), below(2), colours[below(4)]);
            else if (below(2) == 0)
                click.colour = colours[below(4)];
            else
                click.similarity = 90 + below(11);
            break;
        default: {
            ExpectFreshAnswer(clicks[below(6)]);
            break;
        }
        }
        if (HasFailure())
            return;
    }
}

TEST_P(SearchMemoTest, AnUnchangedScopeKeepsItsAnswerWhileDrawingElsewhereGoesOn) {
    Click click;
    click.scope = {0, 0, 40, 30};
    screen.setPixel(20, 10, Wanted);
    ExpectFreshAnswer(click);
    for (int i = 0; i < 100; ++i) {
        screen.setPixel(60 + i % 30, 40, i % 2 == 0 ? Wanted : Background);
        ExpectFreshAnswer(click);
    }
    screen.setPixel(5, 5, Wanted);
    EXPECT_EQ(SearchWithMemo(screen, click, picture), (TPoint{5, 5}));
}

TEST_P(SearchMemoTest, AnswersAreKeptOnlyWhereTheScreenReportsDrawing) {
    FakeScreen silent(Width, Height);
    Click click;
    EXPECT_EQ(SearchWithMemo(silent, click, picture), (TPoint{-1, -1}));
    silent.setPixel(3, 4, Wanted);
    EXPECT_EQ(SearchWithMemo(silent, click, picture), (TPoint{3, 4}));
}

// Runners due at the same moment ask the screen once between them, and each finds what was painted before that moment.
TEST_P(SearchMemoTest, ColourClicksDueTogetherAskTheScreenOnceAndFollowATargetMovedBetweenTicks) {
    FakePlatform fake;
    fake.screen.resize(200, 100);
    fake.screen.reportChanges();
    if (GetParam()) {
        fake.screen.keepScreenImage();
    }
    fake.screen.setPixel(10, 20, Wanted);
    std::vector<std::unique_ptr<TClickRunner>> runners;
    for (int k = 0; k < 5; ++k) {
        auto runner = std::make_unique<TClickRunner>(fake.platform);
        runner->pointType = ptColor;
        runner->fColor = std::to_string(SwapRB(Wanted));
        runner->iClickInterval = 10;
        runner->Start();
        runners.push_back(std::move(runner));
    }
    fake.loop.advance(1000);
    fake.loop.advance(10);
    const int questions = fake.screen.questionCount();
    fake.loop.advance(10);
    EXPECT_EQ(fake.screen.questionCount(), questions + 1);
    fake.screen.setPixel(10, 20, Background);
    fake.screen.setPixel(150, 70, Wanted);
    fake.loop.advance(10);
    EXPECT_EQ(fake.screen.questionCount(), questions + 2);
    const auto& events = fake.mouse.buttonEvents(MouseButtonEvent::LeftDown);
    ASSERT_EQ(events.size(), 15u);
    for (std::size_t i = 0; i < events.size(); ++i)
        EXPECT_EQ(events[i].pos, (i < 10 ? TPoint{10, 20} : TPoint{150, 70})) << i;
}

INSTANTIATE_TEST_SUITE_P(Copies, SearchMemoTest, testing::Bool(), [](const testing::TestParamInfo<bool>& copy) {
    return copy.param ? "PlatformImage" : "OwnCopy";
});
