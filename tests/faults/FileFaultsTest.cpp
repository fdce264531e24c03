// The click list and settings files on a machine that fails: a full disk, a folder nobody may write to, a folder
// that is a file, a directory, a pipe or an unreadable file where the list should be, settings of another version.
// Each time the controller starts, says once what it could not do, and the list that was on disk stays whole.
#include "LinuxFaults.h"
#include "control/ControlFixture.h"
#include "faults/FilePermissions.h"
#include "faults/TestMount.h"

#include <gmock/gmock.h>

#include <fstream>
#ifdef __linux__
#include <unistd.h>
#endif

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace fs = std::filesystem;

namespace {

class FileFaultsTest : public ControlTest {
protected:
    // A list of `count` clicks as the program itself writes it, so that an unchanged list saves byte for byte.
    void WriteSavedList(int count) const {
        std::vector<std::unique_ptr<TMouseObj>> clicks;
        std::vector<const TMouseObj*> view;
        for (int i = 0; i < count; ++i) {
            clicks.push_back(std::make_unique<TMouseObj>());
            clicks.back()->fName = "click " + std::to_string(i);
            clicks.back()->fPosX = i;
            clicks.back()->hkStart = static_cast<std::uint8_t>(i % 12);
            clicks.back()->checked = i % 3 != 0;
            view.push_back(clicks.back().get());
        }
        WriteFile(kClickListFileName, ClickListText(view));
    }

    // Settings with a window that is not the default one.
    void WriteOwnSettings() const {
        EditSettings([](TConfig& config) { config.GetFrame().Setleft(11); });
    }

    // Fills what is left of the folder's file system.
    void FillDisk() const {
        std::ofstream filler(folder / "filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
        }
        filler.clear();
        const std::string byte(1, 'f');
        while (filler.write(byte.data(), 1).flush()) {
        }
    }

    // Half-written temporary files left beside either file.
    std::vector<fs::path> Leftovers() const {
        std::vector<fs::path> found = FilesStartingWith(kClickListFileName);
        for (const fs::path& path : FilesStartingWith(kConfigFileName)) {
            found.push_back(path);
        }
        return found;
    }

    // Adds a click whose saved form is larger than anything a nearly full disk can take.
    void AddLargeClick() {
        auto runner = std::make_unique<TClickRunner>(fake.platform);
        runner->fName = std::string(16 * 1024, 'n');
        ctrl->AddClick(std::move(runner));
    }
};

#define SKIP_UNLESS_MOUNTED(mount)                                                                                     \
    if (!(mount).Mounted()) {                                                                                          \
        GTEST_SKIP() << (mount).Failure();                                                                             \
    }

TEST_F(FileFaultsTest, DiskFullAtCloseKeepsBothFilesWholeAndSaysSoOncePerFile) {
    const TestMount disk = TestMount::Tmpfs(folder.string(), "64k");
    SKIP_UNLESS_MOUNTED(disk);
    WriteSavedList(20);
    WriteOwnSettings();
    const std::string list = ReadFile(kClickListFileName);
    const std::string settings = ReadFile(kConfigFileName);
    StartController();
    view.bounds = {50, 60, 700, 400};
    FillDisk();
    AddLargeClick();
    EXPECT_THAT(view.fileMessages, ElementsAre(HasSubstr("No space left on device")));

    const std::vector<std::string> messages = CloseController();

    EXPECT_THAT(messages, ElementsAre(HasSubstr(ConfigPath()), HasSubstr(ListPath())));
    EXPECT_THAT(messages[1], HasSubstr("No space left on device"));
    EXPECT_EQ(ReadFile(kClickListFileName), list);
    EXPECT_EQ(ReadFile(kConfigFileName), settings);
    EXPECT_THAT(Leftovers(), IsEmpty());
}

TEST_F(FileFaultsTest, StartingOnAFullDiskRunsWithDefaultSettingsAndTheListFromDisk) {
    const TestMount disk = TestMount::Tmpfs(folder.string(), "64k");
    SKIP_UNLESS_MOUNTED(disk);
    WriteSavedList(5);
    const std::string list = ReadFile(kClickListFileName);
    FillDisk();

    StartController();

    EXPECT_THAT(ctrl->StartupMessages(), IsEmpty());
    EXPECT_EQ(ctrl->RowCount(), 5);
    EXPECT_EQ(view.columns.size(), 11u);
    EXPECT_EQ(view.bounds, (TRect{296, 228, 687, 344}));
    AddLargeClick();
    const std::vector<std::string> messages = CloseController();
    EXPECT_THAT(messages, ElementsAre(HasSubstr(ConfigPath()), HasSubstr(ListPath())));
    EXPECT_EQ(ReadFile(kClickListFileName), list);
    EXPECT_THAT(Leftovers(), IsEmpty());
}

TEST_F(FileFaultsTest, AReadOnlyFolderKeepsBothFilesAndSaysSoAtStartAtTheChangeAndAtClose) {
    WriteSavedList(3);
    WriteOwnSettings();
    const std::string list = ReadFile(kClickListFileName);
    const std::string settings = ReadFile(kConfigFileName);
    const TestMount readOnly = TestMount::ReadOnly(folder.string());
    SKIP_UNLESS_MOUNTED(readOnly);

    StartController();
    EXPECT_THAT(ctrl->StartupMessages(),
                ElementsAre("Cannot write '" + ListPath() +
                            "': Read-only file system. Changes are kept while Tappora runs; at exit the list can be "
                            "saved elsewhere."));
    EXPECT_EQ(ctrl->RowCount(), 3);
    EXPECT_EQ(view.bounds.left, 11);
    view.focused = 0;
    ctrl->DeleteClick();
    view.focused = 1;
    ctrl->DeleteClick();
    EXPECT_THAT(view.fileMessages, ElementsAre(HasSubstr("Read-only file system"))) << "told once, not per change";
    EXPECT_TRUE(ctrl->ListUnsaved());
    const std::vector<std::string> messages = CloseController();

    EXPECT_THAT(messages, ElementsAre(HasSubstr(ConfigPath()), HasSubstr(ListPath())));
    EXPECT_THAT(messages[1], HasSubstr("Read-only file system"));
    EXPECT_EQ(ReadFile(kClickListFileName), list);
    EXPECT_EQ(ReadFile(kConfigFileName), settings);
}

TEST_F(FileFaultsTest, AnUnreadableListInAReadOnlyFolderStaysWhereItIsAndIsNeverOverwritten) {
    const std::string broken = "<list><item fName=\"half";
    WriteFile(kClickListFileName, broken);
    const TestMount readOnly = TestMount::ReadOnly(folder.string());
    SKIP_UNLESS_MOUNTED(readOnly);

    StartController();
    ASSERT_THAT(ctrl->StartupMessages(), SizeIs(2));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr("Read-only file system"));
    EXPECT_THAT(ctrl->StartupMessages()[1], HasSubstr(ListPath()));
    EXPECT_THAT(ctrl->StartupMessages()[1], HasSubstr("will not be overwritten"));
    EXPECT_EQ(ctrl->RowCount(), 0);
    CloseController();

