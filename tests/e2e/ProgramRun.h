#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// The program copied into a fresh temporary folder of its own (its files live beside it) and started there on a
// given X display. The folder is removed when the object goes; a program still running is killed first.
//
// ProgramRun(InstalledCopy{"/usr/bin/tappora", home}) runs an installed program where it is instead, as a user
// whose home folder is `home`: its files are then in home/.config/tappora, and the home folder stays afterwards.
struct InstalledCopy {
    std::filesystem::path program;
    std::filesystem::path home;
};

// ProgramRun(AnotherStart{first}) starts the same copy as `first` again, with the same files folder and output of
// its own.
class ProgramRun;
struct AnotherStart {
    const ProgramRun& of;
};

class ProgramRun {
public:
    // The program built with the tests, or another build of it.
    explicit ProgramRun(const std::filesystem::path& program = TAPPORA_PROGRAM);
    explicit ProgramRun(InstalledCopy installed);
    explicit ProgramRun(AnotherStart another);
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;
    ~ProgramRun();

    // Where the program keeps its files.
    const std::filesystem::path& folder() const { return m_folder; }
    // Makes the folder first when it is missing.
    void writeFile(const std::string& name, const std::string& text) const;
    // The file's text, or nothing when it does not exist.
    std::optional<std::string> readFile(const std::string& name) const;

    // Sets a variable of the program's environment at its start, after the ones set for every run.
    void setEnvironment(const std::string& name, const std::string& value);
    // `displayName` empty starts it with no DISPLAY at all.
    void start(const std::string& displayName, const std::vector<std::string>& arguments = {});
    void signal(int signalNumber) const;
    // The exit code, or nothing when the program has not ended within `timeout` (or ended by a signal).
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    std::string errorOutput() const;
    std::string standardOutput() const;
    // The running program's process id, or -1.
    pid_t pid() const { return m_pid; }

private:
    std::filesystem::path m_scratch; // the copy's folder, or only its output for an installed program
    std::filesystem::path m_program;
    std::filesystem::path m_home;
    std::filesystem::path m_folder;
    std::vector<std::pair<std::string, std::string>> m_environment;
    pid_t m_pid = -1;
};

// A settings file with the window at the top left (560 x 300) and every column shown; with `autorun` the program
// starts every checked click at once.
std::string TopLeftSettings(bool autorun);
