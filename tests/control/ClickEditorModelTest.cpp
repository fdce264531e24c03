#include "control/ClickEditorModel.h"

#include "PixelTestSupport.h"
#include "pixels/Base64.h"
#include "pixels/PictureText.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace {
using Model = TClickEditorModel;
// Two monitors, the second left of the primary one.
constexpr TRect kDesk{-1920, 0, 1920 + 2560, 1440};

TClickEditorFields shownFor(const TMouseObj& click) {
    return Model::FromClick(click, Model::Initial({9, 15, 0}));
}
} // namespace

TEST(ClickEditorModelTest, ANewClickAcceptedUnchangedStoresTheEditorsInitialValues) {
    TMouseObj click;
    click.fStartInterval = 7;
    click = Model::ToClick(Model::Initial({13, 5, 9}), click, kDesk);
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
        {0, {"0", "0", "0", "0", "0", "1"}, 1},
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
        click = Model::ToClick(f, click, kDesk);
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
    click = Model::ToClick(f, click, kDesk);
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
    EXPECT_EQ(Model::ToClick(f, TMouseObj{}, kDesk), click);
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
        {&TClickEditorFields::edColorL, "99999999999", "The field \"L\" must be from -1920 to 2560."},
    };
    for (const Case& c : cases) {
        TMouseObj click;
        click.fName = "Kept";
        TClickEditorFields f = shownFor(click);
        f.edName = "Changed";
        f.*c.field = c.text;
        try {
            click = Model::ToClick(f, click, kDesk);
            ADD_FAILURE() << c.message;
        } catch (const std::invalid_argument& refused) {
            EXPECT_EQ(refused.what(), c.message);
        }
        EXPECT_EQ(click.fName, "Kept");
    }
}

TEST(ClickEditorModelTest, CoordinatesMayCarryBlanksAndAMinus) {
    TMouseObj click;
    TClickEditorFields f = shownFor(click);
    f.edPX = " -1200 ";
    f.edPY = "7";
    click = Model::ToClick(f, click, kDesk);
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
    copy = Model::ToClick(shownFor(click), copy, kDesk);
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
            EXPECT_EQ(Model::ToClick(f, TMouseObj{}, kDesk).*g.field, value);
        }

    click.pointType = 9;
    TClickEditorFields f = shownFor(click);
    EXPECT_EQ(f.pointType, -1) << "no point-type radio is checked";
    copy = Model::ToClick(f, copy, kDesk);
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
    const TMouseObj edited = Model::ToClick(f, click, kDesk);
    EXPECT_EQ(click.fBMP, StreamToBase64({'B', 'M'})) << "the shown click is not written";
    EXPECT_EQ(edited.fBMP, StreamToBase64(bmp));
    EXPECT_FALSE(edited.checked) << "what the editor does not show stays the click's";
    const std::shared_ptr<const TPixelBuffer> picture = DecodePicture(edited.fBMP);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 1);
    EXPECT_EQ(picture->Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(Model::ToClick(shownFor(edited), edited, kDesk), edited)
        << "shown and accepted unchanged, nothing changes";
}

TEST(ClickEditorModelTest, HotKeyItemsNameTheirKeyAndMarkKeysHeldElsewhere) {
    EXPECT_EQ(Model::HotKeyItem(0, true), "F1");
    EXPECT_EQ(Model::HotKeyItem(11, true), "F12");
    EXPECT_EQ(Model::HotKeyItem(2, false), "F3 (unavailable)");
}

