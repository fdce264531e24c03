// Saving as the user goes: every change to the list on disk at once, a failed save told once and tried again, an
// exit that cannot save asking the user, an unattended one keeping the list in the recovery file for the next start.
#include "LinuxFaults.h"
#include "TempFolder.h"
#include "control/ControlFixture.h"
#include "model/SafeFile.h"
#include "platform/Files.h"

#include <gmock/gmock.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace fs = std::filesystem;

namespace {

struct ListChange {
    const char* name;
    std::function<void(ControlTest&, TClickListController&, FakeClickListView&)> make;
};

class SavingTest : public ControlTest {
protected:
    SavingTest() { recoveryFolder = folder.string() + "-state"; }
    ~SavingTest() override {
        std::error_code ignored;
        fs::remove_all(recoveryFolder, ignored);
    }

    // A folder in the list file's place, with something in it, cannot be replaced by a saved file.
    void BlockListFile() const {
        fs::remove(folder / kClickListFileName);
        fs::create_directories(folder / kClickListFileName / "blocker");
    }
    void UnblockListFile() const { fs::remove_all(folder / kClickListFileName); }

    // The text the close writes for the controller's rows as they are now.
    std::string ListTextNow() const {
        std::vector<const TMouseObj*> clicks;
        for (int row = 0; row < ctrl->RowCount(); ++row) {
            clicks.push_back(&ctrl->Runner(row));
        }
        return ClickListText(clicks);
    }

    void AddNamed(const std::string& name) {
        view.editorScript.save = [name](TMouseObj& click) { click.fName = name; };
        ctrl->NewClick();
    }
};

class ListChangeTest : public SavingTest, public ::testing::WithParamInterface<ListChange> {};

} // namespace

TEST_P(ListChangeTest, IsOnDiskAtOnceAsTheCloseWouldWriteIt) {
    WriteList({FastClick("A", 1, 2), FastClick("B", 3, 4)});
    StartController();
    const std::string before = ReadFile(kClickListFileName);

    GetParam().make(*this, *ctrl, view);

    const std::string saved = ReadFile(kClickListFileName);
    EXPECT_NE(saved, before);
    EXPECT_EQ(saved, ListTextNow());
    EXPECT_THAT(FilesStartingWith(kClickListFileName), IsEmpty());
    EXPECT_THAT(view.fileMessages, IsEmpty());
    EXPECT_FALSE(ctrl->ListUnsaved());
    EXPECT_THAT(CloseController(), IsEmpty());
    EXPECT_EQ(ReadFile(kClickListFileName), saved) << "the close writes byte for byte the same";
}

INSTANTIATE_TEST_SUITE_P(
    EveryChange, ListChangeTest,
    ::testing::Values(ListChange{"New",
                                 [](ControlTest&, TClickListController& ctrl, FakeClickListView&) { ctrl.NewClick(); }},
                      ListChange{"Edit",
                                 [](ControlTest&, TClickListController& ctrl, FakeClickListView& view) {
                                     view.focused = 1;
                                     view.editorScript.save = [](TMouseObj& click) { click.fName = "edited"; };
                                     ctrl.EditClick();
                                 }},
                      ListChange{"Delete",
                                 [](ControlTest&, TClickListController& ctrl, FakeClickListView& view) {
                                     view.focused = 0;
                                     ctrl.DeleteClick();
                                 }},
                      ListChange{"CheckBox", [](ControlTest&, TClickListController& ctrl,
                                                FakeClickListView&) { ctrl.NodeChecked(1, false); }}),
    [](const ::testing::TestParamInfo<ListChange>& info) { return info.param.name; });

