#include "control/ControlFixture.h"
#include "control/StopAllKey.h"

#include "LinuxFaults.h"

#include <gmock/gmock.h>
#include <pugixml.hpp>

#include <fstream>
#include <stdexcept>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace fs = std::filesystem;

namespace {

const std::string kEmptyListText = R"(<?xml version="1.0" encoding="utf-8" standalone="yes"?>)"
                                   R"(<list versionNo="1.0" generated="https://tappora.example.org/"/>)";

using Attributes = std::vector<std::pair<std::string, std::string>>;

Attributes AttributesOf(const pugi::xml_node& node) {
    Attributes attributes;
    for (const pugi::xml_attribute& attribute : node.attributes()) {
        attributes.emplace_back(attribute.name(), attribute.value());
    }
    return attributes;
}

TEST_F(ControlTest, StartsEmptyWithoutFilesAndCloseWritesEmptyListAndSettingsTemplate) {
    StartController();
    EXPECT_EQ(ctrl->RowCount(), 0);
    EXPECT_THAT(ctrl->StartupMessages(), IsEmpty());
    EXPECT_EQ(ctrl->ListFileName(), ListPath());

    EXPECT_THAT(CloseController(), IsEmpty());

    EXPECT_EQ(ReadFile(kClickListFileName), kEmptyListText);
    pugi::xml_document saved;
    pugi::xml_document expected;
    ASSERT_TRUE(saved.load_file(ConfigPath().c_str()));
    ASSERT_TRUE(expected.load_string(DefaultConfigText));
    const pugi::xml_node savedConfig = saved.document_element();
    const pugi::xml_node expectedConfig = expected.document_element();
    EXPECT_EQ(AttributesOf(savedConfig), AttributesOf(expectedConfig));
    EXPECT_EQ(AttributesOf(savedConfig.child("frame")), AttributesOf(expectedConfig.child("frame")));
    std::vector<Attributes> savedCols;
    std::vector<Attributes> expectedCols;
    for (const pugi::xml_node& col : savedConfig.child("cols").children("col")) {
        savedCols.push_back(AttributesOf(col));
    }
    for (const pugi::xml_node& col : expectedConfig.child("cols").children("col")) {
        expectedCols.push_back(AttributesOf(col));
    }
    EXPECT_EQ(savedCols, expectedCols);
}

TEST_F(ControlTest, LoadsEveryItemAsARowTickedFromItsCheckedAttribute) {
    WriteList({R"(fName="A")", R"(fName="B" checked="false")", "", R"(fName="D" checked="0")"});
    StartController();
    ASSERT_EQ(ctrl->RowCount(), 4);
    EXPECT_EQ(ctrl->Runner(0).fName, "A");
    EXPECT_EQ(ctrl->Runner(2).fName, "New Click");
    EXPECT_EQ((std::vector<bool>{ctrl->RowChecked(0), ctrl->RowChecked(1), ctrl->RowChecked(2), ctrl->RowChecked(3)}),
              (std::vector<bool>{true, false, true, false}));
    EXPECT_FALSE(ctrl->Runner(0).running);
}

TEST_F(ControlTest, RegistersCtrlF1ToF12AndTheStopAllKeyAndUnregistersThemAtClose) {
    StartController();
    const auto& calls = fake.hotKeys.calls();
    ASSERT_THAT(calls, SizeIs(TClickListController::kHotKeyCount + 1));
    for (int n = 0; n < TClickListController::kHotKeyCount; ++n) {
        EXPECT_EQ(calls[n],
                  (FakeHotKeyCall{FakeHotKeyCall::Kind::Register, n, {HotKeyModifier::Control, n + 1}, true}));
    }
    EXPECT_EQ(calls[12], (FakeHotKeyCall{FakeHotKeyCall::Kind::Register,
                                         StopAllKey::kHotKeyId,
                                         {HotKeyModifier::Control | HotKeyModifier::Shift, 11},
                                         true}));
    EXPECT_EQ(fake.hotKeys.registeredCount(), 13u);

    CloseController();
    EXPECT_EQ(fake.hotKeys.registeredCount(), 0u);
    ASSERT_THAT(calls, SizeIs(26));
    EXPECT_EQ(calls[13].kind, FakeHotKeyCall::Kind::Unregister);
}

TEST_F(ControlTest, KeysTakenByAnotherProgramAreToldAtStartAndMarkedInTheList) {
    fake.hotKeys.takeByOtherProgram({HotKeyModifier::Control, 5});
    fake.hotKeys.takeByOtherProgram({HotKeyModifier::Control, 12});
    WriteList({FastClick("A", 4, 2)});
    StartController();
    EXPECT_EQ(fake.hotKeys.registeredCount(), 11u);
    EXPECT_THAT(fake.hotKeys.calls(), SizeIs(13)) << "every key was asked for";
    ASSERT_THAT(ctrl->StartupMessages(), SizeIs(1));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr("already uses them: CTRL+F5, CTRL+F12."));
    EXPECT_FALSE(ctrl->HotKeyTaken(4));
    EXPECT_TRUE(ctrl->HotKeyTaken(3));
    EXPECT_EQ(Cell(0, "Start HotKey"), "CTRL+F5 (unavailable)");
    EXPECT_EQ(Cell(0, "Stop HotKey"), "CTRL+F3");
    ctrl->NewClick();
    EXPECT_THAT(view.editorHotKeysHeldElsewhere, ElementsAre(4, 11)) << "and marked in the editor";
}

