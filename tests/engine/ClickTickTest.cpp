#include "RunnerTestSupport.h"
#include "pixels/Base64.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

using Kind = FakeMouseEvent::Kind;

FakeMouseEvent Move(int x, int y, std::int64_t time) {
    return {Kind::Move, 0, {x, y}, time};
}
FakeMouseEvent Button(std::uint32_t flag, int x, int y, std::int64_t time) {
    return {Kind::Button, flag, {x, y}, time};
}

// A runner that clicks every 100 ms once started, with its first click step at 1100.
class ClickTickTest : public RunnerTest {
protected:
    void SetUp() override {
        RunnerTest::SetUp();
        runner->iClickInterval = 100;
        fake.mouse.placePointer({5, 6});
    }
    void runFirstStep() {
        runner->Start();
        fake.loop.advance(1100);
    }
};

TEST_F(ClickTickTest, RightDoubleClickAtAFixedPointThenBackAndLeftClick) {
    runner->pointType = ptFixed;
    runner->fPosX = 300;
    runner->fPosY = 200;
    runner->mouseType = mtRight;
    runner->actionType = atDouble;
    runner->finishType = ftBackClick;
    runFirstStep();
    EXPECT_THAT(fake.mouse.events(),
                ElementsAre(Move(300, 200, 1100), Button(MouseButtonEvent::RightDown, 300, 200, 1100),
                            Button(MouseButtonEvent::RightUp, 300, 200, 1100),
                            Button(MouseButtonEvent::RightDown, 300, 200, 1100),
                            Button(MouseButtonEvent::RightUp, 300, 200, 1100), Move(5, 6, 1100),
                            Button(MouseButtonEvent::LeftDown, 5, 6, 1100),
                            Button(MouseButtonEvent::LeftUp, 5, 6, 1100)));
    EXPECT_EQ(runner->count, 1);
}

struct EventCase {
    const char* name;
    TMouseType mouseType;
    TActionType actionType;
    std::vector<std::uint32_t> flags;
};

class ClickEventTest : public ClickTickTest, public ::testing::WithParamInterface<EventCase> {};

TEST_P(ClickEventTest, SendsTheButtonEventsOfTheTable) {
    runner->mouseType = GetParam().mouseType;
    runner->actionType = GetParam().actionType;
    runFirstStep();
    EXPECT_THAT(fake.mouse.buttonFlags(), ElementsAreArray(GetParam().flags));
    EXPECT_EQ(runner->count, 1);
}

constexpr std::uint32_t LD = MouseButtonEvent::LeftDown, LU = MouseButtonEvent::LeftUp,
                        RD = MouseButtonEvent::RightDown, RU = MouseButtonEvent::RightUp,
                        MD = MouseButtonEvent::MiddleDown, MU = MouseButtonEvent::MiddleUp;

