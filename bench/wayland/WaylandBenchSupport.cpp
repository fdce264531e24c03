#include "WaylandBenchSupport.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>

using namespace std::chrono_literals;

double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double OwnCpuMs() {
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) * 1000.0 + static_cast<double>(time.tv_nsec) / 1e6;
}

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::string SelfPath() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

void Require(bool holds, const std::string& what) {
    if (!holds)
        throw std::runtime_error(what);
}

ClickCounts ReadCounts(const ProgramOnSway& program) {
    const double startMs = NowMs();
    const CommandResult listed = program.command({"list", "--json"});
    ClickCounts counts;
    counts.atMs = (startMs + NowMs()) / 2;
    static const std::regex clicks(R"re("state": "(\w+)", "clicks": (\d+))re");
    std::istringstream lines(listed.output);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_search(line, match, clicks)) {
            counts.running += match[1] == "running" ? 1 : 0;
            counts.clicks.push_back(std::stoll(match[2]));
        }
    }
    return counts;
}

PressLog::PressLog(WaylandTarget& target) : m_target(target), m_reader([this] { read(); }) {}

PressLog::~PressLog() {
    m_stop = true;
    m_reader.join();
}

bool PressLog::waitForPressAfter(double sinceMs, std::chrono::milliseconds timeout) const {
    const double untilMs = NowMs() + static_cast<double>(timeout.count());
    while (NowMs() < untilMs) {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_times.empty() && m_times.back() > sinceMs)
                return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

PressLog::Window PressLog::between(double fromMs, double toMs) const {
    const std::lock_guard lock(m_mutex);
    Window window;
    std::set<std::pair<int, int>> places;
    for (std::size_t i = 0; i < m_times.size(); ++i)
        if (m_times[i] >= fromMs && m_times[i] < toMs) {
            window.timesMs.push_back(m_times[i]);
            places.insert(m_places[i]);
        }
    window.places = places.size();
    return window;
}

void PressLog::read() {
    while (!m_stop) {
        const std::optional<PointerButton> event = m_target.nextButton(50ms);
        if (!event || !event->pressed)
            continue;
        const std::lock_guard lock(m_mutex);
        m_times.push_back(NowMs());
        m_places.emplace_back(event->x, event->y);
    }
}
