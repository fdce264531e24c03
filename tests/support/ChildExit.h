#pragma once

// Waiting for a child process of a test (POSIX only).

#include <chrono>
#include <optional>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>

// The exit code of the child `pid`, which is then reaped and set to -1; nothing when it has not ended within
// `timeout`, or ended by a signal.
inline std::optional<int> waitForChildExit(pid_t& pid, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (pid > 0) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}
