#include "control/ControlFixture.h"

#include <gmock/gmock.h>

#include <stdexcept>

using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::SizeIs;

namespace {

// FastClick timing: the wait tick comes 1000 ms after a start, then one click every 100 ms.
constexpr int kFirstClickMs = 1100;
constexpr int kIntervalMs = 100;

TEST_F(ControlTest, StartButtonStartsOnlyCheckedIdleClicksAndKeepsTheCountOfRunningOnes) {
    WriteList({FastClick("A", 1, 2), FastClick("B", 3, 4)});
    StartController();
    ctrl->NodeChecked(1, false);
    ctrl->StartAll();
    EXPECT_TRUE(ctrl->Runner(0).running);
    EXPECT_FALSE(ctrl->Runner(1).running);

    fake.loop.advance(kFirstClickMs + 4 * kIntervalMs);
    ASSERT_EQ(ctrl->Runner(0).count, 5);
    ctrl->NodeChecked(1, true);
    ctrl->StartAll();

    EXPECT_EQ(ctrl->Runner(0).count, 5);
    EXPECT_TRUE(ctrl->Runner(1).running);
    EXPECT_EQ(Cell(0, "Action Stats"), "running 5 times");
    EXPECT_GT(view.repaintAlls, 0);
}

TEST_F(ControlTest, AClickWhoseTicksFailSaysWhyInItsRowUntilATickGoesWell) {
    WriteList({FastClick("Bad time", 1, 2, R"(startType="1" fStartAt="25:99:99")")});
    StartController();
    ctrl->StartAll();
    fake.loop.advance(3000);
    EXPECT_EQ(ClicksSoFar(), 0u);
    EXPECT_EQ(Cell(0, "Action Stats"), "failed: '25:99:99' is not a valid time");
    EXPECT_THAT(view.repaintedRows, Contains(0)) << "the live status showed the failure";

    ctrl->Runner(0).fStartAt = "00:00:00";
    view.repaintedRows.clear();
    fake.loop.advance(1000);
    EXPECT_EQ(Cell(0, "Action Stats").rfind("running ", 0), 0u) << Cell(0, "Action Stats");
    EXPECT_THAT(view.repaintedRows, Contains(0));
    ctrl->StopAll();
    EXPECT_EQ(Cell(0, "Action Stats"), "stopped");
}

// The row of a colour click follows its searches while it runs, and its tip says what the last one gave.
TEST_F(ControlTest, AColourClicksRowShowsItsLastSearchAndItsTipTheDetail) {
    WriteList({FastClick("Red", 1, 2, R"(pointType="2" fColor="clRed")")});
    StartController();
    fake.screen.resize(200, 100);
    EXPECT_EQ(ctrl->GetRowTip(0), "Not searched since the click was started.");
    ctrl->StartAll();
    fake.loop.advance(1000 + 3 * 100);
    EXPECT_EQ(Cell(0, "Action Stats"), "running 0 times; not found 3 times in a row");
    EXPECT_EQ(ctrl->GetRowTip(0),
              "Last search: not found 3 times in a row. Find now in the click editor shows how near it came.");
    fake.screen.setPixel(20, 30, 0xFF0000);
    view.repaintedRows.clear();
    fake.loop.advance(TClickListController::kRefreshIntervalMs);
    EXPECT_THAT(view.repaintedRows, Contains(0));
    EXPECT_EQ(ctrl->GetRowTip(0), "Last search: found at (20, 30).");
    ctrl->Runner(0).ScreenType = scPart;
    ctrl->Runner(0).fLeft = 900;
    fake.loop.advance(100);
    EXPECT_EQ(ctrl->GetRowTip(0), "Cannot search: the scope is off the screen.");
    ctrl->StopAll();
    EXPECT_EQ(Cell(0, "Action Stats"), "stopped; cannot search: the scope is off the screen");
}

TEST_F(ControlTest, StopButtonStopsEveryRunningClick) {
    WriteList({FastClick("A", 1, 2), FastClick("B", 3, 4)});
    StartController();
    ctrl->StartAll();
    fake.loop.advance(kFirstClickMs);
    ctrl->StopAll();
    const std::size_t clicks = ClicksSoFar();
    fake.loop.advance(5000);
    EXPECT_EQ(ClicksSoFar(), clicks);
    EXPECT_EQ(Cell(0, "Action Stats"), "stopped");
    EXPECT_EQ(Cell(1, "Action Stats"), "stopped");
}

TEST_F(ControlTest, StartHotKeyRestartsARunningClickFromTheBeginning) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    ctrl->StartAll();
    fake.loop.advance(kFirstClickMs + 4 * kIntervalMs);
    ASSERT_EQ(ctrl->Runner(0).count, 5);

