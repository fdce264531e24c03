#include "control/ControlFixture.h"

#include <gmock/gmock.h>

#include <algorithm>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

const std::vector<std::string> kDefaultCaptions{"Name",           "Click Point",        "Mouse Button", "Mouse Action",
                                                "Click Interval", "Start Option",       "Stop Option",  "Start HotKey",
                                                "Stop HotKey",    "After Click Action", "Action Stats"};

void SetIndexes(TConfig& config, const std::vector<int>& indexes) {
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        config.GetCols().Item(static_cast<int>(i)).SetIndex(indexes[i]);
    }
}

TEST_F(ControlTest, DefaultSettingsGiveTheDefaultWindowAndColumns) {
    StartController();
    EXPECT_EQ(view.bounds, (TRect{296, 228, 687, 344}));
    EXPECT_FALSE(view.maximized);
    EXPECT_EQ(view.shownCaptions(), kDefaultCaptions);
    std::vector<int> widths;
    std::vector<bool> visible;
    for (const auto& column : view.columns) {
        widths.push_back(column.width);
        visible.push_back(column.visible);
    }
    EXPECT_THAT(widths, ElementsAre(85, 80, 80, 80, 80, 72, 72, 72, 72, 72, 72));
    EXPECT_THAT(visible, ElementsAre(true, true, true, true, true, true, true, true, true, false, true));
    EXPECT_EQ(view.mainColumn, 0);
    EXPECT_EQ(view.updateDepth, 0);
}

TEST_F(ControlTest, MaximisedSettingIgnoresTheStoredBounds) {
    EditSettings([](TConfig& config) {
        config.GetFrame().Setmax(true);
        config.GetFrame().Setleft(5);
    });
    StartController();
    EXPECT_TRUE(view.maximized);
    EXPECT_EQ(view.bounds, (TRect{1, 2, 3, 4}));
}

TEST_F(ControlTest, StoredBoundsAreAppliedInTheNormalState) {
    EditSettings([](TConfig& config) {
        config.GetFrame().Setleft(-20);
        config.GetFrame().Settop(30);
        config.GetFrame().Setwidth(900);
        config.GetFrame().Setheight(500);
    });
    view.maximized = true;
    StartController();
    EXPECT_FALSE(view.maximized);
    EXPECT_EQ(view.bounds, (TRect{-20, 30, 900, 500}));
}

TEST_F(ControlTest, StoredBoundsTooLargeOrOutOfReachAreFittedOnTheMonitors) {
    EditSettings([](TConfig& config) {
        config.GetFrame().Setleft(2500);
        config.GetFrame().Setwidth(2000000000);
        config.GetFrame().Setheight(2000000000);
    });
    view.monitors = {{0, 0, 1920, 1080}};
    StartController();
    EXPECT_EQ(view.bounds, (TRect{0, 0, 1920, 1080}));
}

TEST_F(ControlTest, AlignmentIsRightOrCenterOnlyForTheExactLowerCaseWords) {
    const std::vector<std::pair<std::string, TColumnAlignment>> cases{
        {"right", TColumnAlignment::Right}, {"center", TColumnAlignment::Center}, {"Right", TColumnAlignment::Left},
        {"CENTER", TColumnAlignment::Left}, {"", TColumnAlignment::Left},         {"left", TColumnAlignment::Left},
        {"right ", TColumnAlignment::Left}};
    EditSettings([&](TConfig& config) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            config.GetCols().Item(static_cast<int>(i)).SetAlign(cases[i].first);
        }
    });
    StartController();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(view.columns[i].alignment, cases[i].second) << '"' << cases[i].first << '"';
    }
}

TEST_F(ControlTest, ColumnsAreShownInTheOrderOfTheirIndex) {
    EditSettings([](TConfig& config) { SetIndexes(config, {3, 10, 0, 9, 1, 8, 2, 7, 4, 6, 5}); });
    StartController();
    for (int column = 0; column < 11; ++column) {
        EXPECT_EQ(view.columnPosition(column), (std::vector<int>{3, 10, 0, 9, 1, 8, 2, 7, 4, 6, 5}[column]));
    }
    EXPECT_EQ(view.columns.size(), 11u);
}