TEST_F(ControlTest, KeysTheDesktopBoundOtherwiseAreShownInTheList) {
    WriteList({FastClick("A", 4, 2)});
    StartController();
    const int repaints = view.repaintAlls;
    fake.hotKeys.bindAs(4, "Meta+F5");
    fake.hotKeys.bindAs(2, "Ctrl+F3");
    EXPECT_EQ(Cell(0, "Start HotKey"), "CTRL+F5 (desktop: Meta+F5)");
    EXPECT_EQ(Cell(0, "Stop HotKey"), "CTRL+F3") << "bound as suggested";
    EXPECT_GT(view.repaintAlls, repaints) << "shown when the desktop tells";
}

TEST_F(ControlTest, OnlyExactlyCtrlWithAFunctionKeyReachesTheClicks) {
    WriteList({FastClick("A", 1, 2)});
    StartController();
    EXPECT_FALSE(fake.hotKeys.press({HotKeyModifier::Control | HotKeyModifier::Shift, 2}));
    EXPECT_FALSE(fake.hotKeys.press({HotKeyModifier::Alt, 2}));
    ctrl->HotKeyReceived(-1);
    ctrl->HotKeyReceived(TClickListController::kHotKeyCount);
    EXPECT_FALSE(ctrl->Runner(0).running);
    ASSERT_TRUE(fake.hotKeys.press({HotKeyModifier::Control, 2})) << "the controller receives its hotkeys itself";
    EXPECT_TRUE(ctrl->Runner(0).running);
    CloseController();
    EXPECT_FALSE(fake.hotKeys.press({HotKeyModifier::Control, 3})) << "nothing is delivered after the close";
}

TEST_F(ControlTest, AutorunStartsOnlyTheCheckedClicks) {
    EditSettings([](TConfig& config) { config.GetFrame().Setautorun(true); });
    WriteList({FastClick("on", 1, 2), FastClick("off", 1, 2, R"(checked="False")"), FastClick("on too", 5, 6)});
    StartController();
    EXPECT_TRUE(ctrl->Runner(0).running);
    EXPECT_FALSE(ctrl->Runner(1).running);
    EXPECT_TRUE(ctrl->Runner(2).running);
}

TEST_F(ControlTest, WithoutAutorunNothingStarts) {
    WriteList({FastClick("on", 1, 2)});
    StartController();
    fake.loop.advance(5000);
    EXPECT_FALSE(ctrl->Runner(0).running);
    EXPECT_EQ(ClicksSoFar(), 0u);
}

TEST_F(ControlTest, CloseSavesTheRowsCheckStateAndStopsEveryRunner) {
    WriteList({FastClick("A", 1, 2), FastClick("B", 1, 2)});
    StartController();
    ctrl->StartAll();
    ctrl->NodeChecked(0, false);
    EXPECT_FALSE(ctrl->Runner(0).checked);

    EXPECT_THAT(CloseController(), IsEmpty());

    EXPECT_EQ(fake.loop.activeTimerCount(), 0u);
    pugi::xml_document saved;
    ASSERT_TRUE(saved.load_file(ListPath().c_str()));
    const pugi::xml_node first = saved.document_element().first_child();
    EXPECT_STREQ(first.attribute("checked").value(), "False");
    EXPECT_STREQ(first.next_sibling().attribute("checked").value(), "True");
}

