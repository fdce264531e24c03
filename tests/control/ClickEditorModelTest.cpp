#include "control/ClickEditorModel.h"

#include "PixelTestSupport.h"
#include "pixels/Base64.h"
#include "pixels/PictureText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Model = TClickEditorModel;

TClickEditorFields shownFor(const TMouseObj& click) {
    return Model::FromClick(click, Model::Initial({9, 15, 0}));
}
} // namespace

TEST(ClickEditorModelTest, ANewClickAcceptedUnchangedStoresTheEditorsInitialValues) {
    TMouseObj click;
    click.fStartInterval = 7;
    click = Model::ToClick(Model::Initial({13, 5, 9}), click);
    EXPECT_EQ(click.pointType, ptCurrent);
    EXPECT_EQ(click.fPosX, 1000);
    EXPECT_EQ(click.fPosY, 600);
    EXPECT_EQ(click.startType, stNow);
    EXPECT_EQ(click.fStartAt, "13:05:09");
    EXPECT_EQ(click.fStartInterval, 60);
    EXPECT_EQ(click.iClickInterval, 1000);
    EXPECT_EQ(click.fRanBegin, 100);
    EXPECT_EQ(click.fRanEnd, 5000);
    EXPECT_EQ(click.fRepeat, 1);
    EXPECT_EQ(click.hkStart, 1);
    EXPECT_EQ(click.hkStop, 2);
    EXPECT_EQ(click.fColor, "clBlack");
    EXPECT_EQ(click.fRight, 1024);
    EXPECT_EQ(click.fBottom, 768);
    EXPECT_EQ(click.fBMP, "");
    EXPECT_EQ(click.fColorSimplar, 100);
    EXPECT_EQ(click.fName, "New Click");
    EXPECT_TRUE(click.checked);
}

TEST(ClickEditorModelTest, IntervalsAndDelaysSplitIntoTheirEditsAndComposeBack) {
    struct Case {
        std::int32_t interval;
        std::vector<std::string> shown;
        std::int32_t storedAgain;
    };
    const std::vector<Case> cases{
        {3723456, {"1", "2", "3", "4", "5", "6"}, 3723456},
        {1500, {"0", "0", "1", "5", "0", "0"}, 1500},
        {0, {"0", "0", "0", "0", "0", "0"}, 0},
        {1, {"0", "0", "0", "0", "0", "1"}, 1},
        {86399999, {"23", "59", "59", "9", "9", "9"}, 86399999},
        {90061001, {"25", "1", "1", "0", "0", "1"}, 90061001},
        {360000000, {"100", "0", "0", "0", "0", "0"}, 360000000},
    };
    for (const Case& c : cases) {
        TMouseObj click;
        click.iClickInterval = c.interval;
        const TClickEditorFields f = shownFor(click);
        EXPECT_EQ((std::vector<std::string>{f.edIntHour, f.edIntMinute, f.edIntSecond, f.edIntTenths, f.edIntHundredths,
                                            f.edIntThousandths}),
                  c.shown)
            << c.interval;
        click = Model::ToClick(f, click);
        EXPECT_EQ(click.iClickInterval, c.storedAgain);
    }
    TMouseObj click;
    click.fStartInterval = 3661;
    click.fRanBegin = 350;
    click.fRanEnd = 7999;
    TClickEditorFields f = shownFor(click);
    EXPECT_EQ((std::vector<std::string>{f.edtStartHour, f.edtStartMin, f.edtStartSec}),
              (std::vector<std::string>{"1", "1", "1"}));
    EXPECT_EQ(f.edRanBegin, "3") << "the lower random bound is shown in whole tenths";
    EXPECT_EQ(f.edRanEnd, "7") << "the upper one in whole seconds";
    f.edtStartMin = " 2 ";
    click = Model::ToClick(f, click);
    EXPECT_EQ(click.fStartInterval, 3600 + 120 + 1) << "start edits are trimmed before conversion";
    EXPECT_EQ(click.fRanBegin, 300);
    EXPECT_EQ(click.fRanEnd, 7000);
}

