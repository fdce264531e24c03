#include "model/Config.h"

#include "LinuxFaults.h"
#include "TempFolder.h"
#include "model/Maker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

using testing::HasSubstr;
using testing::IsEmpty;
using testing::StartsWith;

namespace {

const std::string kTemplate =
    std::string(R"(<?xml version="1.0"?>    <config versionNo="2.0" generated=")") + kMakerWebAddress + R"(">    )" +
    R"(<frame left="296" top="228" height="344" width="687" max="False" running="rbNormal" autorun="False"/>    )"
    R"(<cols>    )"
    R"(<col id="0" Name="Name" Align="left" Color="" Width="85" Visible="True" Index="0"/>    )"
    R"(<col id="1" Name="Click Point" Align="left" Color="" Width="80" Visible="True" Index="1"/>    )"
    R"(<col id="2" Name="Mouse Button" Align="left" Color="" Width="80" Visible="True" Index="2"/>    )"
    R"(<col id="3" Name="Mouse Action" Align="left" Color="" Width="80" Visible="True" Index="3"/>    )"
    R"(<col id="4" Name="Click Interval" Align="left" Color="" Width="80" Visible="True" Index="4"/>    )"
    R"(<col id="5" Name="Start Option" Align="left" Color="" Width="72" Visible="True" Index="5"/>    )"
    R"(<col id="6" Name="Stop Option" Align="left" Color="" Width="72" Visible="True" Index="6"/>    )"
    R"(<col id="7" Name="Start HotKey" Align="left" Color="" Width="72" Visible="True" Index="7"/>    )"
    R"(<col id="8" Name="Stop HotKey" Align="left" Color="" Width="72" Visible="True" Index="8"/>    )"
    R"(<col id="9" Name="After Click Action" Align="left" Color="" Width="72" Visible="False" Index="9"/>    )"
    R"(<col id="10" Name="Action Stats" Align="left" Color="" Width="72" Visible="True" Index="10"/>    )"
    R"(</cols>    </config>    )";

const char* const kColumnNames[] = {"Name",           "Click Point",        "Mouse Button", "Mouse Action",
                                    "Click Interval", "Start Option",       "Stop Option",  "Start HotKey",
                                    "Stop HotKey",    "After Click Action", "Action Stats"};
const int kColumnWidths[] = {85, 80, 80, 80, 80, 72, 72, 72, 72, 72, 72};

// A version 2.0 settings file with the given frame attributes and col elements.
std::string SettingsText(const std::string& frameAttributes, const std::string& cols) {
    return R"(<config versionNo="2.0" generated="elsewhere"><frame )" + frameAttributes + "/><cols>" + cols +
           "</cols></config>";
}

void ExpectDefaultSettings(TConfig& config) {
    TXMLFrameType frame = config.GetFrame();
    EXPECT_EQ(frame.Getleft(), 296);
    EXPECT_EQ(frame.Gettop(), 228);
    EXPECT_EQ(frame.Getheight(), 344);
    EXPECT_EQ(frame.Getwidth(), 687);
    EXPECT_FALSE(frame.Getmax());
    EXPECT_FALSE(frame.Getautorun());
    EXPECT_EQ(frame.Getrunning(), "rbNormal");
    TXMLColsType cols = config.GetCols();
    ASSERT_EQ(cols.Count(), 11);
    for (int i = 0; i < 11; ++i) {
        SCOPED_TRACE(i);
        TXMLColType col = cols.Item(i);
        EXPECT_EQ(col.Getid(), i);
        EXPECT_EQ(col.GetName(), kColumnNames[i]);
        EXPECT_EQ(col.GetAlign(), "left");
        EXPECT_EQ(col.GetColor(), "");
        EXPECT_EQ(col.GetWidth(), kColumnWidths[i]);
        EXPECT_EQ(col.GetVisible(), i != 9);
        EXPECT_EQ(col.GetIndex(), i);
    }
}

} // namespace

TEST(ConfigTest, TheTemplateIsOneLineWithEveryAttributeInOrder) {
    EXPECT_EQ(DefaultConfigText, kTemplate);
}

TEST(ConfigTest, AMissingFileIsCreatedFromTheTemplate) {
    TempFolder folder;
    TConfig config(folder.text());
    EXPECT_EQ(config.ConfigFileName(), folder.file("TapporaConfig.xml"));
    EXPECT_EQ(readWholeFile(config.ConfigFileName()), kTemplate);
    EXPECT_TRUE(config.KeptAsidePath().empty());
    ExpectDefaultSettings(config);
}

TEST(ConfigTest, AFileOfAnotherVersionIsReplacedByTheTemplate) {
    for (const std::string root : {R"(<config versionNo="2.00">)", R"(<config versionNo="2.1">)",
                                   R"(<config versionNo="">)", R"(<config versionNo="2.0 ">)", "<config>"}) {
        SCOPED_TRACE(root);
        TempFolder folder;
        const std::string path = folder.file(kConfigFileName);
        writeWholeFile(path, root + R"(<frame left="1" max="True"/><cols><col Name="Mine"/></cols></config>)");
        TConfig config(folder.text());
        EXPECT_EQ(readWholeFile(path), kTemplate);
        EXPECT_TRUE(config.KeptAsidePath().empty());
        ExpectDefaultSettings(config);
    }
}

TEST(ConfigTest, AnUnreadableOrIncompleteFileIsKeptAsideAndReplacedByTheTemplate) {
    for (const std::string& content :
         {std::string("<config versionNo=\"2.0\"><frame/>"), std::string(""), std::string("settings"),
          std::string(R"(<config versionNo="2.0"><cols/></config>)"),
          std::string(R"(<config versionNo="2.0"><frame/></config>)"),
          std::string(R"(<config versionNo="2.0"><frame/><cols/></config><config/>)")}) {
        SCOPED_TRACE(content);
        TempFolder folder;
        const std::string path = folder.file(kConfigFileName);
        writeWholeFile(path, content);
        TConfig config(folder.text());
        EXPECT_THAT(config.KeptAsidePath(), StartsWith(path + ".unreadable-"));
        EXPECT_EQ(readWholeFile(config.KeptAsidePath()), content);
        EXPECT_EQ(readWholeFile(path), kTemplate);
        ExpectDefaultSettings(config);
    }
}

TEST(ConfigTest, ASavedFileHasNoDeclarationAndReadsBackNormally) {
    TempFolder folder;
    {
        TConfig config(folder.text());
        TXMLFrameType frame = config.GetFrame();
        frame.Setleft(-8);
        frame.Settop(12);
        frame.Setwidth(1000);
        frame.Setheight(700);
        frame.Setmax(true);
        frame.Setautorun(true);
        config.GetCols().Item(3).SetWidth(120);
        config.GetCols().Item(3).SetIndex(0);
        config.GetCols().Item(0).SetIndex(3);
        config.GetCols().Item(9).SetVisible(true);
        std::vector<std::string> told;
        config.SaveConfig(told);
        EXPECT_THAT(told, IsEmpty());
    }
    const std::string saved = readWholeFile(folder.file(kConfigFileName));
    EXPECT_THAT(saved, StartsWith(std::string(R"(<config versionNo="2.0" generated=")") + kMakerWebAddress +
                                  R"("><frame left="-8" top="12" height="700" width="1000" max="True" )"
                                  R"(running="rbNormal" autorun="True"/><cols><col id="0" Name="Name" )"));
    EXPECT_THAT(saved, HasSubstr(R"(<col id="3" Name="Mouse Action" Align="left" Color="" Width="120" )"
                                 R"(Visible="True" Index="0"/>)"));

