#include "PortalDesktop.h"

#include "TempFolder.h"

#include <csignal>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace {
constexpr auto startTimeout = std::chrono::seconds(30);
constexpr auto pollInterval = std::chrono::milliseconds(20);
const char* const logNames[] = {"bus", "pipewire", "wireplumber", "compositor"};

fs::path makePrivateFolder(const fs::path& path) {
    fs::create_directory(path);
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

// Whether the process runs as `uid` with XDG_RUNTIME_DIR set to `runtime`.
bool runsIn(const fs::path& process, uid_t uid, const std::string& runtime) {
    struct stat owner {};
    if (::stat(process.c_str(), &owner) != 0 || owner.st_uid != uid)
        return false;
    std::ifstream in(process / "environ", std::ios::binary);
    const std::string wanted = "XDG_RUNTIME_DIR=" + runtime;
    for (std::string variable; std::getline(in, variable, '\0');)
        if (variable == wanted)
            return true;
    return false;
}

// The services the bus started are no children of ours; each has the desktop's runtime folder, which no other
// desktop shares.
void killProcessesRunningIn(const fs::path& runtime, uid_t uid) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") == std::string::npos && runsIn(entry.path(), uid, runtime.string()))
            ::kill(std::stoi(name), SIGKILL);
    }
}
} // namespace

PortalDesktop::PortalDesktop(const std::string& desktopName, const std::string& folderPrefix)
    : m_folder(makePrivateFolder(makeTempFolder(folderPrefix))), m_runtime(makePrivateFolder(m_folder / "runtime")) {
    for (const char* folder : {"home", "config", "state"})
        fs::create_directory(m_folder / folder);
    std::string busAddress = "unix:path=";
    busAddress += (m_runtime / "bus").string();
    m_environment = {{"XDG_RUNTIME_DIR", m_runtime.string()},
                     {"HOME", (m_folder / "home").string()},
                     {"XDG_CONFIG_HOME", (m_folder / "config").string()},
                     {"XDG_STATE_HOME", (m_folder / "state").string()},
                     {"XDG_CURRENT_DESKTOP", desktopName},
                     {"XDG_SESSION_TYPE", "wayland"},
                     {"WAYLAND_DISPLAY", waylandDisplay},
                     {"DBUS_SESSION_BUS_ADDRESS", busAddress}};
    m_user.own(m_folder);
    try {
        std::string listen = "--address=";
        listen += busAddress;
        waitForSocket("bus", start({"dbus-daemon", "--session", "--nofork", "--nopidfile", listen}, "bus"));
        waitForSocket("pipewire-0", start({"pipewire"}, "pipewire"));
        start({"wireplumber"}, "wireplumber");
    } catch (...) {
        stop();
        throw;
    }
}

PortalDesktop::~PortalDesktop() {
    stop();
}

void PortalDesktop::stop() {
    while (!m_processes.empty())
        m_processes.pop_back();
    killProcessesRunningIn(m_runtime, m_user.uid());
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
}

UserProcess& PortalDesktop::start(const std::vector<std::string>& command, const std::string& logName) {
    m_processes.push_back(std::make_unique<UserProcess>(m_user, m_environment, command, m_folder / (logName + ".log")));
    return *m_processes.back();
}

void PortalDesktop::waitForSocket(const std::string& name, UserProcess& process) const {
    const auto deadline = std::chrono::steady_clock::now() + startTimeout;
    while (!fs::is_socket(m_runtime / name)) {
        if (process.waitForExit(std::chrono::milliseconds(0)) || process.pid() < 0)
            throw std::runtime_error("the process that was to open " + name + " ended; the log:\n" + log());
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error(name + " was not opened; the log:\n" + log());
        std::this_thread::sleep_for(pollInterval);
    }
}

void PortalDesktop::startCompositor(const std::vector<std::string>& command, const std::string& busName) {
    waitForSocket(waylandDisplay, start(command, "compositor"));
    const std::string timeout = std::to_string(std::chrono::seconds(startTimeout).count());
    if (run({"gdbus", "wait", "--session", "--timeout", timeout, busName}).exitStatus != 0)
        throw std::runtime_error("the compositor did not own " + busName + "; the log:\n" + log());
    // The first question starts the portal and its backends.
    const auto deadline = std::chrono::steady_clock::now() + startTimeout;
    while (portalVersion("ScreenCast") == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the portal did not answer; the log:\n" + log());
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

unsigned PortalDesktop::portalVersion(const std::string& interface) const {
    const CommandResult answer =
        run({"gdbus", "call", "--session", "--dest", "org.freedesktop.portal.Desktop", "--object-path",
             "/org/freedesktop/portal/desktop", "--method", "org.freedesktop.DBus.Properties.Get",
             "org.freedesktop.portal." + interface, "version"});
    static const std::regex version(R"(uint32 (\d+))");
    std::smatch match;
    return answer.exitStatus == 0 && std::regex_search(answer.output, match, version) ? std::stoul(match[1]) : 0;
}

std::string PortalDesktop::log() const {
    std::ostringstream text;
    for (const char* name : logNames) {
        std::ifstream in(m_folder / (std::string(name) + ".log"));
        if (in)
            text << "--- " << name << ":\n" << in.rdbuf();
    }
    return text.str();
}
