#include "TestUser.h"

#include <csignal>
#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <unistd.h>

namespace fs = std::filesystem;

TestUser::TestUser() {
    if (::geteuid() != 0) {
        m_uid = ::geteuid();
        m_gid = ::getegid();
        const passwd* entry = ::getpwuid(m_uid);
        m_name = entry ? entry->pw_name : std::to_string(m_uid);
        return;
    }
    const passwd* entry = ::getpwnam(unprivilegedName);
    if (entry == nullptr) {
        std::string message = "the Wayland tests run sway as an ordinary user; as root they need the user ";
        message += unprivilegedName;
        message += " (useradd --system --no-create-home --shell /usr/sbin/nologin ";
        message += unprivilegedName;
        message += ")";
        throw std::runtime_error(message);
    }
    m_other = true;
    m_name = entry->pw_name;
    m_uid = entry->pw_uid;
    m_gid = entry->pw_gid;
}

void TestUser::own(const fs::path& path) const {
    if (!m_other)
        return;
    const auto give = [this](const fs::path& item) {
        if (::lchown(item.c_str(), m_uid, m_gid) != 0)
            throw std::runtime_error("cannot give " + item.string() + " to " + m_name);
    };
    give(path);
    if (fs::is_directory(fs::symlink_status(path)))
        for (const auto& entry : fs::recursive_directory_iterator(path))
            give(entry.path());
}

void TestUser::become() const {
    if (m_other && (::setgroups(0, nullptr) != 0 || ::setresgid(m_gid, m_gid, m_gid) != 0 ||
                    ::setresuid(m_uid, m_uid, m_uid) != 0)) {
        std::perror("cannot become the test user");
        ::_exit(127);
    }
    // After the change of user, which clears it: the process must not outlive a test that crashes.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}
