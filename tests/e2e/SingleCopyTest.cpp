// One copy per files folder, also when that folder cannot be made, and a channel to the running copy that no other
// user can take over or use.
#include "ProgramRun.h"
#include "TapporaVersion.h"
#include "TargetClient.h"
#include "TempFolder.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include "XWindows.h"

#include <csignal>
#include <fstream>
#include <linux/capability.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;
constexpr uid_t kNobody = 65534;

// A runtime folder as the session gives it: the user's alone.
void makePrivate(const TempFolder& folder) {
    fs::permissions(folder.path(), fs::perms::owner_all, fs::perm_options::replace);
}

// Both starts use a channel folder of the test's own.
void useChannelFolder(ProgramRun& run, const std::string& runtime, const std::string& temp = "/tmp") {
    run.setEnvironment("XDG_RUNTIME_DIR", runtime);
    run.setEnvironment("TMPDIR", temp);
}

// A process of another user that may pass the folders' permissions (as an administrator's tool may; the test runs as
// root) sends the copy listening in `folder` the command `show`, as `tappora show` would. Exit status 0: answered, 1:
// not answered, 2: not reached.
int askAsAnotherUser(const fs::path& folder) {
    static const char kShow[] = "TAPPORA/1\tshow\n";
    const pid_t child = ::fork();
    if (child == 0) {
        ::prctl(PR_SET_KEEPCAPS, 1);
        if (::setresgid(kNobody, kNobody, kNobody) != 0 || ::setresuid(kNobody, kNobody, kNobody) != 0)
            ::_exit(2);
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct caps[2]{};
        caps[0].effective = caps[0].permitted = 1u << CAP_DAC_OVERRIDE;
        ::syscall(SYS_capset, &header, caps);
        sockaddr_un address{AF_UNIX, {}};
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_socket())
                entry.path().string().copy(address.sun_path, sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            ::_exit(2);
        // The copy may have dropped the line before the command is written.
        ::send(fd, kShow, sizeof kShow - 1, MSG_NOSIGNAL);
        pollfd ready{fd, POLLIN, 0};
        char answer[8];
        ::_exit(::poll(&ready, 1, 3000) > 0 && ::read(fd, answer, sizeof answer) > 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

TEST(SingleCopyTest, ASecondStartFindsTheFirstAlsoWhenTheFilesFolderCannotBeMade) {
    XvfbServer server;
    TargetClient target(server.displayName());
    const TempFolder install("tappora-install"), runtime("tappora-runtime");
    makePrivate(runtime);
    fs::create_directories(install.path() / "bin");
    fs::create_directories(install.path() / "share/applications");
    fs::copy_file(TAPPORA_PROGRAM, install.path() / "bin/tappora");
    std::ofstream(install.path() / "share/applications/tappora.desktop") << "[Desktop Entry]\n";
    ProgramRun first(InstalledCopy{install.path() / "bin/tappora", install.path() / "home"});
    first.setEnvironment("XDG_CONFIG_HOME", "/proc/no-folder-here");
    useChannelFolder(first, runtime.text());
    first.start(server.displayName());
    ASSERT_NE(waitForWindow(target.display(), TAPPORA_TITLE), 0u) << first.errorOutput();

    ProgramRun second(AnotherStart{first});
    second.setEnvironment("XDG_CONFIG_HOME", "/proc/no-folder-here");
    useChannelFolder(second, runtime.text());
    second.start(server.displayName());

    EXPECT_EQ(second.waitForExit(), 0) << second.errorOutput();
    EXPECT_NE(second.errorOutput().find("/proc/no-folder-here/tappora; its window was brought to the front."),
              std::string::npos)
        << second.errorOutput();
    first.signal(SIGTERM);
    EXPECT_EQ(first.waitForExit(), 0) << first.errorOutput();
}

// Without a runtime folder the channel lives in the user's own folder in the temporary folder; another user who made
// that folder first does not get to answer for this copy.
TEST(SingleCopyTest, AChannelFolderTakenByAnotherUserIsRefusedAndSaidAndALaterStartClaimsNothing) {
    XvfbServer server;
    TargetClient target(server.displayName());
    const TempFolder temp("tappora-shared-temp");
    const fs::path squatted = temp.path() / ("tappora-" + std::to_string(::geteuid()));
    fs::create_directory(squatted);
    ASSERT_EQ(::chown(squatted.c_str(), kNobody, kNobody), 0);
    ProgramRun first;
    useChannelFolder(first, "", temp.text());
    first.start(server.displayName());
    ASSERT_NE(waitForWindow(target.display(), TAPPORA_TITLE), 0u) << first.errorOutput();
    EXPECT_NE(first.errorOutput().find("tappora: A later start for the same files cannot bring this window to the "
                                       "front: " +
                                       squatted.string() + " belongs to another user.\n"),
              std::string::npos)
        << first.errorOutput();

    ProgramRun second(AnotherStart{first});
    useChannelFolder(second, "", temp.text());
    second.start(server.displayName());

    EXPECT_EQ(second.waitForExit(), 1) << second.errorOutput();
    EXPECT_EQ(second.errorOutput().find("brought to the front"), std::string::npos) << second.errorOutput();
    first.signal(SIGTERM);
    EXPECT_EQ(first.waitForExit(), 0) << first.errorOutput();
}

TEST(SingleCopyTest, TheRunningCopyAnswersNoProcessOfAnotherUser) {
    XvfbServer server;
    TargetClient target(server.displayName());
    const TempFolder runtime("tappora-runtime");
    makePrivate(runtime);
    ProgramRun run;
    useChannelFolder(run, runtime.text());
    run.start(server.displayName());
    ASSERT_NE(waitForWindow(target.display(), TAPPORA_TITLE), 0u) << run.errorOutput();

    EXPECT_EQ(askAsAnotherUser(runtime.path()), 1);

    run.signal(SIGTERM);
    EXPECT_EQ(run.waitForExit(), 0) << run.errorOutput();
}