    ASSERT_TRUE(PressCtrlF(1));

    EXPECT_TRUE(ctrl->Runner(0).running);
    EXPECT_EQ(ctrl->Runner(0).count, 0);
    const std::size_t clicks = ClicksSoFar();
    fake.loop.advance(kFirstClickMs - 1);
    EXPECT_EQ(ClicksSoFar(), clicks);
    fake.loop.advance(1);
    EXPECT_EQ(ClicksSoFar(), clicks + 1);
}

TEST_F(ControlTest, UncheckedClickIgnoresItsStartHotKeyButObeysItsStopHotKey) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    ctrl->NodeChecked(0, false);
    PressCtrlF(1);
    EXPECT_FALSE(ctrl->Runner(0).running);

    ctrl->NodeChecked(0, true);
    ctrl->StartAll();
    ctrl->NodeChecked(0, false);
    fake.loop.advance(kFirstClickMs + 2 * kIntervalMs);
    PressCtrlF(1);
    EXPECT_EQ(ctrl->Runner(0).count, 3);

    PressCtrlF(2);
    EXPECT_FALSE(ctrl->Runner(0).running);
}

TEST_F(ControlTest, EveryClickNamingAHotKeyReactsToIt) {
    WriteList({FastClick("A", 3, 4), FastClick("B", 5, 4), FastClick("C", 3, 6)});
    StartController();

    PressCtrlF(3);
    EXPECT_TRUE(ctrl->Runner(0).running);
    EXPECT_FALSE(ctrl->Runner(1).running);
    EXPECT_TRUE(ctrl->Runner(2).running);

    PressCtrlF(5);
    PressCtrlF(4);
    EXPECT_FALSE(ctrl->Runner(0).running);
    EXPECT_FALSE(ctrl->Runner(1).running);
    EXPECT_TRUE(ctrl->Runner(2).running);
}

TEST_F(ControlTest, EqualStartAndStopHotKeysStartAndAtOnceStop) {
    WriteList({FastClick("idle", 7, 7), FastClick("running", 7, 7)});
    StartController();
    ctrl->NodeChecked(0, false);
    ctrl->StartAll();
    ctrl->NodeChecked(0, true);
    view.repaintAlls = 0;

    PressCtrlF(7);

    EXPECT_FALSE(ctrl->Runner(0).running);
    EXPECT_FALSE(ctrl->Runner(1).running);
    EXPECT_EQ(view.repaintAlls, 1);
    fake.loop.advance(5000);
    EXPECT_EQ(ClicksSoFar(), 0u);
}

TEST_F(ControlTest, CellsShowTheRowsClickAndLiveCount) {
    WriteList({FastClick("fixed", 1, 2, R"(pointType="1" fPosX="300" fPosY="200")"),
               FastClick("bad", 1, 2, R"(pointType="7" mouseType="9")")});
    StartController();
    ctrl->StartAll();
    fake.loop.advance(kFirstClickMs + 11 * kIntervalMs);

    EXPECT_EQ(Cell(0, "Name"), "fixed");
    EXPECT_EQ(Cell(0, "Click Point"), "Click on fixed point:(300 : 200)");
    EXPECT_EQ(Cell(0, "Action Stats"), "running 12 times");
    EXPECT_EQ(Cell(0, "Click Interval"), "100ms");
    EXPECT_EQ(Cell(1, "Click Point"), "unknown");
    EXPECT_EQ(Cell(1, "Mouse Button"), "unknown");
    EXPECT_EQ(ctrl->GetCellText(2, 0), "");
    EXPECT_EQ(ctrl->GetCellText(-1, 0), "");
    EXPECT_EQ(ctrl->GetCellText(0, 11), "");
}

TEST_F(ControlTest, ARenamedColumnShowsUnknownInEveryRow) {
    EditSettings([](TConfig& config) { config.GetCols().Item(1).SetName("Click point"); });
    WriteList({FastClick("A", 1, 2), FastClick("B", 1, 2, R"(pointType="1")")});
    StartController();
    EXPECT_EQ(view.columns[1].caption, "Click point");
    EXPECT_EQ(ctrl->GetCellText(0, 1), "unknown");
    EXPECT_EQ(ctrl->GetCellText(1, 1), "unknown");
    EXPECT_EQ(ctrl->GetCellText(1, 0), "B");
}

