#include "app/linux/FilesFolder.h"
#include "platform/posix/UserFolders.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace {
namespace fs = std::filesystem;

struct FolderCase {
    const char* what;
    ProgramFolderFacts facts;
    FilesFolder::Place place;
    const char* folder;
    const char* because;
};

ProgramFolderFacts facts(const char* programFolder, bool holdsFiles, bool installed, bool ownedAndWritable,
                         const char* configHome = "", const char* home = "/home/ann") {
    return {programFolder, holdsFiles, installed, ownedAndWritable, configHome, home};
}

const FolderCase kFolderCases[] = {
    {"a portable copy the user may write", facts("/home/ann/tappora", false, false, true), FilesFolder::BesideProgram,
     "/home/ann/tappora", "yours and writable"},
    {"the build tree", facts("/home/ann/src/tappora/build/bin", false, false, true), FilesFolder::BesideProgram,
     "/home/ann/src/tappora/build/bin", "yours and writable"},
    {"an installed copy", facts("/usr/bin", false, true, false), FilesFolder::PerUser, "/home/ann/.config/tappora",
     "/usr/bin is part of an installation"},
    {"an installed copy run by root, who may write /usr/bin", facts("/usr/bin", false, true, true),
     FilesFolder::PerUser, "/home/ann/.config/tappora", "part of an installation"},
    {"a copy in someone else's folder", facts("/opt/tappora", false, false, false), FilesFolder::PerUser,
     "/home/ann/.config/tappora", "/opt/tappora is not yours to write"},
    {"a folder that already holds the files, even an installed one", facts("/usr/bin", true, true, false),
     FilesFolder::BesideProgram, "/usr/bin", "already holds them"},
    {"a portable copy that already holds the files", facts("/home/ann/tappora", true, false, true),
     FilesFolder::BesideProgram, "/home/ann/tappora", "already holds them"},
    {"XDG_CONFIG_HOME set", facts("/usr/bin", false, true, false, "/home/ann/conf"), FilesFolder::PerUser,
     "/home/ann/conf/tappora", "installation"},
    {"a relative XDG_CONFIG_HOME is ignored", facts("/usr/bin", false, true, false, "conf"), FilesFolder::PerUser,
     "/home/ann/.config/tappora", "installation"},
    {"no home but XDG_CONFIG_HOME", facts("/usr/bin", false, true, false, "/conf", ""), FilesFolder::PerUser,
     "/conf/tappora", "installation"},
    {"no home and no XDG_CONFIG_HOME at all", facts("/usr/bin", false, true, false, "", ""), FilesFolder::BesideProgram,
     "/usr/bin", "no home folder"},
};

class ChooseFilesFolder : public testing::TestWithParam<FolderCase> {};

TEST_P(ChooseFilesFolder, PicksTheFolderAndSaysWhy) {
    const FolderCase& c = GetParam();
    const FilesFolder chosen = chooseFilesFolder(c.facts);
    EXPECT_EQ(chosen.place, c.place) << c.what;
    EXPECT_EQ(chosen.folder, fs::path(c.folder)) << c.what;
    EXPECT_NE(chosen.reason.find(c.folder), std::string::npos) << c.what << ": " << chosen.reason;
    EXPECT_NE(chosen.reason.find(c.because), std::string::npos) << c.what << ": " << chosen.reason;
    EXPECT_EQ(chosen.reason.back(), '.') << chosen.reason;
}

INSTANTIATE_TEST_SUITE_P(Cases, ChooseFilesFolder, testing::ValuesIn(kFolderCases));

class TempTree : public testing::Test {
protected:
    fs::path touch(const fs::path& relative) const {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative) << "x";
        return root / relative;
    }
    TempFolder temp;
    const fs::path& root = temp.path();
};

