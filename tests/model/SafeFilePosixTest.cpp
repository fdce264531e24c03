#include "model/SafeFile.h"

#include "TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

// The rules of links and owners that only POSIX systems have.

using testing::ElementsAre;
using testing::HasSubstr;

namespace {

std::string WriteErrorText(const std::string& path, const std::string& content) {
    try {
        WriteFileAtomically(path, content);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

namespace {

constexpr uid_t kOtherUser = 65534;

struct LinkCase {
    const char* name;
    bool linkOfOther;
    bool targetOfOther;
    bool targetExists;
    bool refused;
};

class SafeFileLinkTest : public testing::TestWithParam<LinkCase> {};

} // namespace

// Giving files away needs root, as CI has.
TEST_P(SafeFileLinkTest, ALinkIsFollowedOnlyFromAndToTheUserRunningTheProgram) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give files to another user";
    }
    const LinkCase& link = GetParam();
    TempFolder folder;
    std::filesystem::create_directory(folder.file("elsewhere"));
    const std::string target = folder.file("elsewhere/real.xml");
    if (link.targetExists) {
        writeWholeFile(target, "old");
    }
    const std::string owned = link.targetExists ? target : folder.file("elsewhere");
    ASSERT_EQ(::lchown(owned.c_str(), link.targetOfOther ? kOtherUser : 0, 0), 0);
    std::filesystem::create_symlink("elsewhere/real.xml", folder.file("link.xml"));
    ASSERT_EQ(::lchown(folder.file("link.xml").c_str(), link.linkOfOther ? kOtherUser : 0, 0), 0);

    const std::string error = WriteErrorText(folder.file("link.xml"), "new");
    const std::string problem = WriteProblem(folder.file("link.xml"));

    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.xml")));
    EXPECT_THAT(folder.names(), ElementsAre("elsewhere", "link.xml"));
    if (link.refused) {
        EXPECT_THAT(error, HasSubstr("Cannot write '" + folder.file("link.xml") + "'"));
        EXPECT_THAT(error, HasSubstr("of another user"));
        EXPECT_EQ(problem, error);
        EXPECT_EQ(std::filesystem::exists(target), link.targetExists);
        if (link.targetExists) {
            EXPECT_EQ(readWholeFile(target), "old");
        }
    } else {
        EXPECT_EQ(error, "no error");
        EXPECT_EQ(problem, "");
        EXPECT_EQ(readWholeFile(target), "new");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.file("elsewhere")), {}),
              std::filesystem::exists(target) ? 1 : 0)
        << "no temporary file left beside the target";
}

INSTANTIATE_TEST_SUITE_P(Owners, SafeFileLinkTest,
                         testing::Values(LinkCase{"OwnLinkToOwnFile", false, false, true, false},
                                         LinkCase{"OwnLinkToFileOfOther", false, true, true, true},
                                         LinkCase{"LinkOfOtherToOwnFile", true, false, true, true},
                                         LinkCase{"OwnLinkToNewFileInOwnFolder", false, false, false, false},
                                         LinkCase{"OwnLinkToNewFileInFolderOfOther", false, true, false, true}),
                         [](const testing::TestParamInfo<LinkCase>& info) { return info.param.name; });

TEST(SafeFileTest, ALinkChainWithoutEndIsRefusedWithTheReason) {
    TempFolder folder;
    std::filesystem::create_symlink("b.xml", folder.file("a.xml"));
    std::filesystem::create_symlink("a.xml", folder.file("b.xml"));
    EXPECT_THAT(WriteErrorText(folder.file("a.xml"), "x"), HasSubstr(std::strerror(ELOOP)));
    EXPECT_THAT(folder.names(), ElementsAre("a.xml", "b.xml"));
}

TEST(SafeFileTest, WriteProblemNamesTheFileAndReasonAndLeavesNothingBehind) {
    TempFolder folder;
    EXPECT_EQ(WriteProblem(folder.file("a.xml")), "");
    writeWholeFile(folder.file("plain"), "");
    EXPECT_EQ(WriteProblem(folder.file("plain/a.xml")),
              "Cannot write '" + folder.file("plain/a.xml") + "': " + std::strerror(ENOTDIR));
    EXPECT_THAT(folder.names(), ElementsAre("plain"));
}

TEST(SafeFileTest, OnlyTheTemporaryFilesOfTheGivenFileAreRemovedAsLeftovers) {
    TempFolder folder;
    for (const char* name : {"a.xml", "a.xml.tmp-12345", "a.xml.tmp-7", "a.xml.tmp-", "a.xml.tmp-12x", "b.xml.tmp-1",
                             "a.xml.unreadable-20260101-101010"}) {
        writeWholeFile(folder.file(name), name);
    }
    std::filesystem::create_directory(folder.file("a.xml.tmp-99"));
    std::filesystem::create_symlink("a.xml", folder.file("a.xml.tmp-98"));

    std::vector<std::string> removed = RemoveLeftoverTempFiles(folder.file("a.xml"));

    std::sort(removed.begin(), removed.end());
    EXPECT_THAT(removed, ElementsAre(folder.file("a.xml.tmp-12345"), folder.file("a.xml.tmp-7")));
    EXPECT_THAT(folder.names(), ElementsAre("a.xml", "a.xml.tmp-", "a.xml.tmp-12x", "a.xml.tmp-98", "a.xml.tmp-99",
                                            "a.xml.unreadable-20260101-101010", "b.xml.tmp-1"));
    EXPECT_EQ(readWholeFile(folder.file("a.xml")), "a.xml");
}
