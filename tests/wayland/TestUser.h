#pragma once

// Who runs the compositor and every process of a Wayland test. sway must not run as root: when the tests run as root,
// that is the ordinary user `tappora-test` (CI makes it with useradd); otherwise the user running the tests.
//
//     TestUser user;                         // throws when root and tappora-test does not exist
//     user.own(folder);                      // gives the folder and everything in it to that user
//     if (fork() == 0) { user.become(); ... execv(...); }

#include <filesystem>
#include <string>
#include <sys/types.h>

class TestUser {
public:
    static constexpr const char* unprivilegedName = "tappora-test";

    TestUser();

    // Whether processes started for the test change to another user (the tests run as root).
    bool isOther() const { return m_other; }
    const std::string& name() const { return m_name; }
    uid_t uid() const { return m_uid; }

    // Gives the file or folder, with everything in it, to the user; nothing to do when that is the current user.
    void own(const std::filesystem::path& path) const;
    // In a child process between fork and exec: becomes the user (its group alone, no supplementary groups) and ends
    // with the parent. Ends the child with status 127 when it cannot.
    void become() const;

private:
    bool m_other = false;
    std::string m_name;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
};
