#include "control/CaptureSession.h"
#include "control/ClickEditorModel.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
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
    const std::pair<const char*, TSwatch> cases[] = {
        {"clBtnFace", {TSwatch::System, 15}},        {"clMenuBar", {TSwatch::System, 30}},
        {"clWindow", {TSwatch::System, 5}},          {"clHighlight", {TSwatch::System, 13}},
        {"clInfoBk", {TSwatch::System, 24}},         {"clGrayText", {TSwatch::System, 17}},
        {"clActiveCaption", {TSwatch::System, 2}},   {"clNone", {TSwatch::EditBackground, 0}},
        {"clDefault", {TSwatch::EditBackground, 0}}, {"$00123456", {TSwatch::Plain, 0x123456}},
        {"not a colour", {TSwatch::Plain, 0}},
    };
    for (const auto& [text, swatch] : cases)
        EXPECT_EQ(SwatchForText(text), swatch) << text;
}

namespace {
struct ScopeSteps : IScopeCaptureView {
    std::optional<std::pair<TPoint, TPoint>> drag;
    std::vector<std::string> steps;
    void hideEditor() override { steps.push_back("hide"); }
    void waitHidden(int milliseconds) override { steps.push_back("wait " + std::to_string(milliseconds)); }
    std::optional<std::pair<TPoint, TPoint>> runScopeOverlay() override {
        steps.push_back("overlay");
        return drag;
    }
    void setScope(TPoint start, TPoint end) override {
        const TClickEditorFields scoped = TClickEditorModel::WithScope({}, start, end);
        steps.push_back("scope " + scoped.edColorL + "," + scoped.edColorT + " " + scoped.edColorR + "," +
                        scoped.edColorB);
    }
    void showEditor() override { steps.push_back("show"); }
};
} // namespace

TEST(CaptureScopeTest, TheEditorHidesWhileTheOverlayRunsAndADragFillsTheScopeUnsorted) {
    ScopeSteps dragged;
    dragged.drag = std::pair{TPoint{500, 400}, TPoint{100, 50}};
    CaptureScope(dragged);
    EXPECT_EQ(dragged.steps, (std::vector<std::string>{"hide", "wait 200", "overlay", "scope 500,400 100,50", "show"}));
    ScopeSteps closed;
    CaptureScope(closed);
    EXPECT_EQ(closed.steps, (std::vector<std::string>{"hide", "wait 200", "overlay", "show"}));
}