TEST_F(ControlTest, CloseRunsOnceAndTheDestructorClosesWhenNobodyDid) {
    StartController();
    EXPECT_THAT(ctrl->Close(), IsEmpty());
    WriteFile(kClickListFileName, "changed by hand");
    EXPECT_THAT(ctrl->Close(), IsEmpty());
    ctrl.reset();
    EXPECT_EQ(ReadFile(kClickListFileName), "changed by hand");
    EXPECT_THAT(fake.hotKeys.calls(), SizeIs(26));

    WriteList({R"(fName="kept")"});
    StartController();
    ctrl.reset();
    EXPECT_THAT(ReadFile(kClickListFileName), HasSubstr(R"(fName="kept")"));
    EXPECT_EQ(fake.hotKeys.registeredCount(), 0u);
}

TEST_F(ControlTest, FailedSavesAreReportedWhileTheOldFilesStayWholeAndEveryOtherStepRuns) {
    SKIP_UNLESS_LINUX("file size limits");
    WriteList({FastClick("A", 1, 2), FastClick("B", 1, 2)});
    StartController();
    ctrl->StartAll();
    const std::string oldList = ReadFile(kClickListFileName);
    const std::string oldConfig = ReadFile(kConfigFileName);

    std::vector<std::string> messages;
    {
        const FileSizeLimit noRoom(16);
        ctrl->NodeChecked(0, false);
        messages = ctrl->Close();
    }

    EXPECT_THAT(view.fileMessages, ElementsAre(HasSubstr(ListPath()))) << "the change's own save failed";
    ASSERT_THAT(messages, SizeIs(2));
    EXPECT_THAT(messages[0], HasSubstr(ConfigPath()));
    EXPECT_THAT(messages[1], HasSubstr(ListPath()));
    EXPECT_EQ(ReadFile(kClickListFileName), oldList);
    EXPECT_EQ(ReadFile(kConfigFileName), oldConfig);
    EXPECT_THAT(FilesStartingWith(kClickListFileName), IsEmpty());
    EXPECT_EQ(ctrl->RowCount(), 0);
    EXPECT_EQ(fake.loop.activeTimerCount(), 0u);
    EXPECT_EQ(fake.hotKeys.registeredCount(), 0u);
}

TEST_F(ControlTest, AFolderThatIsGoneAtCloseGivesOneMessagePerFile) {
    StartController();
    fs::rename(folder, folder.string() + ".moved");
    std::ofstream(folder) << "not a folder";

    const std::vector<std::string> messages = CloseController();

    EXPECT_THAT(messages, ElementsAre(HasSubstr(kConfigFileName), HasSubstr(kClickListFileName)));
    EXPECT_EQ(fake.hotKeys.registeredCount(), 0u);
    fs::remove(folder);
    fs::rename(folder.string() + ".moved", folder);
}

TEST_F(ControlTest, AnUnreadableListIsKeptAsideMentionedAndNotOverwritten) {
    const std::string broken = R"(<list><item fName="half)";
    WriteFile(kClickListFileName, broken);
    StartController();

    EXPECT_EQ(ctrl->RowCount(), 0);
    const std::vector<fs::path> kept = FilesStartingWith(kClickListFileName);
    ASSERT_THAT(kept, SizeIs(1));
    ASSERT_THAT(ctrl->StartupMessages(), SizeIs(1));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr(kept[0].string()));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr(ListPath()));

    EXPECT_THAT(CloseController(), IsEmpty());
    EXPECT_EQ(ReadFile(kept[0].filename().string()), broken);
    EXPECT_EQ(ReadFile(kClickListFileName), kEmptyListText);
}

TEST_F(ControlTest, AnUnreadableListThatCannotBeKeptAsideIsNeverOverwritten) {
    const std::string broken = "<list><item";
    WriteFile(kClickListFileName, broken);
    {
        ImmutableFolder locked(folder);
        if (!locked.set()) {
            GTEST_SKIP() << "the folder cannot be made immutable here";
        }
        StartController();
        ASSERT_THAT(ctrl->StartupMessages(),
                    ElementsAre(HasSubstr("Cannot write '" + ListPath() + "'"), HasSubstr("will not be overwritten")));
        ctrl->AddClick(std::make_unique<TClickRunner>(fake.platform));
        EXPECT_THAT(view.fileMessages, ElementsAre(HasSubstr("The click list was not saved")));
        EXPECT_THAT(ctrl->Close(), Contains(HasSubstr("The click list was not saved")));
    }
    EXPECT_EQ(ReadFile(kClickListFileName), broken);
    EXPECT_THAT(FilesStartingWith(kClickListFileName), IsEmpty());

    // Once the folder can be written again, the next change keeps the file aside first, says so and then saves.
    ImmutableFolder locked(folder);
    StartController();
    locked.lift();
    view.fileMessages.clear();
    ctrl->AddClick(std::make_unique<TClickRunner>(fake.platform));
    const std::vector<fs::path> kept = FilesStartingWith(kClickListFileName);
    ASSERT_THAT(kept, SizeIs(1));
    EXPECT_EQ(ReadFile(kept[0].filename().string()), broken);
    EXPECT_THAT(view.fileMessages, ElementsAre(HasSubstr(kept[0].string())));
    EXPECT_THAT(ReadFile(kClickListFileName), HasSubstr(R"(fName="New Click")"));
    EXPECT_THAT(CloseController(), IsEmpty());
}