TEST_F(ControlTest, StatusCellsAreRepaintedWhileRunnersCountAndOnceMoreWhenTheyStop) {
    WriteList({FastClick("idle", 1, 2), FastClick("three", 3, 4, R"(stopType="1" fRepeat="3")")});
    StartController();
    PressCtrlF(3);
    view.repaintedRows.clear();

    fake.loop.advance(kFirstClickMs + kIntervalMs);
    EXPECT_THAT(view.repaintedRows, Not(IsEmpty()));
    const std::size_t whileRunning = view.repaintedRows.size();
    fake.loop.advance(TClickListController::kRefreshIntervalMs * 2);

    EXPECT_EQ(Cell(1, "Action Stats"), "stopped");
    EXPECT_GT(view.repaintedRows.size(), whileRunning);
    EXPECT_THAT(view.repaintedRows, Each(1));
    EXPECT_EQ(fake.loop.activeTimerCount(), 0u);
}

TEST_F(ControlTest, DeleteAsksFirstAndAnswerNoKeepsEverything) {
    WriteList({FastClick("A", 1, 2), FastClick("B", 1, 2)});
    StartController();
    ctrl->DeleteClick();
    EXPECT_EQ(view.deleteQuestions, 0);

    ctrl->StartAll();
    view.focused = 0;
    view.deleteAnswer = false;
    ctrl->DeleteClick();

    EXPECT_EQ(view.deleteQuestions, 1);
    EXPECT_EQ(ctrl->RowCount(), 2);
    EXPECT_THAT(view.removed, IsEmpty());
    const std::size_t clicks = ClicksSoFar();
    fake.loop.advance(kFirstClickMs);
    EXPECT_GT(ClicksSoFar(), clicks);
}

TEST_F(ControlTest, DeletingARunningClickStopsItsClickingAtOnce) {
    WriteList({FastClick("A", 1, 2), FastClick("B", 3, 4)});
    StartController();
    ctrl->StartAll();
    ctrl->NodeChecked(1, false);
    ctrl->StopAll();
    ctrl->StartAll();
    fake.loop.advance(kFirstClickMs);
    view.focused = 0;

    ctrl->DeleteClick();

    EXPECT_THAT(view.removed, ElementsAre(0));
    ASSERT_EQ(ctrl->RowCount(), 1);
    EXPECT_EQ(ctrl->Runner(0).fName, "B");
    const std::size_t clicks = ClicksSoFar();
    fake.loop.advance(5000);
    EXPECT_EQ(ClicksSoFar(), clicks);
    CloseController();
    EXPECT_THAT(ReadFile(kClickListFileName), Not(testing::HasSubstr(R"(fName="A")")));
}

// The runner's tick lets pending messages run; a Delete queued before it runs inside the tick, while the runner
// being deleted is on the stack.
TEST_F(ControlTest, DeleteInsideTheDeletedRunnersOwnTickIsSafe) {
    for (const int deleteAfterMs : {1000, kFirstClickMs}) {
        WriteList({FastClick("A", 1, 2)});
        StartController();
        ctrl->StartAll();
        view.focused = 0;
        fake.loop.advance(deleteAfterMs - 1);
        fake.loop.post([this] { ctrl->DeleteClick(); });

        fake.loop.advance(1);

        EXPECT_EQ(ctrl->RowCount(), 0);
        const std::size_t clicks = ClicksSoFar();
        fake.loop.advance(5000);
        EXPECT_EQ(ClicksSoFar(), clicks);
        EXPECT_EQ(fake.loop.activeTimerCount(), 0u) << deleteAfterMs;
        CloseController();
    }
}

TEST_F(ControlTest, CloseInsideARunnersTickReleasesEverythingSafely) {
    WriteList({FastClick("A", 1, 2), FastClick("B", 1, 2)});
    StartController();
    ctrl->StartAll();
    std::vector<std::string> messages{"not closed"};
    fake.loop.advance(kFirstClickMs - 1);
    fake.loop.post([&] { messages = CloseController(); });

    fake.loop.advance(1);

    EXPECT_EQ(ctrl, nullptr);
    EXPECT_THAT(messages, IsEmpty());
    EXPECT_EQ(fake.loop.timerCount(), 0u);
    EXPECT_EQ(fake.hotKeys.registeredCount(), 0u);
    EXPECT_THAT(ReadFile(kClickListFileName), testing::HasSubstr(R"(fName="B")"));
}