INSTANTIATE_TEST_SUITE_P(Table, ClickEventTest,
                         ::testing::Values(EventCase{"LeftSingle", mtLeft, atSingle, {LD, LU}},
                                           EventCase{"LeftDouble", mtLeft, atDouble, {LD, LU, LD, LU}},
                                           EventCase{"RightDown", mtRight, atDown, {RD}},
                                           EventCase{"RightUp", mtRight, atUp, {RU}},
                                           EventCase{"MiddleSingle", mtMiddle, atSingle, {MD, MU}},
                                           EventCase{"MiddleDouble", mtMiddle, atDouble, {MD, MU, MD, MU}},
                                           EventCase{"UnknownButtonIsMiddle", 3, atSingle, {MD, MU}},
                                           EventCase{"UnknownActionIsDown", mtLeft, 4, {LD}},
                                           EventCase{"UnknownBothIsMiddleDown", 255, 255, {MD}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClickTickTest, CurrentPointClickMovesToWhereThePointerIsAndDoesNothingAfter) {
    for (const TFinishType finish : {ftNothing, ftBack, ftBackClick}) {
        SCOPED_TRACE(int(finish));
        FakePlatform platform;
        TClickRunner click(platform.platform);
        click.finishType = finish;
        click.iClickInterval = 100;
        platform.mouse.placePointer({40, 50});
        click.Start();
        platform.loop.advance(1100);
        EXPECT_THAT(platform.mouse.events(),
                    ElementsAre(Move(40, 50, 1100), Button(LD, 40, 50, 1100), Button(LU, 40, 50, 1100)));
    }
}

TEST_F(ClickTickTest, BackMovesThePointerBackWithoutAClick) {
    runner->pointType = ptFixed;
    runner->fPosX = 9;
    runner->fPosY = 8;
    runner->finishType = ftBack;
    runFirstStep();
    EXPECT_THAT(fake.mouse.events(),
                ElementsAre(Move(9, 8, 1100), Button(LD, 9, 8, 1100), Button(LU, 9, 8, 1100), Move(5, 6, 1100)));
}

TEST_F(ClickTickTest, UnknownFinishDoesNothingAfter) {
    runner->pointType = ptFixed;
    runner->finishType = 3;
    runFirstStep();
    EXPECT_EQ(fake.mouse.events().size(), 3u);
}

TEST_F(ClickTickTest, OriginIsWhereThePointerWasBeforeThePump) {
    runner->pointType = ptFixed;
    runner->finishType = ftBack;
    runner->Start();
    fake.loop.advance(1099);
    fake.loop.post([this] { fake.mouse.placePointer({70, 80}); });
    fake.loop.advance(1);
    EXPECT_EQ(fake.mouse.events().back(), Move(5, 6, 1100));
}

TEST_F(ClickTickTest, ThePointerIsReadOnlyForTheClicksThatUseItsPosition) {
    struct Case {
        TPointType point;
        TFinishType finish;
        int readsPerTick;
    };
    for (const Case c : {Case{ptFixed, ftNothing, 0}, Case{ptColor, ftNothing, 0}, Case{ptFixed, ftBack, 1},
                         Case{ptColor, ftBackClick, 1}, Case{ptFixed, 3, 0}, Case{ptCurrent, ftNothing, 1},
                         Case{ptCurrent, ftBack, 1}}) {
        SCOPED_TRACE(testing::Message() << int(c.point) << "/" << int(c.finish));
        FakePlatform platform;
        TClickRunner click(platform.platform);
        click.pointType = c.point;
        click.finishType = c.finish;
        click.fColor = "0";
        click.iClickInterval = 100;
        click.Start();
        platform.loop.advance(1000 + 10 * 100);
        EXPECT_EQ(click.count, 10);
        EXPECT_EQ(platform.mouse.positionReads(), 10 * c.readsPerTick);
    }
}

// Wayland: a click at the pointer presses where the pointer is, and none goes back to a place it cannot know.
TEST_F(ClickTickTest, WhereThePointerCannotBeReadNoClickMovesItToWhereItWas) {
    for (const TPointType point : {ptCurrent, ptFixed}) {
        SCOPED_TRACE(int(point));
        FakePlatform platform;
        platform.mouse.hidePointer();
        TClickRunner click(platform.platform);
        click.pointType = point;
        click.fPosX = 9;
        click.fPosY = 8;
        click.finishType = ftBack;
        click.iClickInterval = 100;
        click.Start();
        platform.loop.advance(1100);
        const std::vector<FakeMouseEvent> pressed{Button(LD, 9, 8, 1100), Button(LU, 9, 8, 1100)};
        if (point == ptFixed)
            EXPECT_THAT(platform.mouse.events(), ElementsAre(Move(9, 8, 1100), pressed[0], pressed[1]));
        else
            EXPECT_EQ(platform.mouse.buttonFlags(), (std::vector<std::uint32_t>{LD, LU}));
        EXPECT_EQ(platform.mouse.positionReads(), point == ptCurrent ? 1 : 0);
    }
}

TEST_F(ClickTickTest, CurrentPointIsReadAfterThePump) {
    runner->Start();
    fake.loop.advance(1099);
    fake.loop.post([this] { fake.mouse.placePointer({70, 80}); });
    fake.loop.advance(1);
    EXPECT_THAT(fake.mouse.buttonEvents(LD), ElementsAre(Button(LD, 70, 80, 1100)));
}

// A point off every monitor would be pressed at the nearest screen edge, on whatever shows there.
TEST_F(ClickTickTest, AFixedPointIsClickedOnAnyMonitorAndOffThemAllTheRowSaysWhy) {
    fake.screen.resize(640, 480);
    fake.screen.addMonitor({-800, 0, 800, 600});
    runner->pointType = ptFixed;
    struct Case {
        TPoint point;
        std::string error;
    };
    for (const Case& c :
         {Case{{-800, 599}, ""}, Case{{639, 0}, ""}, Case{{-999, 5}, "the point -999, 5 is on no monitor"},
          Case{{100, 480}, "the point 100, 480 is on no monitor"}}) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
        fake.mouse.clearEvents();
        runner->fPosX = c.point.x;
        runner->fPosY = c.point.y;
        runFirstStep();
        EXPECT_EQ(fake.mouse.events().empty(), !c.error.empty());
        EXPECT_EQ(runner->tickError, c.error);
        EXPECT_TRUE(runner->running);
    }
}

// A failed event is tried again at the next tick; a desktop's refusal is not, until the user starts the click again.
TEST_F(ClickTickTest, AClickTheDesktopRefusesStopsSayingWhyAndItsNextStartAsksAgain) {
    runner->pointType = ptFixed;
    fake.mouse.refuse("the desktop said no");
    runFirstStep();
    EXPECT_FALSE(runner->running);
    EXPECT_EQ(runner->tickError, "the desktop said no");
    EXPECT_EQ(fake.mouse.preparations(), 1);
    fake.mouse.refuse("");
    runner->Start();
    EXPECT_EQ(fake.mouse.preparations(), 2);
    EXPECT_EQ(runner->tickError, "");
}

// A click the desktop dropped for coming too fast is like a slot the timer missed: not counted, and no error.
TEST_F(ClickTickTest, AClickTheDesktopDroppedIsNotCountedAndIsNoError) {
    runner->pointType = ptFixed;
    fake.mouse.dropPresses(true);
    runFirstStep();
    EXPECT_EQ(runner->count, 0);
    EXPECT_EQ(runner->tickError, "");
    EXPECT_TRUE(runner->running);
    fake.mouse.dropPresses(false);
    fake.loop.advance(runner->iClickInterval);
    EXPECT_EQ(runner->count, 1);
}

TEST_F(ClickTickTest, ButtonDownOfOneClickIsReleasedByAnotherClicksButtonUp) {
    runner->pointType = ptFixed;
    runner->actionType = atDown;
    runner->stopType = spRepeat;
    runner->fRepeat = 1;
    runFirstStep();
    EXPECT_TRUE(fake.mouse.isButtonDown(LD));
    fake.loop.advance(5000);
    EXPECT_TRUE(fake.mouse.isButtonDown(LD));

    TClickRunner release(fake.platform);
    release.actionType = atUp;
    release.iClickInterval = 100;
    release.stopType = spRepeat;
    release.fRepeat = 1;
    release.Start();
    fake.loop.advance(1100);
    EXPECT_FALSE(fake.mouse.isButtonDown(LD));
    EXPECT_THAT(fake.mouse.buttonFlags(), ElementsAre(LD, LU));
}

TEST_F(ClickTickTest, UnknownPointTypeNeverClicks) {
    runner->pointType = 4;
    runner->stopType = spRepeat;
    runner->fRepeat = 1;
    runFirstStep();
    fake.loop.advance(1000);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
    EXPECT_TRUE(runner->running);
    EXPECT_EQ(runner->count, 0);
}

class ColorClickTest : public ClickTickTest {
protected:
    void SetUp() override {
        ClickTickTest::SetUp();
        fake.screen.resize(640, 480);
        runner->pointType = ptColor;
        runner->fColor = "clRed";
        runner->stopType = spRepeat;
        runner->fRepeat = 2;
    }
};

TEST_F(ColorClickTest, ColourAbsentNeverMovesNorCountsAndTheClickKeepsRunning) {
    runFirstStep();
    fake.loop.advance(10'000);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
    EXPECT_EQ(runner->count, 0);
    EXPECT_TRUE(runner->running);
    EXPECT_EQ(fake.screen.copyCount(), 101);
}

TEST_F(ColorClickTest, ClicksWhereTheColourShowsAndCountsOnlyThoseTicks) {
    runFirstStep();
    fake.loop.advance(200);
    fake.screen.setPixel(30, 40, 0xFF0000);
    fake.loop.advance(100);
    fake.screen.fill(0);
    fake.loop.advance(300);
    EXPECT_EQ(runner->count, 1);
    EXPECT_TRUE(runner->running);
    fake.screen.setPixel(31, 41, 0xFF0000);
    fake.loop.advance(100);
    EXPECT_THAT(fake.mouse.events(),
                ElementsAre(Move(30, 40, 1400), Button(LD, 30, 40, 1400), Button(LU, 30, 40, 1400), Move(31, 41, 1800),
                            Button(LD, 31, 41, 1800), Button(LU, 31, 41, 1800)));
    EXPECT_EQ(runner->count, 2);
    EXPECT_FALSE(runner->running);
}

TEST_F(ColorClickTest, FullScreenScopeIsTheScreenSizeAtEachTick) {
    fake.screen.setPixel(600, 10, 0xFF0000);
    runner->stopType = spCommand;
    runFirstStep();
    EXPECT_EQ(fake.screen.lastCopy(), (FakeScreen::CopyRequest{0, 0, 640, 480}));
    fake.screen.resize(320, 200);
    fake.loop.advance(100);
    EXPECT_EQ(fake.screen.lastCopy(), (FakeScreen::CopyRequest{0, 0, 320, 200}));
    EXPECT_EQ(runner->count, 1);
}

TEST_F(ColorClickTest, PartScopeBeyondTheScreenIsSearchedWhereItIsOnTheScreen) {
    runner->ScreenType = scPart;
    runner->fLeft = 100;
    runner->fTop = 50;
    runner->fRight = 5000;
    runner->fBottom = 4000;
    fake.screen.setPixel(90, 60, 0xFF0000);
    fake.screen.setPixel(639, 479, 0xFF0000);
    runFirstStep();
    EXPECT_EQ(fake.mouse.events().front(), Move(639, 479, 1100));
    // Wholly beyond the screen (a monitor that is gone): nothing found, no corner of the screen searched instead.
    fake.mouse.clearEvents();
    fake.screen.setPixel(0, 0, 0xFF0000);
    runner->fLeft = 5000;
    runner->fTop = 5000;
    runner->fRight = 5300;
    runner->fBottom = 5300;
    runFirstStep();
    EXPECT_TRUE(fake.mouse.events().empty());
}

TEST_F(ColorClickTest, AfterClickActionAppliesToColourClicks) {
    runner->finishType = ftBackClick;
    fake.screen.setPixel(1, 2, 0xFF0000);
    runFirstStep();
    EXPECT_THAT(fake.mouse.events(), ElementsAre(Move(1, 2, 1100), Button(LD, 1, 2, 1100), Button(LU, 1, 2, 1100),
                                                 Move(5, 6, 1100), Button(LD, 5, 6, 1100), Button(LU, 5, 6, 1100)));
}

class PictureClickTest : public ClickTickTest {
protected:
    void SetUp() override {
        ClickTickTest::SetUp();
        fake.screen.resize(200, 100);
        runner->pointType = ptPicture;
        runner->stopType = spRepeat;
        runner->fRepeat = 1;
    }
    const std::vector<std::uint32_t> picture = {0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF, 0x102030};
};

TEST_F(PictureClickTest, ClicksTheCentreOfThePictureOnScreen) {
    runner->fBMP = StreamToBase64(MakeBmp24(3, picture));
    fake.screen.paint(50, 20, 3, picture);
    runFirstStep();
    EXPECT_THAT(fake.mouse.buttonEvents(LD), ElementsAre(Button(LD, 51, 21, 1100)));
    EXPECT_FALSE(runner->running);
}

TEST_F(PictureClickTest, EmptyPictureDoesNothingAndNeverStopsByCount) {
    runFirstStep();
    fake.loop.advance(5000);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
    EXPECT_EQ(fake.screen.copyCount(), 0);
    EXPECT_EQ(runner->count, 0);
    EXPECT_TRUE(runner->running);
}

TEST_F(PictureClickTest, PictureThatIsNotOnScreenDoesNotCount) {
    runner->fBMP = StreamToBase64(MakeBmp24(3, picture));
    runFirstStep();
    fake.loop.advance(500);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
    EXPECT_EQ(fake.screen.copyCount(), 6);
    EXPECT_TRUE(runner->running);
}

TEST_F(PictureClickTest, UndecodablePictureTextEndsEachTickWithoutAClick) {
    runner->fBMP = "abc";
    runFirstStep();
    fake.loop.advance(100);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
    EXPECT_EQ(droppedErrors.size(), 2u);
    EXPECT_TRUE(runner->running);
}

TEST_F(PictureClickTest, PictureThatIsNotA24BitBmpIsNeverFound) {
    runner->fBMP = StreamToBase64({'B', 'M', 0, 0});
    fake.screen.fill(0);
    runFirstStep();
    fake.loop.advance(100);
    EXPECT_THAT(fake.mouse.events(), IsEmpty());
    EXPECT_TRUE(droppedErrors.empty());
    EXPECT_TRUE(runner->running);
}

TEST_F(PictureClickTest, APictureIsDecodedOnceForItsTextAndAgainWhenTheTextChanges) {
    runner->fBMP = StreamToBase64(MakeBmp24(3, picture));
    const std::shared_ptr<const TPixelBuffer> first = runner->Picture();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(runner->Picture(), first) << "the same text is not decoded again";

    TMouseObj edited = *runner;
    edited.fBMP = StreamToBase64(MakeBmp24(2, {0x010101, 0x020202}));
    static_cast<TMouseObj&>(*runner) = edited;
    const std::shared_ptr<const TPixelBuffer> second = runner->Picture();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->width, 2);
    EXPECT_EQ(first->width, 3) << "a picture handed out is never changed";
    EXPECT_EQ(first->Pixel(2, 1), 0x102030u);

    runner->fBMP.clear();
    EXPECT_EQ(runner->Picture(), nullptr);
}

TEST_F(PictureClickTest, AnEditStoredWhileRunningIsSearchedFromTheNextTick) {
    const std::vector<std::uint32_t> other = {0x0A0B0C, 0x0D0E0F, 0x101112, 0x131415};
    runner->fBMP = StreamToBase64(MakeBmp24(3, picture));
    runner->fRepeat = 3;
    fake.screen.paint(50, 20, 3, picture);
    fake.screen.paint(120, 60, 2, other);
    runFirstStep();
    ASSERT_THAT(fake.mouse.buttonEvents(LD), ElementsAre(Button(LD, 51, 21, 1100)));

    // Stored by the editor inside the next tick's pump, as a modal dialog's OK does.
    const std::shared_ptr<const TPixelBuffer> before = runner->Picture();
    TMouseObj edited = *runner;
    edited.fBMP = StreamToBase64(MakeBmp24(2, other));
    fake.loop.post([&] { static_cast<TMouseObj&>(*runner) = edited; });
    fake.loop.advance(100);
    EXPECT_THAT(fake.mouse.buttonEvents(LD), ElementsAre(Button(LD, 51, 21, 1100), Button(LD, 121, 61, 1200)));
    EXPECT_EQ(before->width, 3) << "the picture a tick held is untouched";
    EXPECT_TRUE(runner->running);

    // An edit to a picture that is no BMP: the click keeps running and finds nothing.
    edited.fBMP = StreamToBase64({'B', 'M', 0, 0});
    fake.loop.post([&] { static_cast<TMouseObj&>(*runner) = edited; });
    fake.loop.advance(300);
    EXPECT_EQ(fake.mouse.buttonEvents(LD).size(), 2u);
    EXPECT_TRUE(droppedErrors.empty());
    EXPECT_TRUE(runner->running);
}

} // namespace

