#include "model/SafeFile.h"

#include "TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using testing::ElementsAre;
using testing::HasSubstr;
using testing::MatchesRegex;

namespace {

std::string WriteErrorText(const std::string& path, const std::string& content) {
    try {
        WriteFileAtomically(path, content);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no error";
}

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// Lowers the file size limit for the test's own writes, so a write fails half-way as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        fOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &fOld);
        rlimit lowered = fOld;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &fOld);
        std::signal(SIGXFSZ, fOldHandler);
    }

private:
    rlimit fOld{};
    void (*fOldHandler)(int) = nullptr;
};

} // namespace

TEST(SafeFileTest, WritesANewFileWithNothingElseLeftBehind) {
    TempFolder folder;
    WriteFileAtomically(folder.File("a.xml"), "<list/>");
    EXPECT_EQ(ReadWholeFile(folder.File("a.xml")), "<list/>");
    EXPECT_THAT(folder.Names(), ElementsAre("a.xml"));
}

TEST(SafeFileTest, ReplacesTheWholeContentOfAnOldFile) {
    TempFolder folder;
    WriteWholeFile(folder.File("a.xml"), "a much longer old content than the new one");
    WriteFileAtomically(folder.File("a.xml"), "new");
    EXPECT_EQ(ReadWholeFile(folder.File("a.xml")), "new");
    EXPECT_THAT(folder.Names(), ElementsAre("a.xml"));
}

TEST(SafeFileTest, ANewFileIsNotPrivateAndAReplacedFileKeepsItsPermissions) {
    TempFolder folder;
    const mode_t mask = ::umask(022);
    WriteFileAtomically(folder.File("new.xml"), "x");
    ::umask(mask);
    EXPECT_EQ(ModeOf(folder.File("new.xml")), 0644u);

    WriteWholeFile(folder.File("old.xml"), "old");
    ::chmod(folder.File("old.xml").c_str(), 0640);
    WriteFileAtomically(folder.File("old.xml"), "new");
    EXPECT_EQ(ModeOf(folder.File("old.xml")), 0640u);
}

TEST(SafeFileTest, AFolderThatIsAFileFailsWithTheFileNameAndTheReason) {
    TempFolder folder;
    WriteWholeFile(folder.File("plain"), "");
    const std::string path = folder.File("plain/a.xml");
    const std::string error = WriteErrorText(path, "x");
    EXPECT_THAT(error, HasSubstr("'" + path + "'"));
    EXPECT_THAT(error, HasSubstr(std::strerror(ENOTDIR)));
}

TEST(SafeFileTest, AFailedRenameRemovesTheTemporaryFileAndLeavesTheTargetAlone) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("a.xml"));
    WriteWholeFile(folder.File("a.xml/inside"), "kept");
    EXPECT_THAT(WriteErrorText(folder.File("a.xml"), "x"), HasSubstr(std::strerror(EISDIR)));
    EXPECT_THAT(folder.Names(), ElementsAre("a.xml"));
    EXPECT_EQ(ReadWholeFile(folder.File("a.xml/inside")), "kept");
}

TEST(SafeFileTest, AWriteThatFailsHalfWayLeavesTheOldFileWhole) {
    TempFolder folder;
    WriteWholeFile(folder.File("a.xml"), "old content");
    std::string error;
    {
        FileSizeLimit limit(16);
        error = WriteErrorText(folder.File("a.xml"), std::string(1000, 'n'));
    }
    EXPECT_THAT(error, HasSubstr(std::strerror(EFBIG)));
    EXPECT_EQ(ReadWholeFile(folder.File("a.xml")), "old content");
    EXPECT_THAT(folder.Names(), ElementsAre("a.xml"));
}