TEST_F(SavingTest, WhatChangesNothingWritesNothing) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    // Long ago, so that any write, however soon, gives the file another time.
    const fs::file_time_type written = fs::last_write_time(ListPath()) - std::chrono::hours(24);
    fs::last_write_time(ListPath(), written);
    const std::string before = ReadFile(kClickListFileName);

    ctrl->NodeChecked(0, true);
    view.editorScript.result = mrCancel;
    ctrl->NewClick();
    view.focused = 0;
    ctrl->EditClick();
    view.editorScript.result = mrOk;
    ctrl->EditClick();
    view.deleteAnswer = false;
    ctrl->DeleteClick();

    EXPECT_EQ(ReadFile(kClickListFileName), before);
    EXPECT_EQ(fs::last_write_time(ListPath()), written);
}

TEST_F(SavingTest, AFailedSaveIsToldOnceTheChangeStaysAndTheNextChangeSavesItToo) {
    StartController();
    BlockListFile();

    AddNamed("first");
    AddNamed("second");

    ASSERT_THAT(view.fileMessages, SizeIs(1)) << "one message, not one per change";
    EXPECT_THAT(view.fileMessages[0], HasSubstr("Cannot write '" + ListPath() + "'"));
    EXPECT_THAT(view.fileMessages[0], hasPosixReason(EISDIR));
    EXPECT_TRUE(ctrl->ListUnsaved());
    EXPECT_EQ(ctrl->RowCount(), 2);

    UnblockListFile();
    AddNamed("third");
    EXPECT_FALSE(ctrl->ListUnsaved());
    EXPECT_EQ(ReadFile(kClickListFileName), ListTextNow());
    EXPECT_THAT(ReadFile(kClickListFileName), HasSubstr(R"(fName="first")"));

    BlockListFile();
    AddNamed("fourth");
    EXPECT_THAT(view.fileMessages, SizeIs(2)) << "failing again after a save is told again";
    UnblockListFile();
}

TEST_F(SavingTest, TheStartRemovesLeftoversOfAKilledSaveAndNothingElse) {
    WriteList({FastClick("A", 1, 2)});
    const std::string list = ReadFile(kClickListFileName);
    WriteFile("tapporas.xml.tmp-123456789", "<?xml version=\"1.0\"?><list><item fNa");
    WriteFile("TapporaConfig.xml.tmp-42", "<config");
    WriteFile("tapporas.xml.unreadable-20260101-120000", "kept");
    WriteFile("notes.tmp-1", "mine");

    StartController();

    EXPECT_THAT(FilesStartingWith(kClickListFileName), ElementsAre(folder / "tapporas.xml.unreadable-20260101-120000"));
    EXPECT_THAT(FilesStartingWith(kConfigFileName), IsEmpty());
    EXPECT_EQ(ReadFile("notes.tmp-1"), "mine");
    EXPECT_EQ(ReadFile(kClickListFileName), list);
    EXPECT_THAT(ctrl->StartupMessages(), IsEmpty());
}

TEST_F(SavingTest, AnExitByTheUserThatCannotSaveAsksUntilTryingAgainSaves) {
    StartController();
    AddNamed("kept");
    BlockListFile();
    ctrl->NodeChecked(0, false);
    const std::string expected = ListTextNow();
    view.unsavedAnswers = {TUnsavedChoice::TryAgain, TUnsavedChoice::TryAgain};
    view.whileAskingUnsaved = [&] {
        if (view.unsavedQuestions.size() == 2) {
            UnblockListFile();
        }
    };

    EXPECT_THAT(ctrl->Close(TCloseKind::ByUser), IsEmpty());

    ASSERT_THAT(view.unsavedQuestions, SizeIs(2)) << "asked again while it still fails";
    EXPECT_THAT(view.unsavedQuestions[0], HasSubstr("Cannot write '" + ListPath() + "'"));
    EXPECT_EQ(ReadFile(kClickListFileName), expected);
    EXPECT_FALSE(fs::exists(ctrl->RecoveryFileName()));
}