TEST_F(ControlTest, AnUnreadableSettingsFileIsKeptAsideAndMentioned) {
    WriteFile(kConfigFileName, "<config versionNo=\"2.0\"><frame");
    StartController();

    const std::vector<fs::path> kept = FilesStartingWith(kConfigFileName);
    ASSERT_THAT(kept, SizeIs(1));
    ASSERT_THAT(ctrl->StartupMessages(), SizeIs(1));
    EXPECT_THAT(ctrl->StartupMessages()[0], HasSubstr(kept[0].string()));
    EXPECT_EQ(view.columns.size(), 11u);
    EXPECT_EQ(view.bounds, (TRect{296, 228, 687, 344}));
}

TEST_F(ControlTest, ABrokenSettingsValueDoesNotKeepTheListFromLoading) {
    EditSettings([](TConfig& config) { config.GetFrame().Setautorun(true); });
    std::string settings = ReadFile(kConfigFileName);
    settings.replace(settings.find(R"(left="296")"), 10, R"(left="x")");
    WriteFile(kConfigFileName, settings);
    WriteList({FastClick("A", 1, 2)});

    StartController();

    EXPECT_EQ(ctrl->RowCount(), 1);
    EXPECT_TRUE(ctrl->Runner(0).running);
    EXPECT_EQ(fake.hotKeys.registeredCount(), 13u);
    EXPECT_EQ(view.columns.size(), 11u);
}

// A window that cannot take its geometry (a failing window system call, say).
class ViewRefusingBounds : public FakeClickListView {
public:
    void setWindowBounds(const TRect&) override { throw std::runtime_error("no geometry"); }
};

TEST_F(ControlTest, AFailingStartupStepIsReportedAndTheOtherStepsStillRun) {
    EditSettings([](TConfig& config) { config.GetFrame().Setautorun(true); });
    WriteList({FastClick("A", 1, 2)});
    ViewRefusingBounds refusing;

    TClickListController started(refusing, fake.platform, folder.string());

    EXPECT_THAT(started.StartupMessages(), ElementsAre(HasSubstr("no geometry")));
    EXPECT_EQ(refusing.columns.size(), 11u);
    ASSERT_EQ(started.RowCount(), 1);
    EXPECT_TRUE(started.Runner(0).running);
    EXPECT_EQ(fake.hotKeys.registeredCount(), 13u);
}

TEST_F(ControlTest, SavedListMatchesTheExpectedTextAfterNewAndEdits) {
    WriteList({R"(fName="loaded" fPosX="7")"});
    StartController();
    view.editorScript.save = [](TMouseObj& click) {
        click.fName = "Fish & <chips>";
        click.pointType = ptFixed;
        click.fPosX = 300;
        click.fPosY = -200;
        click.fStartInterval = 60;
        click.fRepeat = 1;
        click.hkStart = 11;
        click.hkStop = 0;
    };
    ctrl->NewClick();
    view.focused = 0;
    view.editorScript.save = [](TMouseObj& click) { click.fColor = "clLime"; };
    ctrl->EditClick();
    ctrl->NodeChecked(1, false);

    EXPECT_THAT(CloseController(), IsEmpty());

    const std::string expected =
        R"(<?xml version="1.0" encoding="utf-8" standalone="yes"?>)"
        R"(<list versionNo="1.0" generated="https://tappora.example.org/">)"
        R"(<item fPosX="7" fPosY="0" fStartAt="" fStartInterval="10000" fRepeat="100" fColor="clLime" fTop="0" )"
        R"(fBottom="768" fLeft="0" fRight="1024" fBMP="" fColorSimplar="100" fBMPSimplar="100" pointType="0" )"
        R"(mouseType="0" actionType="0" startType="0" stopType="0" finishType="0" ScreenType="0" )"
        R"(iClickInterval="1000" hkStart="1" hkStop="2" fName="loaded" checked="True" fRanBegin="100" )"
        R"(fRanEnd="5000" InteverType="0"/>)"
        R"(<item fPosX="300" fPosY="-200" fStartAt="" fStartInterval="60" fRepeat="1" fColor="clBlack" fTop="0" )"
        R"(fBottom="768" fLeft="0" fRight="1024" fBMP="" fColorSimplar="100" fBMPSimplar="100" pointType="1" )"
        R"(mouseType="0" actionType="0" startType="0" stopType="0" finishType="0" ScreenType="0" )"
        R"(iClickInterval="1000" hkStart="11" hkStop="0" fName="Fish &amp; &lt;chips>" checked="False" )"
        R"(fRanBegin="100" fRanEnd="5000" InteverType="0"/>)"
        R"(</list>)";
    EXPECT_EQ(ReadFile(kClickListFileName), expected);
}

} // namespace

