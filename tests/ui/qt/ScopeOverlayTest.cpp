#include "ui/qt/ScopeOverlay.h"
#include "pixels/Color.h"
#include "platform/fake/FakePlatform.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {
class OverlayTest : public ::testing::Test {
protected:
    OverlayTest() {
        fake.screen.resize(200, 120);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 200; ++x)
                fake.screen.setPixel(x, y, std::uint32_t((x * 7) << 16 | (y * 3) << 8 | ((x + y) & 0xFF)));
    }

    FakePlatform fake;
};
} // namespace

TEST_F(OverlayTest, TheSnapshotIsTheScreenAtCreation) {
    TScopeOverlay overlay(fake.screen, fake.mouse);
    fake.screen.fill(0);
    ASSERT_EQ(overlay.image().size(), QSize(200, 120));
    EXPECT_EQ(overlay.image().pixel(13, 17) & 0xFFFFFF, std::uint32_t((13 * 7) << 16 | (17 * 3) << 8 | 30));
    EXPECT_EQ(overlay.drag.FCrossPos, (TPoint{-1, -1}));
    EXPECT_TRUE(overlay.drag.FCrossHair);
}

TEST_F(OverlayTest, TheCrosshairFollowsThePointerAndLeavesNoMark) {
    TScopeOverlay overlay(fake.screen, fake.mouse);
    const QImage snapshot = overlay.image();
    overlay.OverlayMouseMove(50, 40);
    EXPECT_NE(overlay.image(), snapshot);
    EXPECT_EQ(overlay.image().pixel(50, 100), ~snapshot.pixel(50, 100) | 0xFF000000u) << "inverted under the line";
    EXPECT_EQ(overlay.image().pixel(150, 40), ~snapshot.pixel(150, 40) | 0xFF000000u);
    EXPECT_EQ(overlay.image().pixel(51, 41), snapshot.pixel(51, 41));
    overlay.OverlayMouseMove(120, 90);
    EXPECT_EQ(overlay.image().pixel(50, 100), snapshot.pixel(50, 100)) << "the old crosshair is erased";
    overlay.OverlayMouseDown(120, 90);
    EXPECT_EQ(overlay.image(), snapshot) << "the press erases the crosshair";
    EXPECT_FALSE(overlay.drag.FCrossHair);
}

TEST_F(OverlayTest, ADragReturnsItsCornersUnsorted) {
    TScopeOverlay overlay(fake.screen, fake.mouse);
    const QImage snapshot = overlay.image();
    overlay.OverlayMouseMove(180, 100);
    overlay.OverlayMouseDown(180, 100);
    overlay.OverlayMouseMove(100, 60);
    overlay.OverlayMouseMove(10, 5);
    EXPECT_EQ(overlay.drag.FCurPos, (TPoint{10, 5}));
    EXPECT_NE(overlay.image().pixel(10, 50), snapshot.pixel(10, 50)) << "the band's left side is drawn";
    EXPECT_EQ(overlay.image().pixel(100, 80), snapshot.pixel(100, 80)) << "the earlier band is erased";
    overlay.OverlayMouseUp(10, 5);
    EXPECT_EQ(overlay.result(), QDialog::Accepted);
    EXPECT_EQ(overlay.drag.FStartPos, (TPoint{180, 100}));
    EXPECT_EQ(overlay.drag.FEndPos, (TPoint{10, 5}));
    EXPECT_FALSE(overlay.drag.FDragging);
}

TEST_F(OverlayTest, APressAndReleaseInPlaceGivesEqualCorners) {
    TScopeOverlay overlay(fake.screen, fake.mouse);
    overlay.OverlayMouseDown(70, 30);
    overlay.OverlayMouseUp(70, 30);
    EXPECT_EQ(overlay.result(), QDialog::Accepted);
    EXPECT_EQ(overlay.drag.FStartPos, overlay.drag.FEndPos);
}

TEST_F(OverlayTest, ASecondPressEndsTheDragWhereItIsAndTheReleaseChangesNothing) {
    TScopeOverlay overlay(fake.screen, fake.mouse);
    overlay.OverlayMouseDown(20, 20);
    overlay.OverlayMouseMove(60, 70);
    overlay.OverlayMouseDown(60, 70);
    EXPECT_EQ(overlay.result(), QDialog::Accepted);
    EXPECT_EQ(overlay.drag.FEndPos, (TPoint{60, 70}));
    overlay.OverlayMouseUp(90, 90);
    EXPECT_EQ(overlay.drag.FEndPos, (TPoint{60, 70}));
}

TEST_F(OverlayTest, MovesAfterTheDragAndReleasesBeforeAnyPressDoNothing) {
    TScopeOverlay overlay(fake.screen, fake.mouse);
    overlay.OverlayMouseUp(5, 5);
    EXPECT_NE(overlay.result(), QDialog::Accepted);
    overlay.OverlayMouseDown(5, 5);
    overlay.OverlayMouseUp(9, 9);
    const QImage done = overlay.image();
    overlay.OverlayMouseMove(30, 30);
    EXPECT_EQ(overlay.image(), done);
}

