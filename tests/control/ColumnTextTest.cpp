#include "control/ClickListController.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct CellCase {
    const char* column;
    std::function<void(TClickRunner&)> setUp;
    const char* expected;
};

void PrintTo(const CellCase& cell, std::ostream* out) {
    *out << cell.column << " -> " << cell.expected;
}

class ColumnTextTest : public ::testing::TestWithParam<CellCase> {
protected:
    FakePlatform fake;
};

TEST_P(ColumnTextTest, GivesTheCellTextOfTheColumnName) {
    TClickRunner runner(fake.platform);
    GetParam().setUp(runner);
    EXPECT_EQ(ColumnText(runner, GetParam().column), GetParam().expected);
}

const auto keep = [](TClickRunner&) {};

INSTANTIATE_TEST_SUITE_P(
    EveryColumn, ColumnTextTest,
    ::testing::Values(CellCase{"Name", [](TClickRunner& c) { c.fName = "Fish <&> \"bait\""; }, "Fish <&> \"bait\""},
                      CellCase{"Name", [](TClickRunner& c) { c.fName.clear(); }, ""},
                      CellCase{"Click Point", keep, "Click on mouse current point"},
                      CellCase{"Click Point",
                               [](TClickRunner& c) {
                                   c.pointType = ptFixed;
                                   c.fPosX = 300;
                                   c.fPosY = 200;
                               },
                               "Click on fixed point:(300 : 200)"},
                      CellCase{"Click Point",
                               [](TClickRunner& c) {
                                   c.pointType = ptFixed;
                                   c.fPosX = -5;
                               },
                               "Click on fixed point:(-5 : 0)"},
                      CellCase{"Click Point",
                               [](TClickRunner& c) {
                                   c.pointType = ptColor;
                                   c.fColor = "$00123456";
                               },
                               "Click on the Color:$00123456"},
                      CellCase{"Click Point", [](TClickRunner& c) { c.pointType = ptPicture; }, "Click on the Picture"},
                      CellCase{"Click Point", [](TClickRunner& c) { c.pointType = 4; }, "unknown"},
                      CellCase{"Mouse Button", keep, "Left Button"},
                      CellCase{"Mouse Button", [](TClickRunner& c) { c.mouseType = mtRight; }, "Right Button"},
                      CellCase{"Mouse Button", [](TClickRunner& c) { c.mouseType = mtMiddle; }, "Middle Button"},
                      CellCase{"Mouse Button", [](TClickRunner& c) { c.mouseType = 3; }, "unknown"},
                      CellCase{"Mouse Action", keep, "Single Click"},
                      CellCase{"Mouse Action", [](TClickRunner& c) { c.actionType = atDouble; }, "Double Click"},
                      CellCase{"Mouse Action", [](TClickRunner& c) { c.actionType = atDown; }, "Button Down"},
                      CellCase{"Mouse Action", [](TClickRunner& c) { c.actionType = atUp; }, "Button Up"},
                      CellCase{"Mouse Action", [](TClickRunner& c) { c.actionType = 255; }, "unknown"},
                      CellCase{"Click Interval", keep, "1000ms"},
                      CellCase{"Click Interval",
                               [](TClickRunner& c) {
                                   c.InteverType = itRandom;
                                   c.iClickInterval = 250;
                               },
                               "250ms"},
                      CellCase{"Start Option", keep, "Right Now"},
                      CellCase{"Start Option",
                               [](TClickRunner& c) {
                                   c.startType = stAt;
                                   c.fStartAt = "14:05:00";
                               },
                               "Start at 14:05:00"},
                      CellCase{"Start Option",
                               [](TClickRunner& c) {
                                   c.startType = stAfter;
                                   c.fStartInterval = 60;
                               },
                               "Start after 60s"},
                      CellCase{"Start Option", [](TClickRunner& c) { c.startType = 3; }, "unknown"},
                      CellCase{"Stop Option", keep, "till get command"},
                      CellCase{"Stop Option",
                               [](TClickRunner& c) {
                                   c.stopType = spRepeat;
                                   c.fRepeat = 7;
                               },
                               "repeat 7 times"},
                      CellCase{"Stop Option", [](TClickRunner& c) { c.stopType = 2; }, "unknown"},
                      CellCase{"Start HotKey", keep, "CTRL+F2"},
                      CellCase{"Start HotKey", [](TClickRunner& c) { c.hkStart = 11; }, "CTRL+F12"},
                      CellCase{"Stop HotKey", keep, "CTRL+F3"},
                      CellCase{"Stop HotKey", [](TClickRunner& c) { c.hkStop = 0; }, "CTRL+F1"},
                      CellCase{"After Click Action", keep, "Do nothing"},
                      CellCase{"After Click Action", [](TClickRunner& c) { c.finishType = ftBack; },
                               "Back to the original location"},
                      CellCase{"After Click Action", [](TClickRunner& c) { c.finishType = ftBackClick; },
                               "Back to the original location and click"},
                      CellCase{"After Click Action", [](TClickRunner& c) { c.finishType = 3; }, "unknown"},
                      CellCase{"Action Stats", keep, "stopped"},
                      CellCase{"Action Stats",
                               [](TClickRunner& c) {
                                   c.running = true;
                                   c.count = 12;
                               },
                               "running 12 times"},
                      CellCase{"Action Stats", [](TClickRunner& c) { c.count = 12; }, "stopped"},
                      CellCase{"Action Stats", [](TClickRunner& c) { c.tickError = "refused"; }, "stopped: refused"},
                      // A searching click adds its last search; a click that does not search has none to add.
                      CellCase{"Action Stats",
                               [](TClickRunner& c) {
                                   c.pointType = ptColor;
                                   c.running = true;
                                   c.count = 2;
                                   c.lastSearch = {TLastSearch::TKind::Found, {30, 40}};
                               },
                               "running 2 times; found at (30, 40)"},
                      CellCase{"Action Stats",
                               [](TClickRunner& c) {
                                   c.pointType = ptPicture;
                                   c.lastSearch = {TLastSearch::TKind::NotFound, {-1, -1}, 7};
                               },
                               "stopped; not found 7 times in a row"},
                      CellCase{"Action Stats",
                               [](TClickRunner& c) {
                                   c.pointType = ptPicture;
                                   c.lastSearch = {TLastSearch::TKind::Failed, {-1, -1}, 0,
                                                   TSearchFailure::PictureUnreadable};
                               },
                               "stopped; cannot search: the picture cannot be read (a 24-bit BMP is needed)"},
                      CellCase{"Action Stats",
                               [](TClickRunner& c) { c.lastSearch = {TLastSearch::TKind::Found, {30, 40}}; },
                               "stopped"},
                      // Names are compared exactly.
                      CellCase{"name", keep, "unknown"}, CellCase{"Name ", keep, "unknown"},
                      CellCase{"", keep, "unknown"}, CellCase{"Action stats", keep, "unknown"}));

} // namespace
