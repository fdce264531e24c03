#pragma once

// A private X server for one test process: Xvfb started on a free display chosen by the server itself
// (-displayfd), stopped when the object goes. Tests pass displayName() to what they open, never touching DISPLAY.
//
//     XvfbServer server;                                  // 1366 x 768, depth 24, with MIT-SHM
//     XvfbServer small({.width = 640, .height = 480, .depth = 16, .sharedMemory = false});
//     TargetClient target(server.displayName());          // see TargetClient.h
//
// Used by the X11 tests and the end-to-end tests; link the `tappora_test_support` library.

#include <csignal>
#include <string>
#include <sys/types.h>

struct XvfbOptions {
    int width = 1366;
    int height = 768;
    int depth = 24;
    bool sharedMemory = true;
    // Whether the server reports drawing (the DAMAGE extension).
    bool damage = true;
    // Xvfb's own default: the server resets (and refuses connections for a moment) each time its last client leaves.
    bool resetsWhenLastClientLeaves = false;
};

class XvfbServer {
public:
    // Throws std::runtime_error when Xvfb cannot be started.
    explicit XvfbServer(XvfbOptions options = {});
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer();

    // ":N", for XOpenDisplay or the DISPLAY of a child process.
    const std::string& displayName() const { return m_displayName; }
    // The server's process, e.g. to pin it to a processor in a benchmark.
    pid_t pid() const { return m_pid; }
    // Ends the server at once, as a crash or the end of the session does; its clients lose their connection.
    void crash();

private:
    void stop(int signalNumber = SIGTERM);

    pid_t m_pid = -1;
    std::string m_displayName;
};