TEST(SafeFileTest, AFileReachedThroughASymbolicLinkIsReplacedWhereItLives) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("elsewhere"));
    WriteWholeFile(folder.File("elsewhere/real.xml"), "old");
    std::filesystem::create_symlink("elsewhere/real.xml", folder.File("link.xml"));
    WriteFileAtomically(folder.File("link.xml"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.xml")));
    EXPECT_EQ(ReadWholeFile(folder.File("elsewhere/real.xml")), "new");
    EXPECT_THAT(folder.Names(), ElementsAre("elsewhere", "link.xml"));
}

TEST(SafeFileTest, KeepAsideMovesTheFileToAUniqueNameBesideIt) {
    TempFolder folder;
    const std::string path = folder.File("tapporas.xml");
    WriteWholeFile(path, "first");
    const std::string first = KeepAside(path);
    WriteWholeFile(path, "second");
    const std::string second = KeepAside(path);

    EXPECT_THAT(first, MatchesRegex(".*/tapporas\\.xml\\.unreadable-[0-9]{8}-[0-9]{6}(-[0-9]+)?"));
    EXPECT_NE(first, second);
    EXPECT_EQ(ReadWholeFile(first), "first");
    EXPECT_EQ(ReadWholeFile(second), "second");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(SafeFileTest, KeepAsideOfAMissingFileFailsWithTheFileName) {
    TempFolder folder;
    const std::string path = folder.File("missing.xml");
    try {
        KeepAside(path);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), HasSubstr("'" + path + "'"));
        EXPECT_THAT(error.what(), HasSubstr(std::strerror(ENOENT)));
    }
}

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
    std::filesystem::create_directory(folder.File("elsewhere"));
    const std::string target = folder.File("elsewhere/real.xml");
    if (link.targetExists) {
        WriteWholeFile(target, "old");
    }
    const std::string owned = link.targetExists ? target : folder.File("elsewhere");
    ASSERT_EQ(::lchown(owned.c_str(), link.targetOfOther ? kOtherUser : 0, 0), 0);
    std::filesystem::create_symlink("elsewhere/real.xml", folder.File("link.xml"));
    ASSERT_EQ(::lchown(folder.File("link.xml").c_str(), link.linkOfOther ? kOtherUser : 0, 0), 0);

    const std::string error = WriteErrorText(folder.File("link.xml"), "new");
    const std::string problem = WriteProblem(folder.File("link.xml"));

    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.xml")));
    EXPECT_THAT(folder.Names(), ElementsAre("elsewhere", "link.xml"));
    if (link.refused) {
        EXPECT_THAT(error, HasSubstr("Cannot write '" + folder.File("link.xml") + "'"));
        EXPECT_THAT(error, HasSubstr("of another user"));
        EXPECT_EQ(problem, error);
        EXPECT_EQ(std::filesystem::exists(target), link.targetExists);
        if (link.targetExists) {
            EXPECT_EQ(ReadWholeFile(target), "old");
        }
    } else {
        EXPECT_EQ(error, "no error");
        EXPECT_EQ(problem, "");
        EXPECT_EQ(ReadWholeFile(target), "new");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("elsewhere")), {}),
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
    std::filesystem::create_symlink("b.xml", folder.File("a.xml"));
    std::filesystem::create_symlink("a.xml", folder.File("b.xml"));
    EXPECT_THAT(WriteErrorText(folder.File("a.xml"), "x"), HasSubstr(std::strerror(ELOOP)));
    EXPECT_THAT(folder.Names(), ElementsAre("a.xml", "b.xml"));
}

TEST(SafeFileTest, WriteProblemNamesTheFileAndReasonAndLeavesNothingBehind) {
    TempFolder folder;
    EXPECT_EQ(WriteProblem(folder.File("a.xml")), "");
    WriteWholeFile(folder.File("plain"), "");
    EXPECT_EQ(WriteProblem(folder.File("plain/a.xml")),
              "Cannot write '" + folder.File("plain/a.xml") + "': " + std::strerror(ENOTDIR));
    EXPECT_THAT(folder.Names(), ElementsAre("plain"));
}

TEST(SafeFileTest, OnlyTheTemporaryFilesOfTheGivenFileAreRemovedAsLeftovers) {
    TempFolder folder;
    for (const char* name : {"a.xml", "a.xml.tmp-12345", "a.xml.tmp-7", "a.xml.tmp-", "a.xml.tmp-12x", "b.xml.tmp-1",
                             "a.xml.unreadable-20260101-101010"}) {
        WriteWholeFile(folder.File(name), name);
    }
    std::filesystem::create_directory(folder.File("a.xml.tmp-99"));
    std::filesystem::create_symlink("a.xml", folder.File("a.xml.tmp-98"));

    std::vector<std::string> removed = RemoveLeftoverTempFiles(folder.File("a.xml"));

    std::sort(removed.begin(), removed.end());
    EXPECT_THAT(removed, ElementsAre(folder.File("a.xml.tmp-12345"), folder.File("a.xml.tmp-7")));
    EXPECT_THAT(folder.Names(), ElementsAre("a.xml", "a.xml.tmp-", "a.xml.tmp-12x", "a.xml.tmp-98", "a.xml.tmp-99",
                                            "a.xml.unreadable-20260101-101010", "b.xml.tmp-1"));
    EXPECT_EQ(ReadWholeFile(folder.File("a.xml")), "a.xml");
}