TEST_F(ControlTest, DuplicateOrOutOfRangeIndexesStillGiveEveryColumnOnePlace) {
    EditSettings([](TConfig& config) { SetIndexes(config, {5, 5, -3, 99, 0, 1, 2, 3, 4, 6, 7}); });
    StartController();
    EXPECT_THAT(view.displayOrder, ElementsAre(2, 4, 5, 6, 7, 8, 0, 1, 9, 10, 3));
}

TEST_F(ControlTest, MainColumnIsTheFirstVisibleColumnInDisplayOrder) {
    EditSettings([](TConfig& config) {
        SetIndexes(config, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
        config.GetCols().Item(10).SetVisible(false);
    });
    StartController();
    // Shown from the left: Action Stats (hidden), After Click Action (hidden by default), Stop HotKey.
    EXPECT_EQ(view.mainColumn, 8);
}

TEST_F(ControlTest, MainColumnIsColumnZeroWhenNoColumnIsVisible) {
    EditSettings([](TConfig& config) {
        SetIndexes(config, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
        for (int i = 0; i < config.GetCols().Count(); ++i) {
            config.GetCols().Item(i).SetVisible(false);
        }
    });
    StartController();
    EXPECT_EQ(view.mainColumn, 0);
}

TEST_F(ControlTest, AHiddenColumnKeepsItsStoredWidthAndIsShownWithItWhenTicked) {
    StartController();
    const int afterClick = ColumnNamed("After Click Action");
    ASSERT_FALSE(view.columns[afterClick].visible);
    CloseController();
    EXPECT_EQ(TConfig(folder.string()).GetCols().Item(afterClick).GetWidth(), 72);

    StartController();
    view.optionsChange = [&](TOptionsChoices& choices) { choices.columns[afterClick].visible = true; };
    ctrl->ShowOptions();
    EXPECT_EQ(view.columnWidth(afterClick), 72);
}

TEST_F(ControlTest, AShownColumnWhoseStoredWidthIsNothingGetsAUsableWidth) {
    EditSettings([](TConfig& config) {
        config.GetCols().Item(9).SetWidth(0);
        config.GetCols().Item(9).SetVisible(true);
        config.GetCols().Item(3).SetWidth(0);
    });
    StartController();
    EXPECT_EQ(view.columnWidth(9), 72);
    EXPECT_EQ(view.columnWidth(3), 72);
}

TEST_F(ControlTest, CloseStoresBoundsMaximisedStateWidthsAndPlacesAndTheNextStartShowsThem) {
    StartController();
    view.dragColumn(0, 3);
    view.dragColumn(10, 0);
    view.setColumnWidth(2, 150);
    view.bounds = {10, 20, 800, 600};
    view.maximized = true;
    const std::vector<std::string> shown = view.shownCaptions();
    CloseController();

    TConfig saved(folder.string());
    EXPECT_TRUE(saved.GetFrame().Getmax());
    EXPECT_EQ(saved.GetFrame().Getleft(), 10);
    EXPECT_EQ(saved.GetFrame().Gettop(), 20);
    EXPECT_EQ(saved.GetFrame().Getwidth(), 800);
    EXPECT_EQ(saved.GetFrame().Getheight(), 600);
    EXPECT_EQ(saved.GetCols().Item(2).GetWidth(), 150);
    EXPECT_EQ(saved.GetCols().Item(10).GetIndex(), 0);
    EXPECT_EQ(saved.GetCols().Item(0).GetIndex(), 4);
    EXPECT_FALSE(saved.GetCols().Item(9).GetVisible());

    FakeClickListView next;
    TClickListController again(next, fake.platform, folder.string());
    EXPECT_THAT(next.shownCaptions(), ElementsAreArray(shown));
    EXPECT_EQ(next.columns[2].width, 150);
    EXPECT_TRUE(next.maximized);
    EXPECT_EQ(next.mainColumn, 10);
}

} // namespace