TEST(ClickEditorModelTest, NumbersAndTextsRoundTripAsTheyAre) {
    TMouseObj click;
    click.fPosX = -12;
    click.fPosY = 4321;
    click.fLeft = 800;
    click.fTop = 600;
    click.fRight = 100;
    click.fBottom = 50;
    click.fColorSimplar = 35;
    click.fBMPSimplar = 85;
    click.fRepeat = 250000;
    click.fName = "";
    click.fStartAt = "07:08:09";
    click.fColor = "not a colour";
    const TClickEditorFields f = shownFor(click);
    EXPECT_EQ((std::vector<std::string>{f.edPX, f.edPY, f.edColorL, f.edColorT, f.edColorR, f.edColorB}),
              (std::vector<std::string>{"-12", "4321", "800", "600", "100", "50"}))
        << "the scope is shown unsorted";
    EXPECT_EQ(f.edSimilar, "35") << "a stored value outside the arrows' bounds is shown unchanged";
    EXPECT_EQ(f.edStopTimes, "250000");
    EXPECT_EQ(f.fColor, "not a colour");
    EXPECT_EQ(Model::ToClick(f, TMouseObj{}), click);
}

TEST(ClickEditorModelTest, AFieldThatHoldsNoNumberIsNamedAndTheClickKeepsEveryValue) {
    struct Case {
        std::string TClickEditorFields::*field;
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases{
        {&TClickEditorFields::edIntMinute, "", "The field \"Min\" is empty. Please enter a number."},
        {&TClickEditorFields::edPY, "  ", "The field \"Y\" is empty. Please enter a number."},
        {&TClickEditorFields::edStopTimes, "12a", "The field \"times\" does not hold a number. Please enter a number."},
        {&TClickEditorFields::edColorL, "99999999999",
         "The field \"L\" does not hold a number. Please enter a number."},
    };
    for (const Case& c : cases) {
        TMouseObj click;
        click.fName = "Kept";
        TClickEditorFields f = shownFor(click);
        f.edName = "Changed";
        f.*c.field = c.text;
        try {
            click = Model::ToClick(f, click);
            ADD_FAILURE() << c.message;
        } catch (const std::invalid_argument& refused) {
            EXPECT_EQ(refused.what(), c.message);
        }
        EXPECT_EQ(click.fName, "Kept");
    }
}

TEST(ClickEditorModelTest, NumbersMayCarryBlanksAndASign) {
    TMouseObj click;
    TClickEditorFields f = shownFor(click);
    f.edPX = " -1200 ";
    f.edPY = "+7";
    click = Model::ToClick(f, click);
    EXPECT_EQ(click.fPosX, -1200);
    EXPECT_EQ(click.fPosY, 7);
}

TEST(ClickEditorModelTest, ChoicesRoundTripAndUnknownValuesLeaveTheClicksOwn) {
    TMouseObj click;
    click.pointType = ptColor;
    click.ScreenType = scPart;
    click.mouseType = mtMiddle;
    click.actionType = atUp;
    click.InteverType = itRandom;
    click.startType = stAfter;
    click.stopType = spRepeat;
    click.finishType = ftBackClick;
    click.hkStart = 11;
    click.hkStop = 0;
    TMouseObj copy;
    copy = Model::ToClick(shownFor(click), copy);
    EXPECT_EQ(copy.pointType, ptColor);
    EXPECT_EQ(copy.ScreenType, scPart);
    EXPECT_EQ(copy.mouseType, mtMiddle);
    EXPECT_EQ(copy.actionType, atUp);
    EXPECT_EQ(copy.InteverType, itRandom);
    EXPECT_EQ(copy.startType, stAfter);
    EXPECT_EQ(copy.stopType, spRepeat);
    EXPECT_EQ(copy.finishType, ftBackClick);
    EXPECT_EQ(copy.hkStart, 11);
    EXPECT_EQ(copy.hkStop, 0);

    struct Group {
        std::uint8_t TMouseObj::*field;
        int TClickEditorFields::*shown;
        std::uint8_t values;
    };
    using F = TClickEditorFields;
    for (const Group& g :
         {Group{&TMouseObj::pointType, &F::pointType, 4}, Group{&TMouseObj::ScreenType, &F::ScreenType, 2},
          Group{&TMouseObj::InteverType, &F::InteverType, 2}, Group{&TMouseObj::startType, &F::startType, 3},
          Group{&TMouseObj::stopType, &F::stopType, 2}, Group{&TMouseObj::finishType, &F::finishType, 3}})
        for (std::uint8_t value = 0; value < g.values; ++value) {
            TMouseObj chosen;
            chosen.*g.field = value;
            const TClickEditorFields f = shownFor(chosen);
            EXPECT_EQ(f.*g.shown, value) << "the radio checked is the value's";
            EXPECT_EQ(Model::ToClick(f, TMouseObj{}).*g.field, value);
        }

    click.pointType = 9;
    TClickEditorFields f = shownFor(click);
    EXPECT_EQ(f.pointType, -1) << "no point-type radio is checked";
    copy = Model::ToClick(f, copy);
    EXPECT_EQ(copy.pointType, ptColor) << "unchanged when none is checked";
}

TEST(ClickEditorModelTest, AStartTimeThatIsNoTimeOfDayShowsWhatThePickerShowed) {
    TMouseObj click;
    for (const char* bad : {"", "25:00:00", "12:60", "noon", "12:30:", "1:2:3:4"}) {
        click.fStartAt = bad;
        EXPECT_EQ(shownFor(click).fStartAt, "09:15:00") << bad;
    }
    click.fStartAt = "7:05";
    EXPECT_EQ(shownFor(click).fStartAt, "07:05:00");
    click.fStartAt = "23:59:59";
    EXPECT_EQ(shownFor(click).fStartAt, "23:59:59");
}

TEST(ClickEditorModelTest, EachPointTypeMakesOnlyItsOwnGroupUsable) {
    EXPECT_EQ(Model::EnabledGroups(ptCurrent), (TPointGroups{false, false, false}));
    EXPECT_EQ(Model::EnabledGroups(ptFixed), (TPointGroups{true, false, false}));
    EXPECT_EQ(Model::EnabledGroups(ptColor), (TPointGroups{false, true, false}));
    EXPECT_EQ(Model::EnabledGroups(ptPicture), (TPointGroups{false, false, true}));
}

TEST(ClickEditorModelTest, NumericEditsTakeDigitsAndEditingKeysOnly) {
    for (char32_t typed : {U'0', U'5', U'9', char32_t(8), char32_t(10), char32_t(13)})
        EXPECT_TRUE(Model::DigitPasses(typed)) << int(typed);
    for (char32_t typed : {U'a', U'-', U' ', U'.', char32_t(0x16), char32_t(0x661)})
        EXPECT_FALSE(Model::DigitPasses(typed)) << int(typed);
}

TEST(ClickEditorModelTest, AStoredPictureThatIsNoBase64ShowsNoneAndIsMarked) {
    TMouseObj click;
    click.fBMP = "@@@ not base64 @@@";
    TClickEditorFields shown = Model::Initial({9, 15, 0});
    shown.picture = {'B', 'M'};
    const TClickEditorFields f = Model::FromClick(click, shown);
    EXPECT_TRUE(f.picture.empty());
    EXPECT_TRUE(f.pictureUnreadable);
    click.fBMP = StreamToBase64({'B', 'M'});
    EXPECT_FALSE(shownFor(click).pictureUnreadable);
}

TEST(ClickEditorModelTest, APictureIsStoredAsItsTextAndTheEditedClickIsAWholeValue) {
    const std::vector<std::uint8_t> bmp = PixelTest::Bmp24Image(1, 1, [](int, int) { return 0xFF0000u; });
    TMouseObj click;
    click.fBMP = StreamToBase64({'B', 'M'});
    click.checked = false;
    TClickEditorFields f = shownFor(click);
    f.picture = bmp;
    const TMouseObj edited = Model::ToClick(f, click);
    EXPECT_EQ(click.fBMP, StreamToBase64({'B', 'M'})) << "the shown click is not written";
    EXPECT_EQ(edited.fBMP, StreamToBase64(bmp));
    EXPECT_FALSE(edited.checked) << "what the editor does not show stays the click's";
    const std::shared_ptr<const TBDBitmapData> picture = DecodePicture(edited.fBMP);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width, 1);
    EXPECT_EQ(picture->Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(Model::ToClick(shownFor(edited), edited), edited) << "shown and accepted unchanged, nothing changes";
}

TEST(ClickEditorModelTest, HotKeyItemsNameTheirKeyAndMarkKeysHeldElsewhere) {
    EXPECT_EQ(Model::HotKeyItem(0, true), "F1");
    EXPECT_EQ(Model::HotKeyItem(11, true), "F12");
    EXPECT_EQ(Model::HotKeyItem(2, false), "F3 (unavailable)");
}
