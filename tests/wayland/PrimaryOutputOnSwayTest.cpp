// The real program on a headless sway with the primary output chosen in its settings: its positions start at that
// output's top-left, for the clicks and for the colour searches, whose full screen is that output.

#include "ProgramOnSway.h"
#include "SwayHeadless.h"
#include "WaylandTarget.h"

#include "model/Config.h"

#include <gtest/gtest.h>

TEST(PrimaryOutputOnSwayTest, PositionsStartAtTheOutputChosenAsPrimary) {
    const SwayHeadless sway({.outputs = {{.width = 1920, .height = 1080, .x = 0, .y = 0},
                                         {.width = 1280, .height = 1024, .x = -1280, .y = 0}}});
    // The settings go where ProgramOnSway puts the program, before it starts.
    std::filesystem::create_directories(sway.folder() / "program");
    TConfig settings((sway.folder() / "program").string());
    settings.GetFrame().SetprimaryOutput("HEADLESS-2");
    std::vector<std::string> messages;
    settings.SaveConfig(messages);

    TMouseObj corner;
    corner.fName = "Corner";
    corner.pointType = ptFixed;
    corner.fPosX = corner.fPosY = 10;
    corner.stopType = spRepeat;
    corner.fRepeat = 1;
    corner.iClickInterval = 50;
    TMouseObj green = corner;
    green.fName = "Green";
    green.pointType = ptColor;
    green.fColor = "$0000C000";
    const ProgramOnSway program(sway, TAPPORA_PROGRAM, {corner, green});
    WaylandTarget chosen(sway, {.output = "HEADLESS-2", .background = 0xFFFFFF, .rects = {{{50, 60, 5, 5}, 0x00C000}}});
    chosen.waitReady();

    ASSERT_EQ(program.command({"start", "Corner"}).exitStatus, 0);
    EXPECT_EQ(chosen.nextButton(), (PointerButton{PointerButton::left, true, 10, 10}));
    EXPECT_EQ(chosen.nextButton(), (PointerButton{PointerButton::left, false, 10, 10}));
    ASSERT_EQ(program.command({"start", "Green"}).exitStatus, 0);
    EXPECT_EQ(chosen.nextButton(), (PointerButton{PointerButton::left, true, 50, 60}));
}
