#pragma once

// Where this copy of the program keeps its click list and settings. A portable copy (the build tree, an unpacked
// folder) keeps them beside itself; an installed one, whose folder is not the user's to write, keeps them in the
// per-user configuration folder. The rule is a plain function of facts gathered once at start, so it can be tested
// without touching the file system:
//
//     const FilesFolder files = chooseFilesFolder(probeProgramFolder(programFolder(), getenv("XDG_CONFIG_HOME"),
//                                                                     getenv("HOME")));

#include <filesystem>
#include <string>

struct ProgramFolderFacts {
    std::filesystem::path programFolder;
    bool holdsFiles = false;       // the click list or the settings file is already there
    bool installed = false;        // a `bin` folder of an installation: its share/applications holds our menu entry
    bool ownedAndWritable = false; // the user running the program owns the folder and may write it
    std::string configHome;        // $XDG_CONFIG_HOME, empty when unset
    std::string home;              // the user's home folder, empty when unknown
};

struct FilesFolder {
    enum Place { BesideProgram, PerUser };
    Place place = BesideProgram;
    std::filesystem::path folder;
    std::string reason; // one sentence for --help: which folder and why
};

FilesFolder chooseFilesFolder(const ProgramFolderFacts& facts);

// The folder of the running executable (the current folder if the system does not say).
std::filesystem::path programFolder();
// Reads what chooseFilesFolder needs; `xdgConfigHome` and `home` are the environment's values (may be null).
ProgramFolderFacts probeProgramFolder(const std::filesystem::path& folder, const char* xdgConfigHome, const char* home);
// Makes the per-user folder (private to the user) when it is missing; throws std::runtime_error naming the folder
// and the system's reason when it cannot.
void createFilesFolder(const FilesFolder& files);
