#pragma once

// A private headless Wayland desktop of one test (SwayHeadless, and GnomeHeadless and KdeHeadless in tests/portal):
// its clients run as the test user with its variables, so that they reach this compositor only.

#include "TestUser.h"
#include "UserProcess.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What a command run through the compositor's session printed and how it ended (nothing: killed, or not ended in
// time).
struct CommandResult {
    std::optional<int> exitStatus;
    std::string output;
};

class WaylandSession {
public:
    virtual ~WaylandSession() = default;

    virtual const TestUser& user() const = 0;
    // A folder of the test, the user's; removed with everything in it at the end.
    virtual const std::filesystem::path& folder() const = 0;
    // The variables a client needs: at least WAYLAND_DISPLAY and XDG_RUNTIME_DIR, and HOME in the test's folder.
    virtual const Environment& environment() const = 0;

    // Runs the command as the user with environment() and waits for it to end.
    CommandResult run(const std::vector<std::string>& command,
                      std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;
};