TEST_F(TempTree, AFolderHoldsTheFilesWhenEitherOfThemIsThere) {
    for (const char* name : {"tapporas.xml", "TapporaConfig.xml"}) {
        const fs::path folder = touch(fs::path(name).stem() / name).parent_path();
        EXPECT_TRUE(probeProgramFolder(folder, nullptr, "/h").holdsFiles) << name;
    }
    touch("neither/tapporas.xml.unreadable-20260101-120000");
    EXPECT_FALSE(probeProgramFolder(root / "neither", nullptr, "/h").holdsFiles);
}

TEST_F(TempTree, AnInstallationIsABinFolderBesideTheMenuEntry) {
    touch("usr/share/applications/tappora.desktop");
    fs::create_directories(root / "usr/bin");
    fs::create_directories(root / "usr/libexec");
    touch("build/bin/tappora");
    EXPECT_TRUE(probeProgramFolder(root / "usr/bin", nullptr, "/h").installed);
    EXPECT_FALSE(probeProgramFolder(root / "usr/libexec", nullptr, "/h").installed) << "not a bin folder";
    EXPECT_FALSE(probeProgramFolder(root / "build/bin", nullptr, "/h").installed) << "no menu entry beside it";
}

TEST_F(TempTree, AFolderOfTheUsersOwnIsOwnedAndWritable) {
    EXPECT_TRUE(probeProgramFolder(root, nullptr, "/h").ownedAndWritable);
    EXPECT_FALSE(probeProgramFolder(root / "missing", nullptr, "/h").ownedAndWritable);
}

TEST_F(TempTree, TheEnvironmentIsTakenAsItIsAndAMissingHomeComesFromTheAccount) {
    const ProgramFolderFacts set = probeProgramFolder(root, "/conf", "/home/ann");
    EXPECT_EQ(set.configHome, "/conf");
    EXPECT_EQ(set.home, "/home/ann");
    for (const char* home : {static_cast<const char*>(nullptr), ""}) {
        const ProgramFolderFacts unset = probeProgramFolder(root, nullptr, home);
        EXPECT_EQ(unset.configHome, "");
        EXPECT_FALSE(unset.home.empty());
    }
}

TEST_F(TempTree, ThePerUserFolderIsMadeWithItsParentsAndIsTheUsersAlone) {
    const FilesFolder files{FilesFolder::PerUser, root / "home/.config/tappora", ""};
    createFilesFolder(files);
    struct stat status {};
    ASSERT_EQ(::stat(files.folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_NO_THROW(createFilesFolder(files)) << "a second start finds it there";
}

TEST_F(TempTree, AFolderThatCannotBeMadeIsReportedByName) {
    touch("home/.config/tappora");
    try {
        createFilesFolder({FilesFolder::PerUser, root / "home/.config/tappora", ""});
        FAIL() << "a file in the way was taken for the folder";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find((root / "home/.config/tappora").string()), std::string::npos);
    }
    touch("file");
    EXPECT_THROW(createFilesFolder({FilesFolder::PerUser, root / "file/tappora", ""}), std::runtime_error);
}

TEST_F(TempTree, APortableCopyMakesNoFolder) {
    createFilesFolder({FilesFolder::BesideProgram, root / "not-made", ""});
    EXPECT_FALSE(fs::exists(root / "not-made"));
}
TEST(RecoveryFolder, IsTheStateFolderOfTheBaseDirectoryRules) {
    EXPECT_EQ(stateFolder("/home/ann/state", "/home/ann"), fs::path("/home/ann/state/tappora"));
    EXPECT_EQ(stateFolder(nullptr, "/home/ann"), fs::path("/home/ann/.local/state/tappora"));
    EXPECT_EQ(stateFolder("", "/home/ann"), fs::path("/home/ann/.local/state/tappora"));
    EXPECT_EQ(stateFolder("state", "/home/ann"), fs::path("/home/ann/.local/state/tappora"))
        << "a relative XDG_STATE_HOME is ignored";
}
} // namespace
