#include "model/ClickListFile.h"

#include "TempFolder.h"
#include "model/Maker.h"
#include "platform/Files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

using testing::ElementsAre;
using testing::HasSubstr;
using testing::StartsWith;

namespace {

const std::string kDeclaration = R"(<?xml version="1.0" encoding="utf-8" standalone="yes"?>)";
const std::string kListStart = R"(<list versionNo="1.0" generated=")" + std::string(kMakerWebAddress) + R"(">)";

const std::string kDefaultItem =
    R"(<item fPosX="0" fPosY="0" fStartAt="" fStartInterval="10000" fRepeat="100" fColor="clBlack" fTop="0" )"
    R"(fBottom="768" fLeft="0" fRight="1024" fBMP="" fColorSimplar="100" fBMPSimplar="100" pointType="0" )"
    R"(mouseType="0" actionType="0" startType="0" stopType="0" finishType="0" ScreenType="0" )"
    R"(iClickInterval="1000" hkStart="1" hkStop="2" fName="New Click" checked="True" fRanBegin="100" )"
    R"(fRanEnd="5000" InteverType="0"/>)";

const std::string kChangedItem =
    R"(<item fPosX="-300" fPosY="200" fStartAt="14:05:00" fStartInterval="60" fRepeat="1" fColor="$00123456" )"
    R"(fTop="10" fBottom="20" fLeft="30" fRight="40" fBMP="Qk0=" fColorSimplar="90" fBMPSimplar="60" )"
    R"(pointType="3" mouseType="2" actionType="1" startType="2" stopType="1" finishType="2" ScreenType="1" )"
    R"(iClickInterval="86399999" hkStart="11" hkStop="0" fName="a &lt;b> &amp; &quot;c&quot; 'd' é" )"
    R"(checked="False" fRanBegin="900" fRanEnd="0" InteverType="1"/>)";

std::unique_ptr<TMouseObj> ChangedClick() {
    auto click = std::make_unique<TMouseObj>();
    click->fPosX = -300;
    click->fPosY = 200;
    click->fStartAt = "14:05:00";
    click->fStartInterval = 60;
    click->fRepeat = 1;
    click->fColor = "$00123456";
    click->fTop = 10;
    click->fBottom = 20;
    click->fLeft = 30;
    click->fRight = 40;
    click->fBMP = "Qk0=";
    click->fColorSimplar = 90;
    click->fBMPSimplar = 60;
    click->pointType = ptPicture;
    click->mouseType = mtMiddle;
    click->actionType = atDouble;
    click->startType = stAfter;
    click->stopType = spRepeat;
    click->finishType = ftBackClick;
    click->ScreenType = scPart;
    click->iClickInterval = 86399999;
    click->hkStart = 11;
    click->hkStop = 0;
    click->fName = "a <b> & \"c\" 'd' é";
    click->checked = false;
    click->fRanBegin = 900;
    click->fRanEnd = 0;
    click->InteverType = itRandom;
    return click;
}

void ExpectSameClick(const TMouseObj& actual, const TMouseObj& expected) {
    const std::vector<const TMouseObj*> actualList{&actual};
    const std::vector<const TMouseObj*> expectedList{&expected};
    EXPECT_EQ(ClickListText(actualList), ClickListText(expectedList));
}

// Reads the first child element of the text's root, as a click loaded from a file does.
std::unique_ptr<TMouseObj> ReadFirstItem(const std::string& text) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(text.c_str()));
    auto click = std::make_unique<TMouseObj>();
    ReadClickNode(document.document_element().first_child(), *click);
    return click;
}

std::unique_ptr<TMouseObj> ReadItemAttribute(const std::string& name, const std::string& value) {
    pugi::xml_document document;
    document.append_child("list").append_child("item").append_attribute(name.c_str()).set_value(value.c_str());
    auto click = std::make_unique<TMouseObj>();
    ReadClickNode(document.document_element().first_child(), *click);
    return click;
}

} // namespace