TEST_F(ControlTest, NewOkAppendsATickedIdleClickWrittenByTheEditor) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    view.editorScript.save = [](TMouseObj& click) {
        click.fName = "made";
        click.checked = false;
    };

    ctrl->NewClick();

    ASSERT_THAT(view.editorUses, SizeIs(1));
    EXPECT_EQ(view.editorUses[0].caption, "New Mouse Action");
    EXPECT_EQ(view.editorUses[0].loaded, nullptr);
    ASSERT_EQ(ctrl->RowCount(), 2);
    EXPECT_EQ(view.editorUses[0].saved, &ctrl->Runner(1));
    EXPECT_THAT(view.inserted, ElementsAre(1));
    EXPECT_EQ(ctrl->Runner(1).fName, "made");
    EXPECT_TRUE(ctrl->RowChecked(1));
    EXPECT_TRUE(ctrl->Runner(1).checked);
    EXPECT_FALSE(ctrl->Runner(1).running);
    EXPECT_EQ(ctrl->Runner(1).fRepeat, 100);
}

TEST_F(ControlTest, NewCancelledOrFailingToWriteAddsNothing) {
    StartController();
    view.editorScript.result = mrCancel;
    ctrl->NewClick();
    EXPECT_EQ(view.editorUses.at(0).saved, nullptr);

    view.editorScript.result = mrOk;
    view.editorScript.save = [](TMouseObj&) { throw std::invalid_argument("empty edit"); };
    EXPECT_THROW(ctrl->NewClick(), std::invalid_argument);

    EXPECT_EQ(ctrl->RowCount(), 0);
    EXPECT_THAT(view.inserted, IsEmpty());
}

TEST_F(ControlTest, EditWithoutAFocusedRowOpensNothing) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    ctrl->EditClick();
    EXPECT_THAT(view.editorUses, IsEmpty());
}

TEST_F(ControlTest, EditOkOnARunningClickKeepsItRunningWithTheNewFields) {
    WriteList({FastClick("A", 1, 2), FastClick("B", 3, 4)});
    StartController();
    ctrl->StartAll();
    fake.loop.advance(kFirstClickMs);
    view.focused = 1;
    view.repaintedRows.clear();
    view.editorScript.save = [](TMouseObj& click) {
        click.fName = "renamed";
        click.pointType = ptFixed;
        click.fPosX = 40;
        click.fPosY = 50;
    };

    ctrl->EditClick();

    ASSERT_THAT(view.editorUses, SizeIs(1));
    EXPECT_EQ(view.editorUses[0].caption, "Edit Mouse Action");
    EXPECT_EQ(view.editorUses[0].loaded, &ctrl->Runner(1));
    EXPECT_EQ(view.editorUses[0].saved, &ctrl->Runner(1));
    EXPECT_THAT(view.repaintedRows, Contains(1));
    EXPECT_TRUE(ctrl->Runner(1).running);
    EXPECT_EQ(Cell(1, "Name"), "renamed");
    fake.mouse.clearEvents();
    fake.loop.advance(kIntervalMs);
    EXPECT_THAT(fake.mouse.buttonEvents(MouseButtonEvent::LeftDown),
                Contains(testing::Field(&FakeMouseEvent::pos, TPoint{40, 50})));
}

TEST_F(ControlTest, EditCancelLeavesTheClickUnchangedAndRunning) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    ctrl->StartAll();
    view.focused = 0;
    view.editorScript.result = mrCancel;
    view.editorScript.save = [](TMouseObj& click) { click.fName = "changed"; };

    ctrl->EditClick();

    EXPECT_EQ(view.editorUses.at(0).saved, nullptr);
    EXPECT_EQ(ctrl->Runner(0).fName, "A");
    EXPECT_TRUE(ctrl->Runner(0).running);
}

TEST_F(ControlTest, EditOfAClickDeletedWhileTheEditorWasOpenWritesNothing) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    view.focused = 0;
    view.editorScript.whileShown = [this] { ctrl->DeleteClick(); };
    view.editorScript.save = [](TMouseObj& click) { click.fName = "changed"; };

    ctrl->EditClick();

    EXPECT_EQ(view.editorUses.at(0).saved, nullptr);
    EXPECT_EQ(ctrl->RowCount(), 0);
}

