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
    std::optional<TPick> pick;
    std::optional<std::pair<TPoint, TPoint>> runScopeOverlay() override {
        steps.push_back("overlay");
        return drag;
    }
    std::optional<TPick> runPickOverlay() override {
        steps.push_back("pick overlay");
        return pick;
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

TEST(CaptureScopeTest, APickIsShownAsACaptureOfItsKindAndEscapeShowsNothing) {
    const TPick pick{{-30, 7}, "$00563412", {TSwatch::Plain, 0x563412}};
    for (const TPickKind kind : {TPickKind::Point, TPickKind::Color}) {
        ScopeSteps picked;
        picked.pick = pick;
        Shown shown;
        PickOnFrozenScreen(picked, shown, kind);
        EXPECT_EQ(picked.steps, (std::vector<std::string>{"hide", "wait 200", "pick overlay", "show"}));
        EXPECT_EQ(shown.points.size(), kind == TPickKind::Point ? 1u : 0u);
        if (kind == TPickKind::Point) {
            EXPECT_EQ(shown.points.front(), (TPoint{-30, 7}));
        }
        EXPECT_EQ(shown.colors.size(), kind == TPickKind::Color ? 1u : 0u);
    }
    ScopeSteps escaped;
    Shown shown;
    PickOnFrozenScreen(escaped, shown, TPickKind::Color);
    EXPECT_EQ(escaped.steps.back(), "show");
    EXPECT_TRUE(shown.colors.empty());
}

// A monitor left of the primary one: every monitor's picture starts there, at a negative program position.
TEST(FrozenScreenTest, APickIsTheFrozenPixelAtItsProgramPosition) {
    FakeScreen screen(200, 100);
    screen.addMonitor({-120, 20, 120, 60});
    screen.setPixel(-100, 30, 0x123456);
    screen.setPixel(150, 90, 0xFFFFFF);
    const TFrozenScreen all(screen, TFrozenScreen::TPart::AllMonitors);
    const TFrozenScreen primary(screen, TFrozenScreen::TPart::Primary);
    screen.fill(0x000000);
    EXPECT_EQ(all.origin(), (TPoint{-120, 0}));
    EXPECT_EQ(all.pixels().width, 320);
    EXPECT_EQ(all.Pick({20, 30}), (TPick{{-100, 30}, "$00563412", {TSwatch::Plain, 0x563412}}))
        << "read from the picture taken, not from the screen now";
    EXPECT_EQ(all.Pick({270, 90}).colorText, "clWhite");
    EXPECT_EQ(primary.origin(), (TPoint{0, 0}));
    EXPECT_EQ(primary.pixels().width, 200);
    EXPECT_EQ(primary.Pick({150, 90}), (TPick{{150, 90}, "clWhite", {TSwatch::Plain, 0xFFFFFF}}));
    screen.failNextCopy();
    EXPECT_EQ(TFrozenScreen(screen, TFrozenScreen::TPart::Primary).Pick({150, 90}).colorText, "clBlack")
        << "a copy that failed shows black";
}

// The toolkit's screens as a compositor may lay them out, with its origin anywhere: the primary (program origin) is the
// right one here.
TEST(FrozenScreenTest, EachToolkitScreenShowsItsPartOfThePictureMatchedAtTheTopLeft) {
    const std::vector<TRect> toolkit{{1000, 520, 200, 100}, {880, 540, 120, 60}};
    EXPECT_EQ(TFrozenScreen::PartOfPicture(toolkit[0], toolkit), (TRect{120, 0, 200, 100}));
    EXPECT_EQ(TFrozenScreen::PartOfPicture(toolkit[1], toolkit), (TRect{0, 20, 120, 60}));
}
