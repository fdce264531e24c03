#pragma once

// Helpers of the Win32 backend tests: programs of their own (the target window, the key driver) started beside the
// test executable, and waits that keep this thread's messages flowing, as hotkeys and timer ticks need.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A program started from the test executable's folder (or from the absolute path given); killed when it goes out of
// scope unless it has exited.
class ChildProcess {
public:
    ChildProcess(const std::filesystem::path& program, const std::vector<std::wstring>& arguments);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Waits for the exit while pumping this thread's messages; the exit code, or -1 after the timeout.
    int waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // The visible top-level window of the program whose title starts with `title`, as a number; 0 when none is up.
    std::uintptr_t window(const std::wstring& title) const;

private:
    void* m_process = nullptr;
    unsigned long m_processId = 0;
};

// Pumps this thread's messages until `done` holds or `timeout` has passed; returns whether it holds.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(20));
// Pumps this thread's messages for `duration`.
void pumpFor(std::chrono::milliseconds duration);

// The Win32 target window of a program of its own, at the given client rectangle, and what it logged: each button
// message with its client point, and with `withTimes` the message's time in ms after it.
class TargetWindow {
public:
    TargetWindow(int left, int top, int width, int height, bool withTimes = false);
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;
    // Ends the program and removes its log.
    ~TargetWindow();

    // The logged lines after "ready", waiting (pumping) until there are at least `count` of them.
    std::vector<std::string> waitForLines(std::size_t count);
    // Forgets the lines logged so far.
    void clear();
    int left() const { return m_left; }
    int top() const { return m_top; }

private:
    std::vector<std::string> readLines() const;

    std::filesystem::path m_log;
    int m_left;
    int m_top;
    std::size_t m_skipped = 0;
    std::unique_ptr<ChildProcess> m_process;
};