    TConfig reopened(folder.text());
    EXPECT_TRUE(reopened.KeptAsidePath().empty());
    EXPECT_EQ(readWholeFile(folder.file(kConfigFileName)), saved);
    TXMLFrameType frame = reopened.GetFrame();
    EXPECT_EQ(frame.Getleft(), -8);
    EXPECT_EQ(frame.Gettop(), 12);
    EXPECT_EQ(frame.Getwidth(), 1000);
    EXPECT_EQ(frame.Getheight(), 700);
    EXPECT_TRUE(frame.Getmax());
    EXPECT_TRUE(frame.Getautorun());
    EXPECT_EQ(reopened.GetCols().Item(3).GetWidth(), 120);
    EXPECT_EQ(reopened.GetCols().Item(3).GetIndex(), 0);
    EXPECT_EQ(reopened.GetCols().Item(0).GetIndex(), 3);
    EXPECT_TRUE(reopened.GetCols().Item(9).GetVisible());
}

TEST(ConfigTest, AttributesNobodyWritesKeepTheirText) {
    TempFolder folder;
    const std::string path = folder.file(kConfigFileName);
    writeWholeFile(path, SettingsText(R"(left="1" running="rbMine" extra="x")",
                                      R"(<col id="42" Name="Mine" Align="Right" Color="clRed" Width="5"/>)"));
    {
        TConfig config(folder.text());
        config.GetFrame().Setleft(2);
        config.GetCols().Item(0).SetWidth(6);
        std::vector<std::string> told;
        config.SaveConfig(told);
    }
    EXPECT_EQ(readWholeFile(path), SettingsText(R"(left="2" running="rbMine" extra="x")",
                                                R"(<col id="42" Name="Mine" Align="Right" Color="clRed" Width="6"/>)"));
}