    EXPECT_EQ(ReadFile(kClickListFileName), broken);
}

TEST_F(FileFaultsTest, AFileWhereTheFolderShouldBeGivesDefaultsAndOneMessagePerFileAtClose) {
    const fs::path movedAway = folder.string() + ".moved";
    fs::rename(folder, movedAway);
    std::ofstream(folder) << "not a folder";

    StartController();
    EXPECT_EQ(ctrl->RowCount(), 0);
    EXPECT_EQ(view.columns.size(), 11u);
    const std::vector<std::string> messages = CloseController();

    EXPECT_THAT(messages, ElementsAre(HasSubstr(kConfigFileName), HasSubstr(kClickListFileName)));
    EXPECT_EQ(fake.hotKeys.registeredCount(), 0u);
    fs::remove(folder);
    fs::rename(movedAway, folder);
}

TEST_F(FileFaultsTest, ADirectoryAtTheListPathIsKeptAsideWithItsContentAndTheListIsSavedAtClose) {
    fs::create_directory(folder / kClickListFileName);
    std::ofstream(folder / kClickListFileName / "inside.txt") << "kept";

    StartController();
    const std::vector<fs::path> kept = FilesStartingWith(kClickListFileName);
    ASSERT_THAT(kept, SizeIs(1));
    ASSERT_THAT(ctrl->StartupMessages(), SizeIs(1));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr(ListPath()));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr(kept[0].string()));
    EXPECT_THAT(CloseController(), IsEmpty());

    EXPECT_EQ(ReadFile(kept[0].filename() / "inside.txt"), "kept");
    EXPECT_TRUE(fs::is_regular_file(ListPath()));
}

TEST_F(FileFaultsTest, AListFileThatCannotBeOpenedIsKeptAsideMentionedAndLeftAsItWas) {
    WriteSavedList(4);
    const std::string list = ReadFile(kClickListFileName);
    fs::permissions(ListPath(), fs::perms::none);
    {
        const FilePermissions enforced;
        if (!enforced.Enforced()) {
            GTEST_SKIP() << "file permissions cannot be made to count for this process (they need Linux capabilities)";
        }
        StartController();
    }

    const std::vector<fs::path> kept = FilesStartingWith(kClickListFileName);
    ASSERT_THAT(kept, SizeIs(1));
    ASSERT_THAT(ctrl->StartupMessages(), SizeIs(1));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr(ListPath()));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr(kept[0].string()));
    EXPECT_EQ(ctrl->RowCount(), 0);
    EXPECT_THAT(CloseController(), IsEmpty());
    EXPECT_EQ(ReadFile(kept[0].filename().string()), list);
}

