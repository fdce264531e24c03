#include "LinuxFaults.h"

#include <chrono>
#include <cstring>

#ifdef __linux__

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_old = limit.rlim_cur;
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_old;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_oldHandler);
}

ImmutableFolder::ImmutableFolder(const std::filesystem::path& folder)
    : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY)) {
    m_set = m_fd >= 0 && change(true);
}

ImmutableFolder::~ImmutableFolder() {
    lift();
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool ImmutableFolder::change(bool immutable) {
    int flags = 0;
    if (::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) != 0) {
        return false;
    }
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    return ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
}

bool makeNamedPipe(const std::filesystem::path& path) {
    return ::mkfifo(path.c_str(), 0644) == 0;
}

void PipeWatcher::watch() {
    while (!m_stop) {
        const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            m_readerWasBlocked = true;
            ::close(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool limitAddressSpace(std::uint64_t extraBytes) {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    statm >> pages;
    const rlim_t room = static_cast<rlim_t>(pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) + extraBytes);
    const rlimit limit{room, room};
    return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

testing::Matcher<const std::string&> hasPosixReason(int error) {
    return testing::HasSubstr(std::strerror(error));
}

#else

testing::Matcher<const std::string&> hasPosixReason(int) {
    return testing::MatchesRegex(".*: .+");
}

FileSizeLimit::FileSizeLimit(std::uint64_t) {}
FileSizeLimit::~FileSizeLimit() = default;

ImmutableFolder::ImmutableFolder(const std::filesystem::path&) {}
ImmutableFolder::~ImmutableFolder() = default;
bool ImmutableFolder::change(bool) {
    return false;
}

bool makeNamedPipe(const std::filesystem::path&) {
    return false;
}

void PipeWatcher::watch() {
    while (!m_stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool limitAddressSpace(std::uint64_t) {
    return false;
}

#endif

void ImmutableFolder::lift() {
    if (m_set) {
        change(false);
        m_set = false;
    }
}

PipeWatcher::PipeWatcher(std::filesystem::path path) : m_path(std::move(path)), m_thread([this] { watch(); }) {}

PipeWatcher::~PipeWatcher() {
    m_stop = true;
    m_thread.join();
}
