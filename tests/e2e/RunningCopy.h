#pragma once

// The fixture of the tests that talk to the program while it runs under a private Xvfb: its command channel lives in
// a runtime folder of the test's own, and each command is a second start of the same copy, with no display at all.

#include "ProgramRun.h"
#include "TargetClient.h"
#include "TempFolder.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

struct CommandReply {
    std::optional<int> code;
    std::string output;
    std::string errors;
};

class RunningCopyTest : public testing::Test {
protected:
    XvfbServer server;
    TargetClient target{server.displayName()};
    TempFolder runtime{"tappora-runtime"};
    ProgramRun run;

    // Starts the program on `list` with its window at the top left, and waits until its channel is open.
    void startRunning(const std::string& list, const std::vector<std::string>& arguments = {"--hidden"});
    // `tappora ARGUMENTS` sent to the running copy.
    CommandReply command(const std::vector<std::string>& arguments);
};
