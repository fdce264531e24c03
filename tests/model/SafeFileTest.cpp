#include "model/SafeFile.h"

#include "LinuxFaults.h"
#include "TempFolder.h"
#include "platform/Files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
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

fs::perms PermissionsOf(const std::string& path) {
    return fs::status(path).permissions() & fs::perms::mask;
}

} // namespace

TEST(SafeFileTest, WritesANewFileWithNothingElseLeftBehind) {
    TempFolder folder;
    WriteFileAtomically(folder.file("a.xml"), "<list/>");
    EXPECT_EQ(readWholeFile(folder.file("a.xml")), "<list/>");
    EXPECT_THAT(folder.names(), ElementsAre("a.xml"));
}

TEST(SafeFileTest, ReplacesTheWholeContentOfAnOldFile) {
    TempFolder folder;
    writeWholeFile(folder.file("a.xml"), "a much longer old content than the new one");
    WriteFileAtomically(folder.file("a.xml"), "new");
    EXPECT_EQ(readWholeFile(folder.file("a.xml")), "new");
    EXPECT_THAT(folder.names(), ElementsAre("a.xml"));
}

TEST(SafeFileTest, ANewFileIsNotPrivateAndAReplacedFileKeepsItsPermissions) {
    SKIP_UNLESS_LINUX("POSIX permission bits");
    TempFolder folder;
    const mode_t mask = ::umask(022);
    WriteFileAtomically(folder.file("new.xml"), "x");
    ::umask(mask);
    EXPECT_EQ(PermissionsOf(folder.file("new.xml")), static_cast<fs::perms>(0644));

    writeWholeFile(folder.file("old.xml"), "old");
    fs::permissions(folder.file("old.xml"), static_cast<fs::perms>(0640));
    WriteFileAtomically(folder.file("old.xml"), "new");
    EXPECT_EQ(PermissionsOf(folder.file("old.xml")), static_cast<fs::perms>(0640));
}

TEST(SafeFileTest, AFolderThatIsAFileFailsWithTheFileNameAndTheReason) {
    TempFolder folder;
    writeWholeFile(folder.file("plain"), "");
    const std::string path = folder.file("plain/a.xml");
    const std::string error = WriteErrorText(path, "x");
    EXPECT_THAT(error, HasSubstr("'" + path + "'"));
    EXPECT_THAT(error, hasPosixReason(ENOTDIR));
}

TEST(SafeFileTest, AFailedRenameRemovesTheTemporaryFileAndLeavesTheTargetAlone) {
    TempFolder folder;
    std::filesystem::create_directory(folder.file("a.xml"));
    writeWholeFile(folder.file("a.xml/inside"), "kept");
    EXPECT_THAT(WriteErrorText(folder.file("a.xml"), "x"), hasPosixReason(EISDIR));
    EXPECT_THAT(folder.names(), ElementsAre("a.xml"));
    EXPECT_EQ(readWholeFile(folder.file("a.xml/inside")), "kept");
}

TEST(SafeFileTest, AWriteThatFailsHalfWayLeavesTheOldFileWhole) {
    SKIP_UNLESS_LINUX("file size limits");
    TempFolder folder;
    writeWholeFile(folder.file("a.xml"), "old content");
    std::string error;
    {
        FileSizeLimit limit(16);
        error = WriteErrorText(folder.file("a.xml"), std::string(1000, 'n'));
    }
    EXPECT_THAT(error, hasPosixReason(EFBIG));
    EXPECT_EQ(readWholeFile(folder.file("a.xml")), "old content");
    EXPECT_THAT(folder.names(), ElementsAre("a.xml"));
}

TEST(SafeFileTest, AFileReachedThroughASymbolicLinkIsReplacedWhereItLives) {
    SKIP_UNLESS_LINUX("symbolic links");
    TempFolder folder;
    std::filesystem::create_directory(folder.file("elsewhere"));
    writeWholeFile(folder.file("elsewhere/real.xml"), "old");
    std::filesystem::create_symlink("elsewhere/real.xml", folder.file("link.xml"));
    WriteFileAtomically(folder.file("link.xml"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.xml")));
    EXPECT_EQ(readWholeFile(folder.file("elsewhere/real.xml")), "new");
    EXPECT_THAT(folder.names(), ElementsAre("elsewhere", "link.xml"));
}

TEST(SafeFileTest, KeepAsideMovesTheFileToAUniqueNameBesideIt) {
    TempFolder folder;
    const std::string path = folder.file("tapporas.xml");
    writeWholeFile(path, "first");
    const std::string first = KeepAside(path);
    writeWholeFile(path, "second");
    const std::string second = KeepAside(path);

    EXPECT_EQ(pathFromUtf8(first).parent_path(), folder.path());
    EXPECT_TRUE(std::regex_match(pathFromUtf8(first).filename().string(),
                                 std::regex(R"(tapporas\.xml\.unreadable-\d{8}-\d{6}(-\d+)?)")))
        << first;
    EXPECT_NE(first, second);
    EXPECT_EQ(readWholeFile(first), "first");
    EXPECT_EQ(readWholeFile(second), "second");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(SafeFileTest, KeepAsideOfAMissingFileFailsWithTheFileName) {
    TempFolder folder;
    const std::string path = folder.file("missing.xml");
    try {
        KeepAside(path);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), HasSubstr("'" + path + "'"));
        EXPECT_THAT(error.what(), hasPosixReason(ENOENT));
    }
}
