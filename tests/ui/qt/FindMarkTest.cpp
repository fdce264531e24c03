#include "ui/qt/FindMark.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

// On two screens scaled by 2 (ui_find_mark_on_two_scaled_screens): a bar 100 and 40 pixels from the second screen's
// corner lies on that screen, 50 and 20 of Qt's positions from its corner, and half as large.
TEST(FindMarkScreensTest, ABarOnTheSecondScreenLiesOnItAtThePlaceOfItsPixels) {
    if (QGuiApplication::screens().size() < 2 || QGuiApplication::screens().back()->devicePixelRatio() != 2)
        GTEST_SKIP() << "needs a second screen scaled by 2";
    const QScreen* second = QGuiApplication::screens().back();
    const QPoint corner = second->geometry().topLeft();
    const QPoint pixel = corner - QGuiApplication::primaryScreen()->geometry().topLeft() + QPoint(100, 40);
    TFindMark mark;
    mark.show({{{pixel.x(), pixel.y(), 20, 6}, 0xFF0000}});
    ASSERT_EQ(mark.bars().size(), 1u);
    const QRect bar = mark.bars().front()->geometry();
    EXPECT_EQ(bar, QRect(corner + QPoint(50, 20), QSize(10, 3)));
    EXPECT_TRUE(second->geometry().contains(bar));
}
