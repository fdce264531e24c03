#include "control/CaptureSession.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Shown : ICaptureView {
    std::vector<TPoint> points;
    std::vector<std::pair<std::string, TSwatch>> colors;
    void showCapturedPoint(TPoint point) override { points.push_back(point); }
    void showCapturedColor(const std::string& text, TSwatch swatch) override { colors.emplace_back(text, swatch); }
};

class CaptureSessionTest : public ::testing::Test {
protected:
    FakePlatform fake;
    Shown shown;
    TCaptureSession capture{fake.loop, fake.mouse, fake.screen, shown};
};
} // namespace

TEST_F(CaptureSessionTest, PointCaptureFollowsThePointerEveryTenMillisecondsUntilAKeyIsTyped) {
    capture.StartPoint();
    fake.mouse.placePointer({-20, 300});
    fake.loop.advance(10);
    fake.mouse.placePointer({-21, 301});
    fake.loop.advance(10);
    EXPECT_EQ(shown.points, (std::vector<TPoint>{{-20, 300}, {-21, 301}}));
    capture.CharacterTyped();
    fake.loop.advance(100);
    EXPECT_EQ(shown.points.size(), 2u) << "the last point shown stays";
    EXPECT_FALSE(capture.capturingPoint());
    EXPECT_FALSE(capture.timerRunning());
}

TEST_F(CaptureSessionTest, ColourCaptureShowsThePixelsTextAndSwatch) {
    fake.screen.setPixel(40, 30, 0x123456);
    fake.screen.setPixel(41, 30, 0xFFFFFF);
    fake.mouse.placePointer({40, 30});
    capture.StartColor();
    fake.loop.advance(10);
    fake.mouse.placePointer({41, 30});
    fake.loop.advance(10);
    ASSERT_EQ(shown.colors.size(), 2u);
    EXPECT_EQ(shown.colors[0], (std::pair<std::string, TSwatch>{"$00563412", {TSwatch::Plain, 0x563412}}));
    EXPECT_EQ(shown.colors[1].first, "clWhite");
    EXPECT_TRUE(shown.points.empty());
    capture.Stop();
    EXPECT_FALSE(capture.capturingColor());
}

TEST(ColorSwatchTest, SystemColoursAreTheirIndexAndNoneOrDefaultTheEditsBackground) {
    EXPECT_EQ(SwatchForText("clBtnFace"), (TSwatch{TSwatch::System, 15}));
    EXPECT_EQ(SwatchForText("clMenuBar"), (TSwatch{TSwatch::System, 30}));
    EXPECT_EQ(SwatchForText("clNone"), (TSwatch{TSwatch::EditBackground, 0}));
    EXPECT_EQ(SwatchForText("clDefault"), (TSwatch{TSwatch::EditBackground, 0}));
    EXPECT_EQ(SwatchForText("$00123456"), (TSwatch{TSwatch::Plain, 0x123456}));
    EXPECT_EQ(SwatchForText("not a colour"), (TSwatch{TSwatch::Plain, 0}));
}