TEST(ClickEditorModelTest, SignsHugeNumbersAndValuesOutOfRangeAreRefusedNamingTheField) {
    using F = TClickEditorFields;
    struct Case {
        std::vector<std::pair<std::string F::*, std::string>> typed;
        std::string F::*refused;
        std::string message;
    };
    const std::string interval = "The click interval (Hour, Min, Sec, 0.1S, 0.01S, 0.001S) must be from 1 to ";
    const std::vector<Case> cases{
        {{{&F::edIntHour, "-1"}}, &F::edIntHour, "The field \"Hour\" does not hold a number. Please enter a number."},
        {{{&F::edSimilar, "-5"}},
         &F::edSimilar,
         "The field \"Color Simliar\" does not hold a number. Please enter a number."},
        {{{&F::edStopTimes, "-3"}},
         &F::edStopTimes,
         "The field \"times\" does not hold a number. Please enter a number."},
        {{{&F::edPX, "+7"}}, &F::edPX, "The field \"X\" does not hold a number. Please enter a number."},
        {{{&F::edIntSecond, "0"}}, &F::edIntHour, interval + "2147483647 ms."},
        {{{&F::edIntHour, "597"}}, &F::edIntHour, interval + "2147483647 ms."},
        {{{&F::edIntHour, "596"}, {&F::edIntMinute, "31"}, {&F::edIntSecond, "24"}},
         &F::edIntHour,
         interval + "2147483647 ms."},
        {{{&F::edIntHour, "999999999999"}, {&F::edIntMinute, "999999999999"}},
         &F::edIntHour,
         interval + "2147483647 ms."},
        {{{&F::edRanEnd, "2147484"}},
         &F::edRanEnd,
         "The random interval's upper bound (Seconds) must be from 0 to 2147483647 ms."},
        {{{&F::edtStartHour, "596524"}},
         &F::edtStartHour,
         "The start delay (Hours, Minutes, Seconds) must be from 0 to 2147483647 seconds."},
        {{{&F::edBMPSimilar, "101"}}, &F::edBMPSimilar, "The field \"BMP Simliar\" must be from 0 to 100 %."},
        {{{&F::edStopTimes, "0"}}, &F::edStopTimes, "The field \"times\" must be from 1 to 2147483647."},
        {{{&F::edPX, "-1921"}}, &F::edPX, "The field \"X\" must be from -1920 to 2560."},
        {{{&F::edColorB, "1441"}}, &F::edColorB, "The field \"B\" must be from 0 to 1440."},
        {{{&F::edIntSecond, "0"}, {&F::edIntThousandths, "1"}}, nullptr, ""},
        {{{&F::edIntHour, "596"},
          {&F::edIntMinute, "31"},
          {&F::edIntSecond, "23"},
          {&F::edIntTenths, "6"},
          {&F::edIntHundredths, "4"},
          {&F::edIntThousandths, "7"}},
         nullptr,
         ""},
        {{{&F::edPX, "-1920"}, {&F::edPY, "1440"}}, nullptr, ""},
        {{{&F::edHoldTimeTo, "10001"}}, &F::edHoldTimeTo, "The longest hold time (to) must be from 0 to 10000 ms."},
        {{{&F::edJitter, "501"}}, &F::edJitter, "The field \"Spread\" must be from 0 to 500 pixels."},
    };
    for (const Case& c : cases) {
        TClickEditorFields f = Model::Initial({9, 15, 0});
        f.stopType = spRepeat; // so that the count is read
        for (const auto& [field, text] : c.typed)
            f.*field = text;
        const std::optional<TFieldRefusal> refusal = Model::Refusal(f, kDesk);
        ASSERT_EQ(refusal.has_value(), c.refused != nullptr) << c.message;
        if (!refusal)
            continue;
        EXPECT_TRUE(refusal->field == c.refused) << c.message;
        EXPECT_EQ(refusal->message, c.message);
    }
    TClickEditorFields stoppedByCommand = Model::Initial({9, 15, 0});
    stoppedByCommand.edStopTimes = "0";
    stoppedByCommand.stopType = spCommand;
    EXPECT_FALSE(Model::Refusal(stoppedByCommand, kDesk)) << "a count no stop reads is kept as the file has it";
}

TEST(ClickEditorModelTest, ACoordinateLeftAsShownIsKeptOffTodaysMonitors) {
    TMouseObj click;
    click.fPosX = 5000;
    TClickEditorFields f = shownFor(click);
    EXPECT_EQ(Model::ToClick(f, click, kDesk).fPosX, 5000);
    f.edPX = "5001";
    EXPECT_TRUE(Model::Refusal(f, kDesk));
}

