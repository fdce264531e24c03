#pragma once

// A process of a Wayland test, started as the test user (TestUser.h) with the environment given on top of the test's
// own, minus the test's display (DISPLAY, WAYLAND_DISPLAY, WAYLAND_SOCKET): a client reaches only the compositor named
// in `environment`. Its standard output is read through a pipe, or with `log` given goes with its errors to that
// file. It is stopped (SIGTERM, then SIGKILL) when the object goes, and ends with the test process if that crashes.
//
//     UserProcess grim(user, sway.environment(), {"grim", "-t", "ppm", "-"});
//     const std::string image = grim.readAll();
//     EXPECT_EQ(grim.waitForExit(), 0);

#include "TestUser.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

using Environment = std::vector<std::pair<std::string, std::string>>;

class UserProcess {
public:
    // `command` is looked for on the PATH. Throws std::runtime_error when no process can be made; a command that
    // cannot be run ends with status 127.
    UserProcess(const TestUser& user, const Environment& environment, const std::vector<std::string>& command,
                const std::filesystem::path& log = {});
    UserProcess(const UserProcess&) = delete;
    UserProcess& operator=(const UserProcess&) = delete;
    ~UserProcess();

    pid_t pid() const { return m_pid; }
    // The next line of the standard output without its newline; nothing when none came within `timeout` or the
    // output ended.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // The standard output up to its end; throws when it has not ended within `timeout`.
    std::string readAll(std::chrono::milliseconds timeout);
    // The exit status; nothing when the process has not ended within `timeout` or was ended by a signal.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // Ends the process (SIGTERM, then SIGKILL after a while) and waits for it.
    void stop();

private:
    // Reads what the pipe has within `timeout`; false when nothing came.
    bool readMore(std::chrono::steady_clock::time_point deadline);

    pid_t m_pid = -1;
    int m_output = -1;
    bool m_outputEnded = false;
    std::string m_pending;
};
