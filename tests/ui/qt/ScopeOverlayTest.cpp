#include "ui/qt/ScopeOverlay.h"
#include "platform/fake/FakePlatform.h"

#include <QApplication>
#include <QMouseEvent>

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