TEST_F(ControlTest, DeleteFindsItsRowAgainWhenTheListChangedDuringTheQuestion) {
    WriteList({FastClick("A", 1, 2), FastClick("B", 1, 2)});
    StartController();
    view.focused = 1;
    // A string, not the literal: g++ 12 at -O3 warns falsely (-Wrestrict) on assigning that literal here.
    view.editorScript.save = [](TMouseObj& click) { click.fName = std::string("C"); };
    bool deletedOther = false;
    view.whileAskingDelete = [&] {
        if (!deletedOther) {
            deletedOther = true;
            view.focused = 0;
            ctrl->DeleteClick();
        }
    };

    ctrl->DeleteClick();

    ASSERT_EQ(ctrl->RowCount(), 0);
    EXPECT_THAT(view.removed, ElementsAre(0, 0));
}

TEST_F(ControlTest, OptionsShowsTheSettingsColumnsInTheirOrderWithVisibilityAndTheAutoStart) {
    EditSettings([](TConfig& config) {
        config.GetFrame().Setautorun(true);
        config.GetCols().Item(2).SetVisible(false);
    });
    StartController();
    view.dragColumn(0, 5);
    view.optionsResult = mrCancel;
    ctrl->ShowOptions();

    const TOptionsChoices& offered = view.optionsOffered;
    ASSERT_EQ(offered.columns.size(), 11u);
    EXPECT_EQ(offered.columns[0], (TOptionsColumn{"Name", true}));
    EXPECT_EQ(offered.columns[2], (TOptionsColumn{"Mouse Button", false}));
    EXPECT_EQ(offered.columns[9], (TOptionsColumn{"After Click Action", false}));
    EXPECT_EQ(offered.columns[10], (TOptionsColumn{"Action Stats", true}));
    EXPECT_TRUE(offered.autorun);
}

TEST_F(ControlTest, OptionsOkAppliesTheChoicesToTheSettingsAndColumnsAndCancelAppliesNothing) {
    StartController();
    view.dragColumn(0, 5);
    view.setColumnWidth(1, 300);
    view.optionsChange = [](TOptionsChoices& choices) {
        choices.columns[0].visible = false;
        choices.columns[9].visible = true;
        choices.autorun = true;
    };
    view.optionsResult = mrCancel;
    ctrl->ShowOptions();
    EXPECT_EQ(view.columnPosition(0), 5);
    EXPECT_TRUE(view.columns[0].visible);
    EXPECT_TRUE(ctrl->Config().GetCols().Item(0).GetVisible());
    EXPECT_FALSE(ctrl->Config().GetFrame().Getautorun());

    view.optionsResult = mrOk;
    ctrl->ShowOptions();

    EXPECT_EQ(view.optionsShown, 2);
    EXPECT_FALSE(view.columns[0].visible);
    EXPECT_TRUE(view.columns[9].visible);
    EXPECT_EQ(view.mainColumn, 1);
    EXPECT_EQ(view.columnPosition(0), 0);
    EXPECT_EQ(view.columns[1].width, 80);
    EXPECT_FALSE(ctrl->Config().GetCols().Item(0).GetVisible());
    EXPECT_TRUE(ctrl->Config().GetFrame().Getautorun());

    CloseController();
    const TConfig stored(folder.string());
    EXPECT_FALSE(stored.GetCols().Item(0).GetVisible());
    EXPECT_TRUE(stored.GetCols().Item(9).GetVisible());
    EXPECT_TRUE(stored.GetFrame().Getautorun());
}

// Where the desktop asks its leave before the first click, Options can have it asked now; elsewhere nothing is offered.
TEST_F(ControlTest, OptionsAsksTheDesktopsLeaveNowOnlyWhereTheDesktopAsksAndOnlyWhenTicked) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    view.optionsResult = mrOk;
    ctrl->ShowOptions();
    EXPECT_EQ(view.optionsOffered.askDesktop, "");

    fake.mouse.askLeave();
    ctrl->ShowOptions();
    EXPECT_NE(view.optionsOffered.askDesktop, "");
    EXPECT_EQ(fake.mouse.preparations(), 0);
    view.optionsChange = [](TOptionsChoices& choices) { choices.askDesktopNow = true; };
    ctrl->ShowOptions();
    EXPECT_EQ(fake.mouse.preparations(), 1);
    // Each start asks again, so a click the user refused once can be allowed at its next start.
    ctrl->StartAll();
    EXPECT_EQ(fake.mouse.preparations(), 2);
}

