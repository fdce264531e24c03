#include "model/MouseObj.h"

#include <gtest/gtest.h>

TEST(MouseObjTest, ANewClickIsALeftSingleClickAtThePointerEverySecondUntilStopped) {
    const TMouseObj click;
    EXPECT_EQ(click.fPosX, 0);
    EXPECT_EQ(click.fPosY, 0);
    EXPECT_EQ(click.fStartAt, "");
    EXPECT_EQ(click.fStartInterval, 10000);
    EXPECT_EQ(click.fRepeat, 100);
    EXPECT_EQ(click.fColor, "clBlack");
    EXPECT_EQ(click.fTop, 0);
    EXPECT_EQ(click.fBottom, 768);
    EXPECT_EQ(click.fLeft, 0);
    EXPECT_EQ(click.fRight, 1024);
    EXPECT_EQ(click.fBMP, "");
    EXPECT_EQ(click.fColorSimplar, 100);
    EXPECT_EQ(click.fBMPSimplar, 100);
    EXPECT_EQ(click.fRanBegin, 100);
    EXPECT_EQ(click.fRanEnd, 5000);
    EXPECT_EQ(click.pointType, ptCurrent);
    EXPECT_EQ(click.mouseType, mtLeft);
    EXPECT_EQ(click.actionType, atSingle);
    EXPECT_EQ(click.startType, stNow);
    EXPECT_EQ(click.stopType, spCommand);
    EXPECT_EQ(click.finishType, ftNothing);
    EXPECT_EQ(click.ScreenType, scFull);
    EXPECT_EQ(click.InteverType, itFixed);
    EXPECT_EQ(click.iClickInterval, 1000);
    EXPECT_EQ(click.hkStart, 1);
    EXPECT_EQ(click.hkStop, 2);
    EXPECT_EQ(click.fName, "New Click");
    EXPECT_TRUE(click.checked);
}

TEST(MouseObjTest, AClickIsAValueThatCopiesAndComparesEveryField) {
    TMouseObj click;
    click.fName = "Save button";
    click.fBMP = "Qk0AAA==";
    click.pointType = ptPicture;
    TMouseObj copy = click;
    EXPECT_EQ(copy, click);
    copy.fBMP = "Qk0BAA==";
    EXPECT_NE(copy, click) << "the picture text is part of the value";
    EXPECT_EQ(click.fBMP, "Qk0AAA==") << "the copy is independent";
    copy = click;
    EXPECT_EQ(copy, click);
    copy.checked = false;
    EXPECT_NE(copy, click);
    copy = click;
    copy.hkStop = 7;
    EXPECT_NE(copy, click);
}