TEST(ClickListFileTest, AnEmptyListIsTheDeclarationAndAnEmptyListElement) {
    EXPECT_EQ(ClickListText({}), kDeclaration + R"(<list versionNo="1.0" generated=")" + kMakerWebAddress + R"("/>)");
}

TEST(ClickListFileTest, EveryItemHasAll28AttributesInOrderWithoutIndentation) {
    const TMouseObj defaults;
    const auto changed = ChangedClick();
    EXPECT_EQ(ClickListText({&defaults, changed.get()}),
              kDeclaration + kListStart + kDefaultItem + kChangedItem + "</list>");
}

TEST(ClickListFileTest, ASavedFileLoadsBackToTheSameClicksAndTheSameBytes) {
    TempFolder folder;
    const std::string path = folder.file(kClickListFileName);
    const TMouseObj defaults;
    const auto changed = ChangedClick();
    SaveClickListFile(path, {changed.get(), &defaults});
    const std::string saved = readWholeFile(path);

    const ClickListLoad load = LoadClickListFile(path);
    ASSERT_EQ(load.status, ClickListLoad::Loaded);
    ASSERT_EQ(load.clicks.size(), 2u);
    ExpectSameClick(load.clicks[0], *changed);
    ExpectSameClick(load.clicks[1], defaults);
    EXPECT_EQ(ClickListText({&load.clicks[0], &load.clicks[1]}), saved);
}

// A list that uses none of them is written as it always was (above); a click that does gets only those it uses, after
// the others, so that older readers, which pass over attributes they do not know, load it all the same.
TEST(ClickListFileTest, TheHoldAndSpreadAreWrittenAfterTheOthersOnlyWhereSetAndLoadBack) {
    TMouseObj held;
    held.fHoldTime = 40;
    held.fJitter = 12;
    const std::string text = ClickListText({&held});
    EXPECT_THAT(text, HasSubstr(R"( InteverType="0" fHoldTime="40" fJitter="12"/>)"));
    held.fHoldTimeTo = 90;
    ExpectSameClick(*ReadFirstItem(ClickListText({&held})), held);
}

TEST(ClickListFileTest, TextsWithLineBreaksTabsAndOtherScriptsSurviveTheFile) {
    TMouseObj click;
    click.fName = "line one\nline two\ttab\r 点击 ✓";
    click.fStartAt = " 07:00:00 ";
    const auto read = ReadFirstItem(ClickListText({&click}));
    EXPECT_EQ(read->fName, click.fName);
    EXPECT_EQ(read->fStartAt, click.fStartAt);
}

TEST(ClickListFileTest, AnItemWithoutAttributesIsANewCheckedClick) {
    const auto read = ReadFirstItem("<list><item/></list>");
    const TMouseObj defaults;
    ExpectSameClick(*read, defaults);
    EXPECT_TRUE(read->checked);
    EXPECT_EQ(read->fName, "New Click");
}

TEST(ClickListFileTest, OrdinalsKeepTheirLow8Bits) {
    const std::vector<std::pair<std::string, std::uint8_t>> cases = {
        {"0", 0}, {"3", 3}, {"255", 255}, {"256", 0}, {"257", 1}, {"-1", 255}, {"-256", 0}, {"$103", 3},
    };
    const std::vector<std::pair<const char*, std::uint8_t TMouseObj::*>> ordinals = {
        {"pointType", &TMouseObj::pointType},   {"mouseType", &TMouseObj::mouseType},
        {"actionType", &TMouseObj::actionType}, {"startType", &TMouseObj::startType},
        {"stopType", &TMouseObj::stopType},     {"finishType", &TMouseObj::finishType},
        {"ScreenType", &TMouseObj::ScreenType}, {"InteverType", &TMouseObj::InteverType},
        {"hkStart", &TMouseObj::hkStart},       {"hkStop", &TMouseObj::hkStop},
    };
    for (const auto& [name, field] : ordinals) {
        for (const auto& [text, expected] : cases) {
            SCOPED_TRACE(std::string(name) + "=" + text);
            EXPECT_EQ(ReadItemAttribute(name, text).get()->*field, expected);
        }
    }
}