TEST_F(ControlTest, SavedListKeepsTheRowOrderWithoutDeletedClicksAndNewOnesLast) {
    WriteList({R"(fName="A")", R"(fName="B")", R"(fName="C")"});
    StartController();
    view.focused = 1;
    ctrl->DeleteClick();
    view.editorScript.save = [](TMouseObj& click) { click.fName = "D"; };
    ctrl->NewClick();

    EXPECT_THAT(CloseController(), IsEmpty());

    pugi::xml_document saved;
    ASSERT_TRUE(saved.load_file(ListPath().c_str()));
    std::vector<std::string> names;
    for (const pugi::xml_node& item : saved.document_element().children()) {
        names.emplace_back(item.attribute("fName").value());
    }
    EXPECT_THAT(names, ElementsAre("A", "C", "D"));
}

TEST_F(ControlTest, AnUnreadableSettingsFileThatCannotBeKeptAsideIsNeverOverwritten) {
    const std::string broken = "<config versionNo=\"2.0\"><frame";
    WriteFile(kConfigFileName, broken);
    {
        ImmutableFolder locked(folder);
        if (!locked.set()) {
            GTEST_SKIP() << "the folder cannot be made immutable here";
        }
        StartController();
        EXPECT_THAT(ctrl->StartupMessages(),
                    ElementsAre(HasSubstr("Cannot write '" + ListPath() + "'"), HasSubstr("will not be overwritten")));
        EXPECT_EQ(view.bounds, (TRect{296, 228, 687, 344}));
        EXPECT_THAT(ctrl->Close(), Contains(HasSubstr("The settings were not saved")));
    }
    EXPECT_EQ(ReadFile(kConfigFileName), broken);
    EXPECT_THAT(FilesStartingWith(kConfigFileName), IsEmpty());

    // Once the folder can be written again, the next close keeps the file aside first and then saves.
    ImmutableFolder locked(folder);
    StartController();
    locked.lift();
    const std::vector<std::string> messages = CloseController();
    const std::vector<fs::path> kept = FilesStartingWith(kConfigFileName);
    ASSERT_THAT(kept, SizeIs(1));
    EXPECT_EQ(ReadFile(kept[0].filename().string()), broken);
    EXPECT_THAT(messages, ElementsAre(HasSubstr(kept[0].string())));
    EXPECT_THAT(ReadFile(kConfigFileName), testing::StartsWith("<config versionNo=\"2.0\""));
}

TEST_F(ControlTest, ANegativeStoredIntervalClicksAtTheDefaultRateNotEveryMillisecond) {
    WriteList({R"(fName="fixed" iClickInterval="-5" checked="True")",
               R"(fName="random" InteverType="1" fRanBegin="-700" fRanEnd="-100" checked="False")"});
    StartController();
    ctrl->StartAll();
    // Waits one second, then clicks at the default 1000 ms: the first click at 2000 ms, the second at 3000 ms.
    fake.loop.advance(2999);
    EXPECT_EQ(ClicksSoFar(), 1u);
    EXPECT_EQ(ctrl->Runner(1).fRanBegin, 100);
    EXPECT_EQ(ctrl->Runner(1).fRanEnd, 5000);
    EXPECT_THAT(CloseController(), IsEmpty());
    EXPECT_THAT(ReadFile(kClickListFileName), HasSubstr(R"(iClickInterval="1000")"));
}
