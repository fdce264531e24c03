#include "RunningCopy.h"

#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

void RunningCopyTest::startRunning(const std::string& list, const std::vector<std::string>& arguments) {
    fs::permissions(runtime.path(), fs::perms::owner_all, fs::perm_options::replace);
    run.setEnvironment("XDG_RUNTIME_DIR", runtime.text());
    run.writeFile("tapporas.xml", list);
    run.writeFile("TapporaConfig.xml", TopLeftSettings(false));
    run.start(server.displayName(), arguments);
    for (int wait = 0; wait < 100 && fs::is_empty(runtime.path()); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

CommandReply RunningCopyTest::command(const std::vector<std::string>& arguments) {
    ProgramRun sent{AnotherStart{run}};
    sent.setEnvironment("XDG_RUNTIME_DIR", runtime.text());
    sent.start("", arguments);
    const std::optional<int> code = sent.waitForExit();
    return {code, sent.standardOutput(), sent.errorOutput()};
}
