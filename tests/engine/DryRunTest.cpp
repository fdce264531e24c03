// The dry run against the click's own search and the plain scans, and why it could not search.
#include "engine/DryRun.h"

#include "PixelTestSupport.h"
#include "ReferenceSearch.h"
#include "pixels/Base64.h"
#include "platform/fake/FakeScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

const TCancelFlag running{false};

std::string PictureText(const TPixelBuffer& picture) {
    return StreamToBase64(EncodeBmp24(picture));
}

TMouseObj ClickFor(TPointType kind, const TPixelBuffer& picture, std::uint32_t rgb, int similarity) {
    TMouseObj click;
    click.pointType = kind;
    click.fColor = std::to_string(SwapRB(rgb));
    click.fBMP = PictureText(picture);
    click.fColorSimplar = similarity;
    click.fBMPSimplar = similarity;
    return click;
}

TMouseObj InScope(TMouseObj click, int left, int top, int right, int bottom) {
    click.ScreenType = scPart;
    click.fLeft = left;
    click.fTop = top;
    click.fRight = right;
    click.fBottom = bottom;
    return click;
}

} // namespace

// On screens of a few close colours, what the dry run finds is what the click's tick would click, and what it misses
// by is what trying every pixel and placement of the scope gives.
TEST(DryRunTest, FindsWhatTheTickWouldClickAndMissesByWhatThePlainScansGive) {
    std::mt19937 random(2412);
    const auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 300; ++round) {
        const std::uint32_t base = static_cast<std::uint32_t>(uniform(0, 0xFFFFFF));
        const auto near = [&] { return base ^ static_cast<std::uint32_t>(uniform(0, 0x1F1F1F)); };
        FakeScreen screen(uniform(4, 40), uniform(4, 30));
        for (int y = 0; y < screen.screenSize().height; ++y) {
            for (int x = 0; x < screen.screenSize().width; ++x) {
                screen.setPixel(x, y, near());
            }
        }
        TPixelBuffer picture;
        PixelTest::Fill(picture, uniform(1, 4), uniform(1, 3), near());
        picture.SetPixel(0, 0, near());
        const int similarity = std::min(100, 5 * uniform(18, 21));
        const int left = uniform(0, 3);
        const int top = uniform(0, 3);
        const TPointType kind = uniform(0, 1) ? ptColor : ptPicture;
        const TMouseObj click = InScope(ClickFor(kind, picture, near(), similarity), left, top, 40, 30);

        const TDryRunResult result = DryRun(screen, click, running);
        const TPoint tick = kind == ptColor ? SearchColorBlock(screen, click.fColor, left, top, 40, 30, similarity)
                                            : SearchPicture(screen, &picture, left, top, 40, 30, similarity);
        ASSERT_EQ(result.place, tick) << round;
        ASSERT_EQ(result.outcome == TDryRunOutcome::Found, tick.x != -1) << round;
        TPixelBuffer scope;
        scope.SetSize(result.scope.width, result.scope.height);
        for (int y = 0; y < scope.height; ++y) {
            for (int x = 0; x < scope.width; ++x) {
                scope.SetPixel(x, y, screen.rgbAt(left + x, top + y));
            }
        }
        if (result.outcome != TDryRunOutcome::NotFound) {
            continue;
        }
        if (kind == ptColor) {
            const auto nearest = ReferenceSearch::NearestPixel(scope, SwapRB(std::stoul(click.fColor)));
            const std::int32_t tolerance = similarity == 100 ? 0 : SimilarityTolerance(similarity);
            ASSERT_EQ(result.colourMiss->at, (TPoint{left + nearest->x, top + nearest->y})) << round;
            ASSERT_EQ(result.colourMiss->color, nearest->color) << round;
            ASSERT_EQ(result.colourMiss->beyond.Largest(), nearest->distance.Largest() - tolerance) << round;
        } else {
            const auto nearest = ReferenceSearch::NearestPlacement(scope, picture);
            ASSERT_EQ(result.pictureMiss->at, (TPoint{left + nearest->x, top + nearest->y})) << round;
            ASSERT_EQ(result.pictureMiss->reached, SimilarityReached(nearest->worst)) << round;
            ASSERT_LT(result.pictureMiss->reached, similarity) << round;
        }
    }
}

TEST(DryRunTest, SaysWhyItCouldNotSearch) {
    TPixelBuffer picture;
    PixelTest::Fill(picture, 8, 8, 0x123456);
    const TMouseObj colour = ClickFor(ptColor, picture, 0x123456, 100);
    const TMouseObj pictureClick = ClickFor(ptPicture, picture, 0, 100);
    TMouseObj noColour = colour;
    noColour.fColor = "clNoSuchColour";
    TMouseObj notBmp = pictureClick;
    notBmp.fBMP = StreamToBase64({1, 2, 3});
    TMouseObj notBase64 = pictureClick;
    notBase64.fBMP.assign(1, '#'); // not "#": GCC 12 -O3 warns wrongly (-Wrestrict)
    TMouseObj fixed = colour;
    fixed.pointType = ptFixed;
    struct Case {
        const char* what;
        TMouseObj click;
        bool refuseCopy;
        TSearchFailure failure;
    };
    const Case cases[] = {
        {"fixed point", fixed, false, TSearchFailure::NotASearch},
        {"colour text", noColour, false, TSearchFailure::ColourUnreadable},
        {"no BMP", notBmp, false, TSearchFailure::PictureUnreadable},
        {"no base64", notBase64, false, TSearchFailure::PictureUnreadable},
        {"scope off the screen", InScope(colour, 500, 500, 600, 600), false, TSearchFailure::ScopeOffScreen},
        {"picture larger", InScope(pictureClick, 0, 0, 7, 40), false, TSearchFailure::PictureLargerThanScope},
        {"copy refused", pictureClick, true, TSearchFailure::CaptureRefused},
    };
    for (const Case& c : cases) {
        FakeScreen screen(100, 80);
        if (c.refuseCopy) {
            screen.failNextCopy();
        }
        const TDryRunResult result = DryRun(screen, c.click, running);
        EXPECT_EQ(result.outcome, TDryRunOutcome::CouldNotSearch) << c.what;
        EXPECT_EQ(result.failure, c.failure) << c.what;
    }
}

TEST(DryRunTest, ACancelledNearestMissSaysSo) {
    FakeScreen screen(50, 40);
    TPixelBuffer picture;
    PixelTest::Fill(picture, 4, 4, 0xFFFFFF);
    const TCancelFlag cancelled{true};
    EXPECT_EQ(DryRun(screen, ClickFor(ptPicture, picture, 0, 100), cancelled).outcome, TDryRunOutcome::Cancelled);
    EXPECT_EQ(DryRun(screen, ClickFor(ptColor, picture, 0xFFFFFF, 100), cancelled).outcome, TDryRunOutcome::Cancelled);
}