TEST(ClickListFileTest, CheckedReadsWordsInAnyCaseAndNumbers) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"True", true}, {"true", true},   {"TRUE", true},   {"tRuE", true},   {"1", true},  {"-1", true},
        {"$10", true},  {"False", false}, {"false", false}, {"FALSE", false}, {"0", false}, {"$0", false},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadItemAttribute("checked", text)->checked, expected);
    }
}

TEST(ClickListFileTest, AttributesThatDoNotConvertKeepTheDefaultAndTheRestLoads) {
    const auto click = ReadFirstItem(R"(<list><item fPosX="abc" fPosY="5" fRepeat="99999999999" checked="" )"
                                     R"(pointType="x" hkStart="1.5" fName="Kept" fColor="not a colour"/></list>)");
    EXPECT_EQ(click->fPosX, 0);
    EXPECT_EQ(click->fPosY, 5);
    EXPECT_EQ(click->fRepeat, 100);
    EXPECT_TRUE(click->checked);
    EXPECT_EQ(click->pointType, ptCurrent);
    EXPECT_EQ(click->hkStart, 1);
    EXPECT_EQ(click->fName, "Kept");
    // Colour text is checked where a search converts it, not here.
    EXPECT_EQ(click->fColor, "not a colour");
}

TEST(ClickListFileTest, NegativeIntervalsAndRandomBoundsKeepTheirDefaults) {
    struct Case {
        const char* attribute;
        const char* text;
        std::int32_t TMouseObj::*field;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"iClickInterval", "-5", &TMouseObj::iClickInterval, 1000},
        {"iClickInterval", "$FFFFFFFF", &TMouseObj::iClickInterval, 1000},
        {"iClickInterval", "0", &TMouseObj::iClickInterval, 0},
        {"iClickInterval", "7", &TMouseObj::iClickInterval, 7},
        {"fRanBegin", "-1", &TMouseObj::fRanBegin, 100},
        {"fRanBegin", "0", &TMouseObj::fRanBegin, 0},
        {"fRanEnd", "-100", &TMouseObj::fRanEnd, 5000},
        {"fRanEnd", "250", &TMouseObj::fRanEnd, 250},
        // Positions are not durations: left of or above the primary monitor they are negative.
        {"fPosX", "-300", &TMouseObj::fPosX, -300},
        {"fLeft", "-1920", &TMouseObj::fLeft, -1920},
        // The hold and spread: negative or beyond the largest, they read as their default too.
        {"fHoldTime", "-80", &TMouseObj::fHoldTime, 0},
        {"fHoldTimeTo", "10001", &TMouseObj::fHoldTimeTo, 0},
        {"fJitter", "500", &TMouseObj::fJitter, 500},
        {"fJitter", "501", &TMouseObj::fJitter, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.attribute) + "=" + c.text);
        EXPECT_EQ(ReadItemAttribute(c.attribute, c.text).get()->*c.field, c.expected);
    }
}

TEST(ClickListFileTest, EmptyTextsAreKeptAsEmpty) {
    const auto click = ReadFirstItem(R"(<list><item fName="" fStartAt="" fBMP="" fColor=""/></list>)");
    EXPECT_EQ(click->fName, "");
    EXPECT_EQ(click->fColor, "");
    EXPECT_EQ(click->fBMP, "");
}

TEST(ClickListFileTest, AMissingFileIsReportedAndNotCreated) {
    TempFolder folder;
    const ClickListLoad load = LoadClickListFile(folder.file(kClickListFileName));
    EXPECT_EQ(load.status, ClickListLoad::Missing);
    EXPECT_TRUE(load.clicks.empty());
    EXPECT_TRUE(folder.names().empty());
}