TEST(ClickEditorModelTest, EditsTakeDigitsWithinTheirLengthAndCoordinatesOneLeadingMinus) {
    const auto field = [](const char* name) {
        for (const TNumericField& f : Model::NumericFields())
            if (std::string(f.name) == name)
                return f;
        throw std::logic_error(name);
    };
    struct Case {
        const char* field;
        std::string text;
        bool accepted;
    };
    const std::vector<Case> cases{
        {"Hour", "23", true},  {"Hour", "", true},     {"Hour", "-1", false},     {"Hour", "123", false},
        {"Hour", "1a", false}, {"Hour", " 1", false},  {"times", "123456", true}, {"Color Simliar", "-5", false},
        {"X", "-1200", true},  {"X", "-", true},       {"X", "1-2", false},       {"X", "--1", false},
        {"X", "+12", false},   {"T", "-12345", false}, {"0.001S", "10", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Model::Accepts(field(c.field), c.text), c.accepted) << c.field << " '" << c.text << "'";
}

TEST(ClickEditorModelTest, AnUnreadableStartTimeIsToldAndKeptUnlessThePickerChanges) {
    TMouseObj click;
    click.fStartAt = " 7: 8";
    TClickEditorFields f = shownFor(click);
    EXPECT_EQ(f.fStartAt, "09:15:00");
    EXPECT_NE(Model::LoadNotice(f).find("start time"), std::string::npos);
    EXPECT_EQ(Model::ToClick(f, click, kDesk).fStartAt, " 7: 8");
    f.fStartAt = "10:00:00";
    EXPECT_EQ(Model::ToClick(f, click, kDesk).fStartAt, "10:00:00");

    click.fStartAt = "";
    f = shownFor(click);
    EXPECT_EQ(Model::LoadNotice(f), "") << "a click without a start time has nothing to tell";
    EXPECT_EQ(Model::ToClick(f, click, kDesk).fStartAt, "09:15:00");
    click.fStartAt = "07:08 ";
    EXPECT_EQ(shownFor(click).fStartAt, "07:08:00") << "what the runner reads, the editor shows";
}

TEST(ClickEditorModelTest, CoordinatesAreHeldToTheUnionOfTheMonitors) {
    EXPECT_EQ(Model::Extent({{0, 0, 2560, 1440}, {-1920, 300, 1920, 1080}}), kDesk);
    EXPECT_EQ(Model::Extent({}), TRect{});
}

// The hold and spread round trip; a double click held longer than the system's double-click time lets is refused.
TEST(ClickEditorModelTest, TheHoldAndSpreadRoundTripAndADoubleClickHeldTooLongIsRefused) {
    TMouseObj click;
    click.fHoldTime = 80;
    click.fHoldTimeTo = 176;
    click.fJitter = 10;
    click.actionType = atDouble;
    const TClickEditorFields f = shownFor(click);
    const TMouseObj stored = Model::ToClick(f, TMouseObj{}, kDesk, 500);
    EXPECT_EQ((std::vector{stored.fHoldTime, stored.fHoldTimeTo, stored.fJitter}), (std::vector{80, 176, 10}));
    const std::optional<TFieldRefusal> refusal = Model::Refusal(f, kDesk, 400);
    ASSERT_TRUE(refusal && refusal->field == &TClickEditorFields::edHoldTimeTo);
    EXPECT_EQ(refusal->message, "A double click counts only when its two presses come within the system's "
                                "double-click time (400 ms), so each press can be held at most 175 ms.");
    EXPECT_EQ(Model::SpreadArea(f.edJitter) + ", " + Model::SpreadArea("0"), "in a 21 px circle, on the target");
}

namespace {
class FindNowView : public IFindNowView {
public:
    TClickEditorFields fields() const override { return shown; }
    void showFindResult(const std::string& text) override { line = text; }
    void setFindNowCaption(const std::string& text) override { caption = text; }
    void showMark(const std::vector<TMarkBar>& bars) override { mark = bars; }
    void hideMark() override { mark.clear(); }
    void hideEditor() override {}
    void waitHidden(int) override {}
    void showEditor() override {}

    TClickEditorFields shown = Model::Initial({9, 0, 0});
    std::string line;
    std::string caption = Model::FindNowCaption(false);
    std::vector<TMarkBar> mark;
};

// The search runs on a thread of its own and comes back at a tick of the loop.
void RunUntilShown(FakePlatform& fake, const FindNowView& view) {
    for (int tick = 0; tick < 5000 && view.line.empty(); ++tick) {
        fake.loop.advance(TFindNow::kPollIntervalMs);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::vector<TMarkBar> Outline(TRect inner, int width, std::uint32_t color) {
    const int right = inner.left + inner.width, bottom = inner.top + inner.height;
    return {{{inner.left - width, inner.top - width, inner.width + 2 * width, width}, color},
            {{inner.left - width, bottom, inner.width + 2 * width, width}, color},
            {{inner.left - width, inner.top, width, inner.height}, color},
            {{right, inner.top, width, inner.height}, color}};
}

std::vector<TMarkBar> Joined(std::vector<TMarkBar> first, const std::vector<TMarkBar>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
} // namespace

// The editor's current values are searched for on the screen as it is; the line tells the outcome, a place found is
// marked beside it (never on the pixels found) with the scope's outline, and the mark goes after two seconds.
TEST(FindNowTest, TheLineTellsTheOutcomeAndAPlaceFoundIsMarkedBesideItForTwoSeconds) {
    const std::vector<std::uint8_t> picture =
        PixelTest::Bmp24Image(4, 3, [](int x, int y) { return 0x102030u + x + 16 * y; });
    const std::vector<TMarkBar> crossOn300x200{{{285, 199, 12, 3}, 0xFF00FF},
                                               {{304, 199, 12, 3}, 0xFF00FF},
                                               {{299, 185, 3, 12}, 0xFF00FF},
                                               {{299, 204, 3, 12}, 0xFF00FF}};
    struct Case {
        const char* what;
        int pointType;
        bool pixelPainted;
        bool placesWindows;
        std::string lineStart;
        std::vector<TMarkBar> mark;
    };
    const std::vector<Case> cases{
        {"colour found", ptColor, true, true, "Found at (300, 200) in ",
         Joined(crossOn300x200, Outline({100, 50, 400, 350}, 1, 0x0078D7))},
        {"colour missed", ptColor, false, true, "Not found in ", {}},
        {"picture found", ptPicture, true, true, "Found at (202, 101) in ",
         Joined(Outline({200, 100, 4, 3}, 2, 0xFF0000), Outline({100, 50, 400, 350}, 1, 0x0078D7))},
        {"no mark where windows cannot be placed", ptColor, true, false, "Found at (300, 200) in ", {}},
        {"not a search", ptFixed, true, true, "Could not search: the click looks for no colour or picture.", {}},
    };
    for (const Case& c : cases) {
        FakePlatform fake;
        fake.screen.resize(640, 480);
        fake.screen.fill(0xFFFFFF);
        if (c.pixelPainted) {
            fake.screen.setPixel(300, 200, 0x123456);
            fake.screen.paint(200, 100, 4,
                              std::vector<std::uint32_t>{0x102030, 0x102031, 0x102032, 0x102033, 0x102040, 0x102041,
                                                         0x102042, 0x102043, 0x102050, 0x102051, 0x102052, 0x102053});
        }
        FindNowView view;
        view.shown.pointType = c.pointType;
        view.shown.fColor = "$00563412";
        view.shown.picture = picture;
        view.shown = Model::WithScope(view.shown, {100, 50}, {500, 400});
        view.shown.ScreenType = scPart;
        TFindNowAction action(fake.screen, fake.loop, view, {0, 0, 640, 480}, c.placesWindows);
        action.Click();
        EXPECT_EQ(view.caption, "Cancel") << c.what << ": the button cancels while the search goes on";
        RunUntilShown(fake, view);
        EXPECT_TRUE(view.line.starts_with(c.lineStart)) << c.what << ": " << view.line;
        EXPECT_EQ(view.caption, "Find now") << c.what;
        EXPECT_EQ(view.mark, c.mark) << c.what;
        EXPECT_EQ(view.line.find("not marked") != std::string::npos, !c.placesWindows) << c.what;
        fake.loop.advance(TFindNowAction::kMarkMs - 1);
        EXPECT_EQ(view.mark, c.mark) << c.what;
        fake.loop.advance(TFindNow::kPollIntervalMs);
        EXPECT_TRUE(view.mark.empty()) << c.what;
    }
}

// The editor shows the colour searched for in its swatch: it is out of the way while the screen is copied.
TEST(FindNowTest, TheEditorIsHiddenWhileTheScreenIsCopied) {
    FakePlatform fake;
    fake.screen.resize(640, 480);
    fake.screen.fill(0xFFFFFF);
    fake.screen.setPixel(300, 200, 0x123456);
    struct SwatchShown : FindNowView {
        FakeScreen& screen;
        bool editorShown = false;
        explicit SwatchShown(FakeScreen& s) : screen(s) { showEditor(); }
        void hideEditor() override { paintEditor(false, 0xFFFFFF); }
        void showEditor() override { paintEditor(true, 0x123456); }
        void paintEditor(bool shownNow, std::uint32_t swatch) {
            editorShown = shownNow;
            screen.setPixel(20, 10, swatch);
        }
    } view(fake.screen);
    view.shown.pointType = ptColor;
    view.shown.fColor = "$00563412";
    TFindNowAction action(fake.screen, fake.loop, view, {0, 0, 640, 480}, true);
    action.Click();
    RunUntilShown(fake, view);
    EXPECT_TRUE(view.line.starts_with("Found at (300, 200) in ")) << view.line;
    EXPECT_TRUE(view.editorShown) << "the editor is back";
}

TEST(FindNowTest, ValuesThatMakeNoClickAreToldAndNothingIsSearched) {
    FakePlatform fake;
    FindNowView view;
    view.shown.pointType = ptColor;
    view.shown.edIntMinute.clear();
    TFindNowAction action(fake.screen, fake.loop, view, {0, 0, 640, 480}, true);
    action.Click();
    EXPECT_EQ(view.line, "The field \"Min\" is empty. Please enter a number.");
    EXPECT_FALSE(action.Searching());
    EXPECT_EQ(view.caption, "Find now");
}

// A spread click's mark rings the area its clicks land in: every dot just outside the radius, around the place
// found, and on the monitor of that place, where clicks beyond its edge land on the edge.
TEST(FindNowTest, ASpreadClicksMarkRingsItsAreaOnTheMonitorOfThePlaceFound) {
    const std::vector<TRect> monitors{{0, 0, 640, 480}, {640, 0, 640, 480}};
    struct Case {
        const char* what;
        TPoint place;
        int radius;
    };
    for (const Case& c : {Case{"in the open", {300, 200}, 40}, Case{"beside the next monitor", {630, 100}, 60},
                          Case{"at the top", {200, 3}, 5}}) {
        TMouseObj click;
        click.pointType = ptColor;
        click.fColor = "$00563412";
        TDryRunResult result;
        result.outcome = TDryRunOutcome::Found;
        result.place = c.place;
        result.scope = monitors[0];
        const std::size_t unspread = TFindNowAction::Shown(click, result, true, monitors).mark.size();
        click.fJitter = c.radius;
        const std::vector<TMarkBar> mark = TFindNowAction::Shown(click, result, true, monitors).mark;
        ASSERT_GE(mark.size(), unspread + 8) << c.what;
        TPoint sum{0, 0};
        for (std::size_t i = 4; i < mark.size() - 4; ++i) {
            const TRect dot = mark[i].rect;
            const TPoint centre{dot.left + dot.width / 2, dot.top + dot.height / 2};
            sum = {sum.x + centre.x, sum.y + centre.y};
            EXPECT_TRUE(dot.left >= 0 && dot.top >= 0 && dot.left + dot.width <= 640 && dot.top + dot.height <= 480)
                << c.what << ": a dot off the monitor at " << dot.left << ", " << dot.top;
            const double distance = std::hypot(centre.x - c.place.x, centre.y - c.place.y);
            const bool atTheEdge = dot.left == 0 || dot.top == 0 || dot.left + dot.width == 640;
            EXPECT_LE(distance, c.radius + 4) << c.what;
            EXPECT_TRUE(atTheEdge || distance > c.radius + 1) << c.what << ": a dot inside the area, " << distance;
        }
        const auto dots = static_cast<int>(mark.size() - unspread);
        if (c.place.x == 300) {
            EXPECT_LE(std::abs(sum.x / dots - 300) + std::abs(sum.y / dots - 200), 2) << c.what;
        }
    }
}
