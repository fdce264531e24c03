#include "AccessibleNames.h"

#include "ChildExit.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

// The accessibility bus the session bus starts keeps its socket in XDG_RUNTIME_DIR: this bus's own folder, so that
// tests running side by side do not meet there. It goes with the session bus.
AccessibleNames::AccessibleNames() {
    m_address = "unix:path=";
    m_address += (m_folder.path() / "bus").string();
    std::string listen = "--address=";
    listen += m_address;
    m_bus = ::fork();
    if (m_bus == 0) {
        // Not outliving a test that ends abruptly: what the bus started goes with it.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::setenv("XDG_RUNTIME_DIR", m_folder.path().c_str(), 1);
        ::execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile", listen.c_str(), nullptr);
        ::_exit(127);
    }
    for (int wait = 0; wait < 200 && !std::filesystem::is_socket(m_folder.path() / "bus"); ++wait)
        std::this_thread::sleep_for(50ms);
    if (m_bus < 0 || !std::filesystem::is_socket(m_folder.path() / "bus"))
        throw std::runtime_error("dbus-daemon did not start a session bus");
}

AccessibleNames::~AccessibleNames() {
    if (m_bus > 0) {
        ::kill(m_bus, SIGTERM);
        waitForChildExit(m_bus, 10s);
    }
}

std::vector<std::pair<std::string, std::string>> AccessibleNames::environment() const {
    return {{"DBUS_SESSION_BUS_ADDRESS", m_address}, {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"}};
}

// Debian's python3, for which python3-gi is packaged.
std::string AccessibleNames::all() const {
    std::string command = "DBUS_SESSION_BUS_ADDRESS='";
    command += m_address + "' XDG_RUNTIME_DIR='" + m_folder.text() + "' /usr/bin/python3 " TAPPORA_ACCESSIBLE_NAMES;
    std::string names;
    if (FILE* reader = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, reader)) > 0;)
            names.append(buffer, read);
        ::pclose(reader);
    }
    return names;
}

std::string AccessibleNames::waitFor(const std::string& start) const {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::istringstream names(all());
        for (std::string name; std::getline(names, name);)
            if (name.starts_with(start))
                return name;
        std::this_thread::sleep_for(100ms);
    }
    return {};
}
