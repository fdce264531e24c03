#include "app/linux/FilesFolder.h"

#include "platform/posix/UserFolders.h"

#include "model/ClickListFile.h"
#include "model/Config.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::filesystem::path perUserFolder(const ProgramFolderFacts& facts) {
    // A relative $XDG_CONFIG_HOME is invalid and is ignored, as the base directory rules say.
    if (std::filesystem::path(facts.configHome).is_absolute())
        return std::filesystem::path(facts.configHome) / "tappora";
    if (!facts.home.empty())
        return std::filesystem::path(facts.home) / ".config" / "tappora";
    return {};
}

FilesFolder besideProgram(const ProgramFolderFacts& facts, const std::string& why) {
    return {FilesFolder::BesideProgram, facts.programFolder,
            "This copy keeps its files beside itself, in " + facts.programFolder.string() + ", because " + why + "."};
}

bool ownedAndWritable(const std::filesystem::path& folder) {
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 && status.st_uid == ::geteuid() && ::access(folder.c_str(), W_OK) == 0;
}
} // namespace

FilesFolder chooseFilesFolder(const ProgramFolderFacts& facts) {
    if (facts.holdsFiles)
        return besideProgram(facts, "that folder already holds them");
    if (!facts.installed && facts.ownedAndWritable)
        return besideProgram(facts, "that folder is yours and writable (a portable copy)");
    const std::filesystem::path folder = perUserFolder(facts);
    if (folder.empty())
        return besideProgram(facts, "no home folder is known for the per-user folder");
    const std::string why = facts.installed
                                ? facts.programFolder.string() + " is part of an installation"
                                : "its own folder " + facts.programFolder.string() + " is not yours to write";
    return {FilesFolder::PerUser, folder,
            "This copy keeps its files in your folder " + folder.string() + ", because " + why + "."};
}

std::filesystem::path programFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path(error);
    return program.parent_path();
}

ProgramFolderFacts probeProgramFolder(const std::filesystem::path& folder, const char* xdgConfigHome,
                                      const char* home) {
    std::error_code ignored;
    ProgramFolderFacts facts;
    facts.programFolder = folder;
    facts.holdsFiles = std::filesystem::exists(folder / kClickListFileName, ignored) ||
                       std::filesystem::exists(folder / kConfigFileName, ignored);
    facts.installed = folder.filename() == "bin" &&
                      std::filesystem::exists(folder.parent_path() / "share/applications/tappora.desktop", ignored);
    facts.ownedAndWritable = ownedAndWritable(folder);
    facts.configHome = xdgConfigHome ? xdgConfigHome : "";
    facts.home = userHome(home);
    return facts;
}

void createFilesFolder(const FilesFolder& files) {
    if (files.place != FilesFolder::PerUser)
        return;
    // Parents such as ~/.config get the usual mode; the folder of the user's clicks is the user's alone.
    std::error_code error;
    std::filesystem::create_directories(files.folder.parent_path(), error);
    if (::mkdir(files.folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::runtime_error("Cannot create the folder '" + files.folder.string() + "': " + std::strerror(errno));
    if (!std::filesystem::is_directory(files.folder, error))
        throw std::runtime_error("Cannot use '" + files.folder.string() + "' as a folder: it is a file.");
}