TEST(ClickListFileTest, EveryChildElementOfAnyRootIsAClick) {
    TempFolder folder;
    const std::string path = folder.file(kClickListFileName);
    writeWholeFile(path, "<?xml version=\"1.0\"?>\n<clicks owner=\"x\">\n  <item fName=\"one\"/>\n"
                         "  <!-- a comment -->\n  <other fName=\"two\">text</other>\n  <item/>\n</clicks>\n");
    const ClickListLoad load = LoadClickListFile(path);
    ASSERT_EQ(load.status, ClickListLoad::Loaded);
    ASSERT_EQ(load.clicks.size(), 3u);
    std::vector<std::string> names;
    for (const TMouseObj& click : load.clicks) {
        names.push_back(click.fName);
    }
    EXPECT_THAT(names, ElementsAre("one", "two", "New Click"));
}

TEST(ClickListFileTest, ARootWithoutChildrenIsAnEmptyList) {
    TempFolder folder;
    const std::string path = folder.file(kClickListFileName);
    writeWholeFile(path, "<list versionNo=\"1.0\"></list>");
    const ClickListLoad load = LoadClickListFile(path);
    EXPECT_EQ(load.status, ClickListLoad::Loaded);
    EXPECT_TRUE(load.clicks.empty());
}

TEST(ClickListFileTest, AnUnreadableFileIsKeptAsideWithItsContentAndTheReason) {
    for (const std::string content : {"<list><item fName=\"one\"></list>", "", "not xml at all", "<list/><list/>"}) {
        SCOPED_TRACE(content);
        TempFolder folder;
        const std::string path = folder.file(kClickListFileName);
        writeWholeFile(path, content);
        const ClickListLoad load = LoadClickListFile(path);

        EXPECT_EQ(load.status, ClickListLoad::Unreadable);
        EXPECT_TRUE(load.clicks.empty());
        EXPECT_THAT(load.error, StartsWith("Cannot read '" + path + "': "));
        EXPECT_THAT(load.keptAsidePath, StartsWith(path + ".unreadable-"));
        EXPECT_EQ(readWholeFile(load.keptAsidePath), content);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST(ClickListFileTest, AFailedSaveNamesTheFile) {
    TempFolder folder;
    writeWholeFile(folder.file("plain"), "");
    const std::string path = folder.file("plain/tapporas.xml");
    try {
        SaveClickListFile(path, {});
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), HasSubstr("'" + path + "'"));
    }
}

TEST(ClickListFileTest, WriteClickNodeAppendsAfterTheLastChild) {
    pugi::xml_document document;
    pugi::xml_node list = document.append_child("list");
    list.append_child("first");
    TMouseObj click;
    click.fName = "appended";
    WriteClickNode(click, list);
    EXPECT_STREQ(list.last_child().name(), "item");
    EXPECT_STREQ(list.last_child().attribute("fName").value(), "appended");
    EXPECT_STREQ(list.first_child().name(), "first");
}

// Windows reads a narrow path in its ANSI code page; the program's paths are UTF-8 on every system.
TEST(ClickListFileTest, AFolderWithANonAsciiNameSavesLoadsAndKeepsAside) {
    TempFolder root;
    const std::string folder = root.file("Klicks \xC3\x96rdner \xE2\x9C\x93");
    std::filesystem::create_directory(pathFromUtf8(folder));
    const std::string path = utf8FromPath(pathFromUtf8(folder) / kClickListFileName);
    const auto changed = ChangedClick();
    SaveClickListFile(path, {changed.get()});
    EXPECT_EQ(readWholeFile(path), ClickListText({changed.get()}));

    EXPECT_EQ(LoadClickListFile(path).status, ClickListLoad::Loaded);

    writeWholeFile(path, "<list");
    const ClickListLoad broken = LoadClickListFile(path);
    ASSERT_EQ(broken.status, ClickListLoad::Unreadable);
    EXPECT_EQ(readWholeFile(broken.keptAsidePath), "<list");
}