TEST_F(SavingTest, AnExitByTheUserCanSaveTheListElsewhereByteForByte) {
    StartController();
    AddNamed("kept");
    BlockListFile();
    ctrl->NodeChecked(0, false);
    const std::string expected = ListTextNow();
    const std::string elsewhere = recoveryFolder + "-chosen.xml";
    view.unsavedAnswers = {TUnsavedChoice::SaveListElsewhere, TUnsavedChoice::SaveListElsewhere};
    // The first choice is cancelled in the file chooser; the question comes back.
    view.whileAskingUnsaved = [&] { view.chosenListFile = view.unsavedQuestions.size() == 2 ? elsewhere : ""; };

    EXPECT_THAT(ctrl->Close(TCloseKind::ByUser), IsEmpty());

    EXPECT_THAT(view.unsavedQuestions, SizeIs(2));
    EXPECT_EQ(readWholeFile(elsewhere), expected);
    EXPECT_FALSE(fs::exists(ctrl->RecoveryFileName()));
    fs::remove(elsewhere);
}

TEST_F(SavingTest, QuittingUnsavedNeedsTheUsersExplicitChoice) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    BlockListFile();
    ctrl->NodeChecked(0, false);
    view.unsavedAnswers = {TUnsavedChoice::QuitWithoutSaving};

    EXPECT_THAT(ctrl->Close(TCloseKind::ByUser), IsEmpty());

    EXPECT_THAT(view.unsavedQuestions, SizeIs(1));
    EXPECT_FALSE(fs::exists(ctrl->RecoveryFileName())) << "the user chose to lose the change";
    EXPECT_TRUE(fs::exists(folder / kClickListFileName / "blocker"));
}

TEST_F(SavingTest, AQuestionThatGoesAwayUnansweredKeepsTheListInTheRecoveryFile) {
    StartController();
    AddNamed("kept");
    BlockListFile();
    ctrl->NodeChecked(0, false);
    const std::string expected = ListTextNow();

    const std::vector<std::string> messages = ctrl->Close(TCloseKind::ByUser);

    EXPECT_THAT(view.unsavedQuestions, SizeIs(1));
    ASSERT_THAT(messages, SizeIs(2));
    EXPECT_THAT(messages[0], HasSubstr(ListPath()));
    EXPECT_EQ(messages[1],
              "The click list was kept in " + ctrl->RecoveryFileName() + "; Tappora offers it at the next start.");
    EXPECT_EQ(ReadFile(fs::relative(ctrl->RecoveryFileName(), folder).string()), expected);
}

TEST_F(SavingTest, AnUnattendedCloseAsksNothingAndTheNextStartOffersTheKeptList) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    AddNamed("new");
    BlockListFile();
    ctrl->NodeChecked(0, false);
    const std::string expected = ListTextNow();
    const std::string kept = ctrl->RecoveryFileName();

    EXPECT_THAT(CloseController(), ElementsAre(HasSubstr(ListPath()), HasSubstr(kept)));
    EXPECT_THAT(view.unsavedQuestions, IsEmpty());
    EXPECT_THAT(kept, HasSubstr(utf8FromPath(pathFromUtf8(recoveryFolder) / "tapporas-")));
    UnblockListFile();
    WriteList({FastClick("A", 1, 2)});

    for (const TRecoveredChoice answer : {TRecoveredChoice::KeepForLater, TRecoveredChoice::Restore}) {
        view.restoreAnswer = answer;
        StartController();
        EXPECT_EQ(ctrl->RecoveryFileName(), kept) << "the same folder finds the same file";
        ctrl->OfferRecoveredList();
        ASSERT_THAT(view.restoreQuestions, SizeIs(1));
        EXPECT_EQ(view.restoreQuestions[0], kept);
        view.restoreQuestions.clear();
        if (answer == TRecoveredChoice::KeepForLater) {
            EXPECT_EQ(ctrl->RowCount(), 1);
            CloseController();
        }
    }
    EXPECT_EQ(ReadFile(kClickListFileName), expected) << "restored and saved at once";
    EXPECT_EQ(ctrl->RowCount(), 2);
    EXPECT_FALSE(fs::exists(kept));
    ctrl->OfferRecoveredList();
    EXPECT_THAT(view.restoreQuestions, IsEmpty()) << "offered only while there is one";
}

