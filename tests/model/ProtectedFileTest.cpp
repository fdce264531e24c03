#include "model/SafeFile.h"

#include "LinuxFaults.h"
#include "TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stdexcept>

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::StartsWith;

namespace {

const TFileKind kKind{"click list file", "The click list was not saved"};

enum class Reading { NotYet, Whole, Unreadable };

struct PolicyCase {
    const char* name;
    // What is at the path when it is read (nothing when empty), and what appears there before the write.
    std::optional<std::string> atRead;
    std::optional<std::string> atWrite;
    Reading reading;
    // Whether the write says that it kept a file aside, and which content that kept file holds (none when empty).
    bool told;
    std::optional<std::string> keptAside;
};

const PolicyCase kPolicy[] = {
    {"a missing file is written", std::nullopt, std::nullopt, Reading::Whole, false, std::nullopt},
    {"a file read whole is replaced", "old", std::nullopt, Reading::Whole, false, std::nullopt},
    {"an unreadable file is kept aside when it is found so", "<list", std::nullopt, Reading::Unreadable, false,
     "<list"},
    {"an unreadable file gone before it could be moved is not looked for again", std::nullopt, std::nullopt,
     Reading::Unreadable, false, std::nullopt},
    {"an unreadable file that could not be moved at first is moved by the write, which says so", std::nullopt, "<li",
     Reading::Unreadable, true, "<li"},
    {"a file not yet read whole may hold what the program lacks: the write moves it first and says so", "<list",
     std::nullopt, Reading::NotYet, true, "<list"},
};

class ProtectedFilePolicy : public testing::TestWithParam<PolicyCase> {};

TEST_P(ProtectedFilePolicy, NothingAtThePathIsLostAndAMoveIsToldOnce) {
    const PolicyCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.file("tapporas.xml");
    if (c.atRead)
        writeWholeFile(path, *c.atRead);
    TProtectedFile file(path, kKind);
    if (c.reading == Reading::Whole)
        file.Read();
    if (c.reading == Reading::Unreadable)
        file.Unreadable();
    if (c.atWrite)
        writeWholeFile(path, *c.atWrite);

    std::vector<std::string> messages;
    file.Write("<list/>", messages);
    file.Write("<list></list>", messages);

    EXPECT_EQ(readWholeFile(path), "<list></list>");
    EXPECT_FALSE(file.UnreadableInPlace());
    if (c.keptAside) {
        EXPECT_THAT(file.KeptAsidePath(), StartsWith(path + ".unreadable-"));
        EXPECT_EQ(readWholeFile(file.KeptAsidePath()), *c.keptAside);
    } else {
        EXPECT_THAT(file.KeptAsidePath(), IsEmpty());
    }
    if (c.told)
        EXPECT_THAT(messages, ElementsAre("The unreadable click list file " + path + " was kept as " +
                                          file.KeptAsidePath() + "."));
    else
        EXPECT_THAT(messages, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, ProtectedFilePolicy, testing::ValuesIn(kPolicy),
                         [](const testing::TestParamInfo<PolicyCase>& info) { return std::to_string(info.index); });

TEST(ProtectedFileTest, AnUnreadableFileThatCannotBeMovedIsNeverWrittenOver) {
    SKIP_UNLESS_LINUX("an immutable folder");
    TempFolder folder;
    const std::string path = folder.file("TapporaConfig.xml");
    writeWholeFile(path, "<config");
    TProtectedFile file(path, {"settings file", "The settings were not saved"});
    ImmutableFolder immutable(folder.path());
    if (!immutable.set())
        GTEST_SKIP() << "the file system has no immutable folders";

    EXPECT_THAT(file.Unreadable(), HasSubstr("'" + path + "'"));
    EXPECT_TRUE(file.UnreadableInPlace());
    std::vector<std::string> messages;
    try {
        file.Write("<config/>", messages);
        FAIL() << "written over";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), StartsWith("The settings were not saved: " + path +
                                             " could not be read at start and cannot be kept aside ("));
    }
    immutable.lift();
    EXPECT_EQ(readWholeFile(path), "<config");
    EXPECT_TRUE(file.UnreadableInPlace());
    EXPECT_THAT(messages, IsEmpty());
}

TEST(ProtectedFileTest, AMoveIsToldAlsoWhenTheWriteAfterItFails) {
    SKIP_UNLESS_LINUX("a file size limit");
    TempFolder folder;
    const std::string path = folder.file("tapporas.xml");
    writeWholeFile(path, "<list");
    TProtectedFile file(path, kKind);
    std::vector<std::string> messages;
    {
        const FileSizeLimit limit(4);
        EXPECT_THROW(file.Write(std::string(64, 'x'), messages), std::runtime_error);
    }
    EXPECT_THAT(messages,
                ElementsAre("The unreadable click list file " + path + " was kept as " + file.KeptAsidePath() + "."));
    EXPECT_EQ(readWholeFile(file.KeptAsidePath()), "<list");
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
