#pragma once

// The program's few options, read before anything needs a display:
//
//     const CommandLine line = parseCommandLine({argv + 1, argv + argc});
//     if (line.action == CommandLine::Refuse) { std::cerr << line.message << '\n'; return 2; }

#include "control/CommandRequest.h"

#include <string>
#include <vector>

struct FilesFolder;

struct CommandLine {
    // Command: a request for the copy that is already running (`tappora start NAME`, `tappora list`...). Check: tell
    // which backend would run here and what works with it.
    enum Action { Run, ShowHelp, ShowVersion, Command, Check, Refuse };
    Action action = Run;
    std::string message;     // for Refuse: the one sentence that says why
    bool hidden = false;     // for Run: start in the notification area
    std::string backend;     // for Run and Check: the backend asked for with --backend; empty to choose
    TCommandRequest request; // for Command
};

// `arguments` without the program's own name. A first argument that is no option names a command. The few Qt options
// a desktop session may pass (-session on restore, -style, -stylesheet, -reverse) are left to Qt.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string helpText(const FilesFolder& files);
std::string versionText();