TEST_F(SavingTest, AKeptListCanBeDiscardedAndAnotherFoldersListIsNotOffered) {
    StartController();
    AddNamed("new");
    BlockListFile();
    const std::string kept = ctrl->RecoveryFileName();
    CloseController();
    UnblockListFile();
    ASSERT_TRUE(fs::exists(kept));

    const fs::path other = folder / "other";
    fs::create_directory(other);
    TClickListController otherCtrl(view, fake.platform, other.string(), recoveryFolder);
    EXPECT_NE(otherCtrl.RecoveryFileName(), kept);
    otherCtrl.OfferRecoveredList();
    EXPECT_THAT(view.restoreQuestions, IsEmpty());
    otherCtrl.Close();

    view.restoreAnswer = TRecoveredChoice::Discard;
    StartController();
    ctrl->OfferRecoveredList();
    EXPECT_THAT(view.restoreQuestions, SizeIs(1));
    EXPECT_FALSE(fs::exists(kept));
    EXPECT_EQ(ctrl->RowCount(), 0);
}

// Two copies on one folder, ended together with the list unsaved, keep two lists; neither writes over the other.
TEST_F(SavingTest, TwoCopiesEndedTogetherEachKeepTheirOwnListAndBothAreOffered) {
    TClickListController other(view, fake.platform, utf8FromPath(folder), recoveryFolder);
    StartController();
    AddNamed("mine");
    const std::string mine = ListTextNow();
    BlockListFile();

    const std::vector<std::string> saidByOther = other.Close();
    const std::vector<std::string> saidByMine = CloseController();

    ASSERT_THAT(saidByOther, SizeIs(2));
    ASSERT_THAT(saidByMine, SizeIs(2));
    EXPECT_EQ(saidByOther[1],
              "The click list was kept in " + other.RecoveryFileName() + "; Tappora offers it at the next start.");
    UnblockListFile();
    StartController();
    ctrl->OfferRecoveredList();
    ASSERT_THAT(view.restoreQuestions, SizeIs(2));
    EXPECT_EQ(ReadFile(fs::relative(view.restoreQuestions[0], folder).string()), ClickListText({}));
    EXPECT_EQ(ReadFile(fs::relative(view.restoreQuestions[1], folder).string()), mine);
    EXPECT_THAT(saidByMine[1], HasSubstr(view.restoreQuestions[1]));
}

TEST_F(SavingTest, SavingBeforeAnUnexpectedExitWritesBothFilesAndTouchesNothingElse) {
    StartController();
    AddNamed("new");
    view.bounds = {70, 80, 600, 300};
    ctrl->StartAll();
    const std::size_t hotKeys = fake.hotKeys.registeredCount();

    EXPECT_THAT(ctrl->SaveBeforeExit(), IsEmpty());

    EXPECT_THAT(ReadFile(kConfigFileName), HasSubstr(R"(<frame left="70" top="80" height="300" width="600")"));
    EXPECT_EQ(ReadFile(kClickListFileName), ListTextNow());
    EXPECT_EQ(fake.hotKeys.registeredCount(), hotKeys) << "no call may reach a display that is gone";
    EXPECT_EQ(ctrl->RowCount(), 1);
    EXPECT_THAT(ctrl->Close(), IsEmpty()) << "saved once";
}

TEST_F(SavingTest, ADisplayLostWhileTheExitAsksKeepsTheUnsavedListInTheRecoveryFile) {
    StartController();
    AddNamed("new");
    BlockListFile();
    ctrl->NodeChecked(0, false);
    const std::string expected = ListTextNow();
    std::vector<std::string> atExit;
    view.whileAskingUnsaved = [&] { atExit = ctrl->SaveBeforeExit(); };

    const std::vector<std::string> messages = ctrl->Close(TCloseKind::ByUser);

    EXPECT_THAT(atExit, ElementsAre(HasSubstr(ctrl->RecoveryFileName())));
    EXPECT_EQ(ReadFile(fs::relative(ctrl->RecoveryFileName(), folder).string()), expected);
    EXPECT_THAT(messages, IsEmpty()) << "kept once";
}
