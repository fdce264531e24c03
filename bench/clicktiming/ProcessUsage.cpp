#include "ProcessUsage.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {
std::string StatLine(const std::filesystem::path& process) {
    std::ifstream stat(process / "stat");
    std::string line;
    std::getline(stat, line);
    return line;
}
} // namespace

ProcessStat ParseProcessStat(const std::string& statLine) {
    // The fields after the command name start after its last closing parenthesis: state, parent, ... utime is the
    // 14th field of the line and stime the 15th.
    const std::size_t close = statLine.rfind(')');
    if (close == std::string::npos || close + 2 > statLine.size())
        return {};
    std::istringstream fields(statLine.substr(close + 2));
    std::string state;
    ProcessStat stat;
    long long field = 0;
    if (!(fields >> state >> stat.parent))
        return {};
    for (int number = 5; number <= 15 && fields >> field; ++number)
        if (number >= 14)
            stat.cpuTicks += field;
    return fields ? stat : ProcessStat{};
}

double ProcessCpuMs(pid_t pid) {
    const ProcessStat stat = ParseProcessStat(StatLine("/proc/" + std::to_string(pid)));
    return static_cast<double>(stat.cpuTicks) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double ResidentMb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

pid_t ChildProcessNamed(const std::string& name) {
    std::string command = "(";
    command += name;
    command += ')';
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string number = entry.path().filename().string();
        if (number.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string line = StatLine(entry.path());
        if (line.find(command) != std::string::npos && ParseProcessStat(line).parent == getpid())
            return static_cast<pid_t>(std::stol(number));
    }
    return -1;
}