TEST_F(FileFaultsTest, ASettingsFileThatCannotBeOpenedIsKeptAsideMentionedAndTheListStillLoads) {
    WriteOwnSettings();
    const std::string settings = ReadFile(kConfigFileName);
    WriteSavedList(2);
    fs::permissions(ConfigPath(), fs::perms::none);
    {
        const FilePermissions enforced;
        if (!enforced.Enforced()) {
            GTEST_SKIP() << "file permissions cannot be made to count for this process (they need Linux capabilities)";
        }
        StartController();
    }

    const std::vector<fs::path> kept = FilesStartingWith(kConfigFileName);
    ASSERT_THAT(kept, SizeIs(1));
    ASSERT_THAT(ctrl->StartupMessages(), SizeIs(1));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr(kept[0].string()));
    EXPECT_EQ(ctrl->RowCount(), 2);
    EXPECT_EQ(view.bounds, (TRect{296, 228, 687, 344}));
    EXPECT_THAT(CloseController(), IsEmpty());
    EXPECT_EQ(ReadFile(kept[0].filename().string()), settings);
}

TEST_F(FileFaultsTest, APipeAtTheListPathDoesNotHoldUpTheStartAndIsKeptAside) {
    SKIP_UNLESS_LINUX("named pipes");
    ASSERT_TRUE(makeNamedPipe(ListPath()));
    {
        const PipeWatcher watcher(ListPath());
        StartController();
        EXPECT_FALSE(watcher.readerWasBlocked());
    }

    ASSERT_THAT(ctrl->StartupMessages(), SizeIs(1));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr(ListPath()));
    EXPECT_EQ(ctrl->RowCount(), 0);
    EXPECT_THAT(CloseController(), IsEmpty());
    const std::vector<fs::path> kept = FilesStartingWith(kClickListFileName);
    ASSERT_THAT(kept, SizeIs(1));
    EXPECT_TRUE(fs::is_fifo(kept[0]));
}

TEST_F(FileFaultsTest, SettingsOfAnotherVersionGiveTheDefaultsWhileTheListLoadsAndSavesUnchanged) {
    WriteOwnSettings();
    std::string settings = ReadFile(kConfigFileName);
    settings.replace(settings.find(R"(versionNo="2.0")"), 15, R"(versionNo="2.1")");
    WriteFile(kConfigFileName, settings);
    WriteSavedList(6);
    const std::string list = ReadFile(kClickListFileName);

    StartController();
    EXPECT_THAT(ctrl->StartupMessages(), IsEmpty());
    EXPECT_EQ(view.bounds, (TRect{296, 228, 687, 344}));
    EXPECT_EQ(ctrl->RowCount(), 6);
    EXPECT_THAT(CloseController(), IsEmpty());

    EXPECT_EQ(ReadFile(kClickListFileName), list);
    EXPECT_THAT(ReadFile(kConfigFileName), HasSubstr(R"(versionNo="2.0")"));
}

} // namespace

// Owners of files are POSIX systems'.
#ifdef __linux__
TEST_F(FileFaultsTest, AListLinkedToAFileOfAnotherUserIsNeverWrittenThrough) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a file to another user";
    }
    WriteSavedList(2);
    fs::rename(folder / kClickListFileName, folder / "theirs.xml");
    const std::string theirs = ReadFile("theirs.xml");
    ASSERT_EQ(::chown((folder / "theirs.xml").c_str(), 65534, 65534), 0);
    fs::create_symlink("theirs.xml", folder / kClickListFileName);

    StartController();
    EXPECT_EQ(ctrl->RowCount(), 2) << "reading through the link is harmless";
    ASSERT_THAT(ctrl->StartupMessages(), SizeIs(1));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr("Cannot write '" + ListPath() + "'"));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr("of another user"));
    view.focused = 0;
    ctrl->DeleteClick();
    EXPECT_THAT(view.fileMessages, ElementsAre(HasSubstr("of another user")));
    EXPECT_THAT(CloseController(), ElementsAre(HasSubstr(ListPath())));

    EXPECT_EQ(ReadFile("theirs.xml"), theirs);
    EXPECT_TRUE(fs::is_symlink(folder / kClickListFileName));
}
#endif

TEST_F(FileFaultsTest, AnExitByTheUserFromAReadOnlyFolderAsksAndQuitsUnsavedOnlyOnRequest) {
    WriteSavedList(3);
    const std::string list = ReadFile(kClickListFileName);
    const TestMount readOnly = TestMount::ReadOnly(folder.string());
    SKIP_UNLESS_MOUNTED(readOnly);
    recoveryFolder = folder.string() + "-state";

    StartController();
    view.focused = 0;
    ctrl->DeleteClick();
    view.unsavedAnswers = {TUnsavedChoice::TryAgain, TUnsavedChoice::QuitWithoutSaving};

    EXPECT_THAT(ctrl->Close(TCloseKind::ByUser), IsEmpty());

    ASSERT_THAT(view.unsavedQuestions, SizeIs(2));
    EXPECT_THAT(view.unsavedQuestions[0], HasSubstr(ConfigPath()));
    EXPECT_THAT(view.unsavedQuestions[0], HasSubstr(ListPath() + "': Read-only file system"));
    EXPECT_EQ(ReadFile(kClickListFileName), list);
    EXPECT_FALSE(fs::exists(recoveryFolder)) << "quitting unsaved was asked for";
}
