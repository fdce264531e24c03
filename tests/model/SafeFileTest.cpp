#include "model/SafeFile.h"

#include "TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>

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
