#include "XvfbServer.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int startTimeoutMs = 30000;

[[noreturn]] void runXvfb(const XvfbOptions& options, int displayFd) {
    // The server must not outlive a test that crashes.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int devNull = ::open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    const std::string fd = std::to_string(displayFd);
    const std::string screen =
        std::to_string(options.width) + "x" + std::to_string(options.height) + "x" + std::to_string(options.depth);
    std::vector<std::string> args{"Xvfb", "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp"};
    if (!options.resetsWhenLastClientLeaves)
        args.emplace_back("-noreset");
    if (!options.sharedMemory) {
        args.emplace_back("-extension");
        args.emplace_back("MIT-SHM");
    }
    if (!options.damage) {
        args.emplace_back("-extension");
        args.emplace_back("DAMAGE");
    }
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp("Xvfb", argv.data());
    _exit(127);
}

std::string readDisplayNumber(int fd) {
    std::string number;
    while (true) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, startTimeoutMs) <= 0)
            return {};
        char c = 0;
        if (read(fd, &c, 1) != 1)
            return {};
        if (c == '\n')
            return number;
        number += c;
    }
}
} // namespace

XvfbServer::XvfbServer(XvfbOptions options) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        throw std::runtime_error("pipe failed");
    m_pid = fork();
    if (m_pid == 0) {
        close(pipeFds[0]);
        runXvfb(options, pipeFds[1]);
    }
    close(pipeFds[1]);
    const std::string number = m_pid > 0 ? readDisplayNumber(pipeFds[0]) : std::string();
    close(pipeFds[0]);
    if (number.empty()) {
        stop();
        throw std::runtime_error("Xvfb did not start");
    }
    m_displayName = ":" + number;
}

XvfbServer::~XvfbServer() {
    stop();
}

void XvfbServer::crash() {
    stop(SIGKILL);
}

void XvfbServer::stop(int signalNumber) {
    if (m_pid <= 0)
        return;
    kill(m_pid, signalNumber);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}