TEST(ConfigTest, ValuesThatAreMissingOrDoNotConvertGiveTheTemplateDefaults) {
    TempFolder folder;
    writeWholeFile(folder.file(kConfigFileName),
                   SettingsText(R"(left="" top="12px" width="abc" max="maybe" autorun="")",
                                R"(<col Width="wide" Visible="x" Index="first"/><col/><col/><col/><col/><col/>)"
                                R"(<col/><col/><col/><col Visible="?"/><col/><col id="z"/>)"));
    TConfig config(folder.text());
    TXMLFrameType frame = config.GetFrame();
    EXPECT_EQ(frame.Getleft(), 296);
    EXPECT_EQ(frame.Gettop(), 228);
    EXPECT_EQ(frame.Getheight(), 344);
    EXPECT_EQ(frame.Getwidth(), 687);
    EXPECT_FALSE(frame.Getmax());
    EXPECT_FALSE(frame.Getautorun());
    EXPECT_EQ(frame.Getrunning(), "");

    TXMLColsType cols = config.GetCols();
    ASSERT_EQ(cols.Count(), 12);
    EXPECT_EQ(cols.Item(0).GetWidth(), 85);
    EXPECT_TRUE(cols.Item(0).GetVisible());
    EXPECT_EQ(cols.Item(0).GetIndex(), 0);
    EXPECT_EQ(cols.Item(1).GetWidth(), 80);
    EXPECT_FALSE(cols.Item(9).GetVisible());
    // Beyond the template's eleven columns: the last one's width and visibility, and its own position.
    EXPECT_EQ(cols.Item(11).GetWidth(), 72);
    EXPECT_TRUE(cols.Item(11).GetVisible());
    EXPECT_EQ(cols.Item(11).GetIndex(), 11);
    EXPECT_EQ(cols.Item(11).Getid(), 11);
    EXPECT_EQ(cols.Item(11).GetName(), "");
}

TEST(ConfigTest, BooleansReadInAnyCaseOrAsNumbers) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"True", true},   {"TRUE", true},   {"true", true}, {"1", true},   {"-5", true},
        {"False", false}, {"fALSE", false}, {"0", false},   {"$0", false},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        TempFolder folder;
        writeWholeFile(folder.file(kConfigFileName), SettingsText("max=\"" + text + "\" autorun=\"" + text + "\"",
                                                                  "<col Visible=\"" + text + "\"/>"));
        TConfig config(folder.text());
        EXPECT_EQ(config.GetFrame().Getmax(), expected);
        EXPECT_EQ(config.GetFrame().Getautorun(), expected);
        EXPECT_EQ(config.GetCols().Item(0).GetVisible(), expected);
    }
}

TEST(ConfigTest, ColsAreCountedAddedAndInsertedInDocumentOrder) {
    TempFolder folder;
    writeWholeFile(folder.file(kConfigFileName),
                   SettingsText("", R"(<col Name="a"/><other Name="skipped"/><col Name="b"/>)"));
    TConfig config(folder.text());
    TXMLColsType cols = config.GetCols();
    ASSERT_EQ(cols.Count(), 2);
    EXPECT_EQ(cols.Item(1).GetName(), "b");

    cols.Add().SetName("last");
    cols.Insert(0).SetName("first");
    cols.Insert(2).SetName("middle");
    cols.Insert(cols.Count()).SetName("end");
    std::vector<std::string> names;
    for (int i = 0; i < cols.Count(); ++i) {
        names.push_back(cols.Item(i).GetName());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"first", "a", "middle", "b", "last", "end"}));
    EXPECT_THROW(cols.Item(6), std::out_of_range);
    EXPECT_THROW(cols.Item(-1), std::out_of_range);
    EXPECT_THROW(cols.Insert(7), std::out_of_range);
}

TEST(ConfigTest, AFailedSaveNamesTheFileAndLeavesWhatIsThere) {
    TempFolder folder;
    TConfig config(folder.text());
    std::filesystem::remove(config.ConfigFileName());
    std::filesystem::create_directory(config.ConfigFileName());
    try {
        std::vector<std::string> told;
        config.SaveConfig(told);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), HasSubstr("'" + config.ConfigFileName() + "'"));
        EXPECT_THAT(error.what(), hasPosixReason(EISDIR));
    }
    EXPECT_TRUE(std::filesystem::is_directory(config.ConfigFileName()));
    EXPECT_EQ(folder.names().size(), 1u);
}

TEST(ConfigTest, AFolderThatCannotBeWrittenStillGivesTheDefaults) {
    TempFolder folder;
    writeWholeFile(folder.file("plain"), "");
    TConfig config(folder.file("plain"));
    ExpectDefaultSettings(config);
    std::vector<std::string> told;
    EXPECT_THROW(config.SaveConfig(told), std::runtime_error);
}
