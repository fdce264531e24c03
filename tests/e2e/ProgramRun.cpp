#include "ProgramRun.h"
#include "ChildExit.h"

#include "TempFolder.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
std::optional<std::string> textOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

ProgramRun::ProgramRun(const std::filesystem::path& program)
    : m_scratch(makeTempFolder("tappora-e2e")), m_program(m_scratch / "tappora"), m_folder(m_scratch) {
    std::filesystem::copy_file(program, m_program);
}

ProgramRun::ProgramRun(InstalledCopy installed)
    : m_scratch(makeTempFolder("tappora-e2e")), m_program(std::move(installed.program)),
      m_home(std::move(installed.home)), m_folder(m_home / ".config" / "tappora") {}

ProgramRun::ProgramRun(AnotherStart another)
    : m_scratch(makeTempFolder("tappora-e2e")), m_program(another.of.m_program), m_home(another.of.m_home),
      m_folder(another.of.m_folder) {}

ProgramRun::~ProgramRun() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_scratch, ignored);
}

void ProgramRun::writeFile(const std::string& name, const std::string& text) const {
    std::filesystem::create_directories(m_folder);
    std::ofstream(m_folder / name, std::ios::binary) << text;
}

std::optional<std::string> ProgramRun::readFile(const std::string& name) const {
    return textOf(m_folder / name);
}

void ProgramRun::start(const std::string& displayName, const std::vector<std::string>& arguments) {
    const std::string program = m_program.string();
    const std::string errors = (m_scratch / "stderr.txt").string();
    const std::string output = (m_scratch / "stdout.txt").string();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid < 0)
        throw std::runtime_error("cannot start the program");
    if (m_pid > 0)
        return;
    if (displayName.empty())
        ::unsetenv("DISPLAY");
    else
        ::setenv("DISPLAY", displayName.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (!m_home.empty()) {
        ::setenv("HOME", m_home.c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
    }
    // Never the user's own state folder.
    ::setenv("XDG_STATE_HOME", (m_scratch / "state").c_str(), 1);
    for (const auto& [name, value] : m_environment)
        ::setenv(name.c_str(), value.c_str(), 1);
    // Only sanitizer builds read this: leaks that belong to the system's libraries are not the program's.
    const char* leakOptions = std::getenv("LSAN_OPTIONS");
    const std::string suppressions = std::string("suppressions=") + TAPPORA_LEAK_SUPPRESSIONS;
    ::setenv("LSAN_OPTIONS",
             leakOptions ? (std::string(leakOptions) + ":" + suppressions).c_str() : suppressions.c_str(), 1);
    const int errorFd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (errorFd >= 0)
        ::dup2(errorFd, STDERR_FILENO);
    const int outputFd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (outputFd >= 0)
        ::dup2(outputFd, STDOUT_FILENO);
    ::chdir("/");
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

void ProgramRun::setEnvironment(const std::string& name, const std::string& value) {
    m_environment.emplace_back(name, value);
}

void ProgramRun::signal(int signalNumber) const {
    if (m_pid > 0)
        ::kill(m_pid, signalNumber);
}

std::optional<int> ProgramRun::waitForExit(std::chrono::milliseconds timeout) {
    return waitForChildExit(m_pid, timeout);
}

std::string ProgramRun::errorOutput() const {
    return textOf(m_scratch / "stderr.txt").value_or("");
}

std::string ProgramRun::standardOutput() const {
    return textOf(m_scratch / "stdout.txt").value_or("");
}

std::string TopLeftSettings(bool autorun) {
    const char* names[] = {"Name",           "Click Point",        "Mouse Button", "Mouse Action",
                           "Click Interval", "Start Option",       "Stop Option",  "Start HotKey",
                           "Stop HotKey",    "After Click Action", "Action Stats"};
    std::string cols;
    for (int i = 0; i < 11; ++i) {
        cols += "<col id=\"" + std::to_string(i) + "\" Name=\"" + names[i] +
                "\" Align=\"left\" Color=\"\" Width=\"50\" Visible=\"True\" Index=\"" + std::to_string(i) + "\"/>";
    }
    return std::string(
               "<config versionNo=\"2.0\" generated=\"https://tappora.example.org/\"><frame left=\"0\" top=\"0\" "
               "height=\"300\" width=\"560\" max=\"False\" running=\"rbNormal\" autorun=\"") +
           (autorun ? "True" : "False") + "\"/><cols>" + cols + "</cols></config>";
}
