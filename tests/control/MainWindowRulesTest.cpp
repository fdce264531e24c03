// The main window's rules, which both front ends only show and forward: the toolbar's commands and how the user is
// told about failures.
#include "control/ControlFixture.h"
#include "platform/ErrorGuard.h"

#include <gmock/gmock.h>

#include <stdexcept>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

TEST_F(ControlTest, EachToolbarButtonRunsItsCommandAndEditAndDeleteNeedAFocusedRow) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    view.editorScript.result = mrCancel;
    view.deleteAnswer = false;
    const auto shown = [&] {
        return std::vector<int>{int(view.editorUses.size()), view.deleteQuestions, ctrl->Runner(0).running,
                                view.optionsShown, view.closesByUser};
    };
    struct Case {
        TCommand command;
        int focused;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {TCommand::Edit, -1, {0, 0, 0, 0, 0}},  {TCommand::Delete, -1, {0, 0, 0, 0, 0}},
        {TCommand::New, -1, {1, 0, 0, 0, 0}},   {TCommand::Edit, 0, {2, 0, 0, 0, 0}},
        {TCommand::Delete, 0, {2, 1, 0, 0, 0}}, {TCommand::Start, -1, {2, 1, 1, 0, 0}},
        {TCommand::Stop, -1, {2, 1, 0, 0, 0}},  {TCommand::Options, -1, {2, 1, 0, 1, 0}},
        {TCommand::Exit, -1, {2, 1, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        view.focused = c.focused;
        ctrl->Run(c.command);
        EXPECT_EQ(shown(), c.expected) << kToolCommands[std::size_t(c.command)].caption;
    }
    EXPECT_EQ(AccessKey("S&top"), 'T');
}

TEST_F(ControlTest, ARecurringErrorIsToldOnceOnTheConsoleAndCloseFailuresGetABoxOnlyWhenTheUserCloses) {
    StartController();
    ::testing::internal::CaptureStderr();
    for (int tick = 0; tick < 3; ++tick) {
        runGuarded([] { throw std::runtime_error("no colour"); });
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "tappora: no colour\n");
    EXPECT_THAT(view.questions, IsEmpty());

    for (const TCloseKind kind : {TCloseKind::Unattended, TCloseKind::ByUser}) {
        StartController();
        std::filesystem::remove_all(folder);
        ::testing::internal::CaptureStderr();
        ctrl->CloseAndTell(kind);
        EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("tappora: "));
    }
    // The user's close first asks what to do; unanswered, it tells the failures.
    ASSERT_THAT(view.questions, SizeIs(2)) << "only the user's close shows boxes";
    EXPECT_EQ(view.questions[1].caption, "Tappora");
    EXPECT_THAT(view.questions[1].buttons, ElementsAre("OK"));
    EXPECT_THAT(view.questions[1].text, HasSubstr(kClickListFileName));
}

TEST_F(ControlTest, WhatTheStartFoundIsToldInOneBoxAndAListSavedElsewhereOffersTheListsName) {
    fake.hotKeys.takeByOtherProgram({HotKeyModifier::Control, 1});
    StartController();
    ::testing::internal::CaptureStderr();
    ctrl->TellStartup();
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("CTRL+F1"));
    ASSERT_THAT(view.questions, SizeIs(1));
    EXPECT_EQ(view.questions[0].caption, "Warning");

    std::filesystem::create_directories(folder / kClickListFileName / "blocker");
    view.unsavedAnswers = {TUnsavedChoice::SaveListElsewhere, TUnsavedChoice::QuitWithoutSaving};
    ::testing::internal::CaptureStderr();
    ctrl->Close(TCloseKind::ByUser);
    ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(view.suggestedListNames, ElementsAre(kClickListFileName));
}
