#pragma once

// The real program on a WaylandSession (sway, mutter, KWin): copied into the test's folder, where it keeps its files,
// with a list of clicks, and run as the test user with Qt's Wayland platform. Stopped when the object goes.
//
//     const ProgramOnSway program(sway, TAPPORA_PROGRAM, {click});
//     ASSERT_EQ(program.command({"start", click.fName}).exitStatus, 0);

#include "UserProcess.h"
#include "WaylandSession.h"

#include "model/MouseObj.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class ProgramOnSway {
public:
    // Started with `arguments` (e.g. "--hidden"); returns once the program answers its commands (or after 10 s, when
    // it does not).
    ProgramOnSway(const WaylandSession& session, const std::filesystem::path& program,
                  const std::vector<TMouseObj>& clicks, const std::vector<std::string>& arguments = {});

    const std::filesystem::path& path() const { return m_program; }
    pid_t pid() const { return m_process->pid(); }
    // `tappora ARGUMENTS` run in the session, as from a shell there.
    CommandResult command(std::vector<std::string> arguments) const;

private:
    const WaylandSession& m_session;
    std::filesystem::path m_program;
    std::unique_ptr<UserProcess> m_process;
};
