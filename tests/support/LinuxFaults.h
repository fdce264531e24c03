#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

// Faults that only Linux lets a test bring about: file size limits, immutable folders, named pipes, a limited
// address space. Elsewhere each helper is inert, and the tests that need one begin with SKIP_UNLESS_LINUX so that
// they are reported as skipped there, naming what they need.
#ifdef __linux__
#define SKIP_UNLESS_LINUX(need) static_cast<void>(0)
#else
#define SKIP_UNLESS_LINUX(need) GTEST_SKIP() << "needs Linux: " << (need)
#endif

// Matches a failure text that gives the reason of this POSIX error number; Windows words its own reasons, so there
// it matches any text with a reason after the last colon.
testing::Matcher<const std::string&> hasPosixReason(int error);

// Writing to regular files fails past `bytes` (EFBIG) for as long as it lives, also for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit();

private:
    std::uint64_t m_old = 0;
    void (*m_oldHandler)(int) = nullptr;
};

// Nothing in the folder can be created, renamed or removed while it lives, also for root; on file systems without
// the attribute set() is false.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const std::filesystem::path& folder);
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;
    ~ImmutableFolder();

    bool set() const { return m_set; }
    void lift();

private:
    bool change(bool immutable);

    int m_fd = -1;
    bool m_set = false;
};

// Makes a named pipe at `path`; false when it cannot.
bool makeNamedPipe(const std::filesystem::path& path);

// Opens the pipe for writing whenever somebody waits to read it, which lets a blocked reader go on; records that.
class PipeWatcher {
public:
    explicit PipeWatcher(std::filesystem::path path);
    ~PipeWatcher();
    PipeWatcher(const PipeWatcher&) = delete;
    PipeWatcher& operator=(const PipeWatcher&) = delete;

    bool readerWasBlocked() const { return m_readerWasBlocked; }

private:
    void watch();

    std::filesystem::path m_path;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_readerWasBlocked = false;
    std::thread m_thread;
};

// Limits the process's address space to what it maps now plus `extraBytes`; false when it cannot.
bool limitAddressSpace(std::uint64_t extraBytes);
