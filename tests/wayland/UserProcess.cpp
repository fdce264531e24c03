#include "UserProcess.h"
#include "ChildExit.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr auto stopTimeout = std::chrono::seconds(10);

[[noreturn]] void runChild(const TestUser& user, const Environment& environment,
                           const std::vector<std::string>& command) {
    user.become();
    // The session's own programs reach its compositor only; the tests' offscreen Qt would keep the portal's KDE
    // backend from connecting to it.
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM"})
        ::unsetenv(display);
    for (const auto& [name, value] : environment)
        ::setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    std::fprintf(stderr, "cannot run %s as %s: ", argv[0], user.name().c_str());
    std::perror(nullptr);
    ::_exit(127);
}

int remainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}
} // namespace

UserProcess::UserProcess(const TestUser& user, const Environment& environment, const std::vector<std::string>& command,
                         const std::filesystem::path& log) {
    int pipeFds[2] = {-1, -1};
    if (log.empty() && ::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot make a pipe");
    const int logFd = log.empty() ? -1 : ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (!log.empty() && logFd < 0)
        throw std::runtime_error("cannot write " + log.string());
    m_pid = ::fork();
    if (m_pid == 0) {
        if (logFd >= 0) {
            ::dup2(logFd, STDOUT_FILENO);
            ::dup2(logFd, STDERR_FILENO);
        } else {
            ::dup2(pipeFds[1], STDOUT_FILENO);
        }
        runChild(user, environment, command);
    }
    if (logFd >= 0)
        ::close(logFd);
    if (pipeFds[1] >= 0)
        ::close(pipeFds[1]);
    m_output = pipeFds[0];
    m_outputEnded = m_output < 0;
    if (m_pid < 0)
        throw std::runtime_error("cannot start " + command.front());
}

UserProcess::~UserProcess() {
    stop();
    if (m_output >= 0)
        ::close(m_output);
}

bool UserProcess::readMore(std::chrono::steady_clock::time_point deadline) {
    if (m_outputEnded)
        return false;
    pollfd waiting{m_output, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, remainingMs(deadline));
    if (ready < 0 && errno == EINTR)
        return true;
    if (ready <= 0)
        return false;
    char chunk[4096];
    const ssize_t count = ::read(m_output, chunk, sizeof chunk);
    if (count <= 0) {
        m_outputEnded = true;
        return false;
    }
    m_pending.append(chunk, static_cast<std::size_t>(count));
    return true;
}

std::optional<std::string> UserProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t end = m_pending.find('\n');
    while (end == std::string::npos) {
        if (!readMore(deadline))
            return std::nullopt;
        end = m_pending.find('\n');
    }
    std::string line = m_pending.substr(0, end);
    m_pending.erase(0, end + 1);
    return line;
}

std::string UserProcess::readAll(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (readMore(deadline)) {
    }
    if (!m_outputEnded)
        throw std::runtime_error("the output of process " + std::to_string(m_pid) + " did not end in time");
    return std::exchange(m_pending, {});
}

std::optional<int> UserProcess::waitForExit(std::chrono::milliseconds timeout) {
    return waitForChildExit(m_pid, timeout);
}

void UserProcess::stop() {
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    const pid_t pid = m_pid;
    if (waitForExit(stopTimeout) || m_pid <= 0)
        return;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    m_pid = -1;
}