TEST_F(ControlTest, OptionsChoicesForFewerOrMoreColumnsThanTheSettingsHaveApplyToTheColumnsThereAre) {
    StartController();
    for (const std::size_t given : {std::size_t(2), std::size_t(15)}) {
        view.optionsChange = [given](TOptionsChoices& choices) {
            choices.columns.resize(given, {"Extra", false});
            choices.columns[1].visible = given == 15;
        };
        ctrl->ShowOptions();
        EXPECT_EQ(view.columns.size(), 11u);
        EXPECT_EQ(view.columns[1].visible, given == 15);
        EXPECT_EQ(ctrl->Config().GetCols().Count(), 11);
        EXPECT_TRUE(view.columns[10].visible);
    }
}

TEST_F(ControlTest, OptionsClosedWithOkAfterTheProgramClosedChangeNothing) {
    StartController();
    view.optionsChange = [](TOptionsChoices& choices) { choices.autorun = true; };
    view.whileOptionsShown = [this] { ctrl->Close(); };
    ctrl->ShowOptions();
    EXPECT_FALSE(ctrl->Config().GetFrame().Getautorun());
    EXPECT_FALSE(TConfig(folder.string()).GetFrame().Getautorun());
}

// The primary output's list: what it offers for the outputs there and the name stored, what the user's pick stores,
// and which names the screen is told, at start and on OK.
TEST_F(ControlTest, PrimaryOutputListsTheOutputsStoresThePickAndIsUsedAtStartAndOnOk) {
    const std::vector<std::string> two{"HEADLESS-1", "HEADLESS-2"};
    const TOptionsList listed{{"At the layout's origin", "HEADLESS-1", "HEADLESS-2"}, {"", "HEADLESS-1", "HEADLESS-2"}};
    TOptionsList secondListed = listed, goneListed = listed;
    secondListed.selected = 2;
    goneListed.items.back() = "DP-1 (not there: the layout's origin is used)";
    goneListed.values.back() = "DP-1";
    goneListed.selected = 2;
    struct Case {
        std::vector<std::string> outputs;
        std::string stored;
        TOptionsList offered;
        int pick;
        std::string storedAfter;
        std::vector<std::string> told;
    };
    const Case cases[] = {
        // Where the system decides there is no list, and a name stored in a Wayland session stays for the next one.
        {{}, "DP-1", {}, 0, "DP-1", {"DP-1"}},
        {two, "", listed, 2, "HEADLESS-2", {"", "HEADLESS-2"}},
        {two, "HEADLESS-2", secondListed, 0, "", {"HEADLESS-2", ""}},
        // An output that is gone is listed as such and stays stored; left selected, nothing is chosen anew.
        {{"HEADLESS-1"}, "DP-1", goneListed, 2, "DP-1", {"DP-1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("stored \"" + c.stored + "\", picked " + std::to_string(c.pick));
        fake.screen.setOutputNames(c.outputs);
        EditSettings([&c](TConfig& config) { config.GetFrame().SetprimaryOutput(c.stored); });
        const auto toldBefore = static_cast<std::ptrdiff_t>(fake.screen.primaryChoices().size());
        StartController();
        view.optionsChange = [&c](TOptionsChoices& choices) { choices.primaryOutput.selected = c.pick; };
        ctrl->ShowOptions();
        CloseController();

        EXPECT_EQ(view.optionsOffered.primaryOutput, c.offered);
        const std::vector<std::string>& told = fake.screen.primaryChoices();
        EXPECT_EQ(std::vector<std::string>(told.begin() + toldBefore, told.end()), c.told);
        EXPECT_EQ(TConfig(folder.string()).GetFrame().GetprimaryOutput(), c.storedAfter);
        EXPECT_EQ(ReadFile(kConfigFileName).find("primaryOutput") != std::string::npos, !c.storedAfter.empty());
    }
}

TEST_F(ControlTest, CommandsAfterCloseDoNothing) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    ctrl->Close();
    ctrl->NewClick();
    ctrl->StartAll();
    PressCtrlF(1);
    EXPECT_EQ(ctrl->RowCount(), 0);
    EXPECT_EQ(fake.loop.timerCount(), 0u);
}

} // namespace