// What the list shows of each searching click: where it was last found, how many ticks in a row it was not, or why
// it could not search; a new start forgets it.
TEST_F(PictureClickTest, EachSearchLeavesItsResultForTheList) {
    using K = TLastSearch::TKind;
    const std::string shown = StreamToBase64(MakeBmp24(3, picture));
    struct Case {
        const char* what;
        TPointType kind;
        std::string text;
        int scopeLeft;
        int ticks;
        TLastSearch expected;
    };
    const Case cases[] = {
        {"picture shown", ptPicture, shown, 0, 1, {K::Found, {51, 21}, 0, TSearchFailure::None}},
        {"colour absent", ptColor, "clLime", 0, 3, {K::NotFound, {-1, -1}, 3, TSearchFailure::None}},
        {"colour text", ptColor, "clNoSuch", 0, 2, {K::Failed, {-1, -1}, 0, TSearchFailure::ColourUnreadable}},
        {"no picture", ptPicture, "", 0, 1, {K::Failed, {-1, -1}, 0, TSearchFailure::PictureUnreadable}},
        {"not base64", ptPicture, "abc", 0, 1, {K::Failed, {-1, -1}, 0, TSearchFailure::PictureUnreadable}},
        {"scope off", ptPicture, shown, 5000, 1, {K::Failed, {-1, -1}, 0, TSearchFailure::ScopeOffScreen}},
    };
    fake.screen.paint(50, 20, 3, this->picture);
    runner->stopType = spCommand;
    for (const Case& c : cases) {
        runner->pointType = c.kind;
        (c.kind == ptColor ? runner->fColor : runner->fBMP) = c.text;
        runner->ScreenType = scPart;
        runner->fLeft = c.scopeLeft;
        runner->fRight = c.scopeLeft + 200;
        runner->fBottom = 100;
        runFirstStep();
        fake.loop.advance(100 * (c.ticks - 1));
        EXPECT_EQ(runner->lastSearch, c.expected) << c.what;
        runner->Stop();
    }
    runner->Start();
    EXPECT_EQ(runner->lastSearch, TLastSearch{}) << "a new start";
}