// Qt hands the overlay positions in whole units of the display scale; ctest runs this also at a scale of 1.5, where
// the screen pixels 499 and 500 share one unit.
TEST_F(OverlayTest, TheCornersAreTheScreenPixelsThePointerWasOnAtAnyScale) {
    fake.screen.resize(800, 600);
    TScopeOverlay overlay(fake.screen, fake.mouse);
    overlay.show();
    const qreal scale = overlay.devicePixelRatioF();
    const auto send = [&](QEvent::Type type, TPoint pixel) {
        fake.mouse.setCursorPos(pixel.x, pixel.y);
        const QPointF unit(qRound(pixel.x / scale), qRound(pixel.y / scale));
        QMouseEvent event(type, unit, unit, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&overlay, &event);
    };
    send(QEvent::MouseButtonPress, {700, 500});
    send(QEvent::MouseMove, {301, 199});
    send(QEvent::MouseButtonRelease, {300, 200});
    EXPECT_EQ(overlay.drag.FStartPos, (TPoint{700, 500})) << "at a scale of " << scale;
    EXPECT_EQ(overlay.drag.FEndPos, (TPoint{300, 200})) << "at a scale of " << scale;
}

namespace {
// The in-memory screen laid out as Qt's screens, with the primary one at the program's origin; every pixel tells its
// program position.
void layOutAsQtsScreens(FakeScreen& screen) {
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    screen.resize(primary.width(), primary.height());
    for (const QScreen* other : QGuiApplication::screens()) {
        const QRect area = other->geometry().translated(-primary.topLeft());
        if (other != QGuiApplication::primaryScreen())
            screen.addMonitor({area.x(), area.y(), area.width(), area.height()});
    }
    for (const QScreen* each : QGuiApplication::screens()) {
        const QRect area = each->geometry().translated(-primary.topLeft());
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                screen.setPixel(x, y, std::uint32_t((x & 0xFFF) << 12 | (y & 0xFFF)));
    }
}

// The overlay's window on `screen`.
QWidget* windowOn(TScopeOverlay& overlay, const QScreen* screen) {
    if (screen == QGuiApplication::primaryScreen())
        return &overlay;
    for (TOverlayPart* part : overlay.parts())
        if (part->screen() == screen)
            return part;
    return nullptr;
}
} // namespace

// As on Wayland: a window on each screen, and positions from the windows' own events, never from the pointer. ctest
// runs this on two screens laid out around another origin than the primary's top-left (two-screens.json).
TEST(OverlayScreensTest, EachScreensWindowShowsItsPartAndAPressPicksThePixelUnderIt) {
    FakePlatform fake;
    layOutAsQtsScreens(fake.screen);
    const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
    for (const QScreen* screen : QGuiApplication::screens()) {
        TScopeOverlay overlay(fake.screen, fake.mouse, TDragKind::Point, TOverlayWindows::OnEachScreen);
        EXPECT_EQ(overlay.parts().size(), QGuiApplication::screens().size() - 1);
        fake.screen.fill(0);
        overlay.show();
        QWidget* window = windowOn(overlay, screen);
        ASSERT_NE(window, nullptr) << screen->name().toStdString();
        const QPoint program = screen->geometry().topLeft() - origin + QPoint(7, 9);
        const std::uint32_t painted = std::uint32_t((program.x() & 0xFFF) << 12 | (program.y() & 0xFFF));
        EXPECT_EQ(window->grab().toImage().pixel(7, 9) & 0xFFFFFFu, painted) << screen->name().toStdString();
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(7, 9));
        EXPECT_EQ(overlay.result(), QDialog::Accepted);
        const TPick pick = overlay.frozen().Pick(overlay.drag.FStartPos);
        EXPECT_EQ(pick.point, (TPoint{program.x(), program.y()})) << screen->name().toStdString();
        EXPECT_EQ(pick.swatch.value, SwapRB(painted)) << "the frozen pixel, not the screen now";
        layOutAsQtsScreens(fake.screen);
    }
    EXPECT_EQ(fake.mouse.positionReads(), 0);
}

TEST(OverlayScreensTest, EscapeEndsAPickWithoutAPixelButNotAScope) {
    FakePlatform fake;
    fake.screen.resize(200, 120);
    for (const TOverlayWindows windows : {TOverlayWindows::OverPrimary, TOverlayWindows::OnEachScreen}) {
        TScopeOverlay pick(fake.screen, fake.mouse, TDragKind::Point, windows);
        pick.show();
        QTest::keyClick(&pick, Qt::Key_Escape);
        EXPECT_EQ(pick.result(), QDialog::Rejected);
        EXPECT_FALSE(pick.isVisible());
        TScopeOverlay scope(fake.screen, fake.mouse, TDragKind::Scope, windows);
        scope.show();
        QTest::keyClick(&scope, Qt::Key_Escape);
        EXPECT_TRUE(scope.isVisible());
    }
}
