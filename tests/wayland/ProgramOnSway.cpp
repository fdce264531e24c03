#include "ProgramOnSway.h"

#include "model/ClickListFile.h"

#include <thread>

namespace fs = std::filesystem;

ProgramOnSway::ProgramOnSway(const WaylandSession& session, const fs::path& program,
                             const std::vector<TMouseObj>& clicks, const std::vector<std::string>& arguments)
    : m_session(session), m_program(session.folder() / "program" / "tappora") {
    fs::create_directories(m_program.parent_path());
    fs::copy_file(program, m_program, fs::copy_options::overwrite_existing);
    std::vector<const TMouseObj*> list;
    for (const TMouseObj& click : clicks)
        list.push_back(&click);
    SaveClickListFile((m_program.parent_path() / kClickListFileName).string(), list);
    session.user().own(m_program.parent_path());
    Environment environment = session.environment();
    environment.emplace_back("QT_QPA_PLATFORM", "wayland");
    std::vector<std::string> commandLine{m_program};
    commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
    m_process =
        std::make_unique<UserProcess>(session.user(), environment, commandLine, session.folder() / "program.log");
    for (int attempt = 0; attempt < 200 && command({"list"}).exitStatus != 0; ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

CommandResult ProgramOnSway::command(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), m_program.string());
    return m_session.run(arguments);
}
