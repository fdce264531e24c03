#include "ProcessUsage.h"

#include <gtest/gtest.h>

#include <cctype>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct StatCase {
    const char* what;
    std::string line;
    pid_t parent;
    long long cpuTicks;
};

class ProcessStatTest : public testing::TestWithParam<StatCase> {};

TEST_P(ProcessStatTest, ReadsTheParentAndTheUserAndSystemTime) {
    const ProcessStat stat = ParseProcessStat(GetParam().line);
    EXPECT_EQ(stat.parent, GetParam().parent);
    EXPECT_EQ(stat.cpuTicks, GetParam().cpuTicks);
}

// Fields 14 and 15 (utime 250, stime 75) follow 10 others after the command name.
const std::string kTail = " S 1000 1234 1234 0 -1 4194560 100 0 0 0 250 75 0 0 20 0 1 0 1585 9000 300";

INSTANTIATE_TEST_SUITE_P(
    Lines, ProcessStatTest,
    testing::Values(StatCase{"plain", "1234 (sway)" + kTail, 1000, 325},
                    StatCase{"a name with spaces and parentheses", "1234 (a) b (c)" + kTail, 1000, 325},
                    StatCase{"cut before the system time", "1234 (sway) S 1000 1 1 0 -1 4194560 100 0 0 0 250", -1, 0},
                    StatCase{"no name", "1234 sway S 1000", -1, 0}, StatCase{"empty", "", -1, 0}),
    [](const testing::TestParamInfo<StatCase>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

// Only a process this one started counts: the name alone would also find those of other users and tests.
TEST(ChildProcessNamed, FindsTheChildStartedHereByItsName) {
    const pid_t child = fork();
    if (child == 0) {
        execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(child, 0);
    pid_t found = -1;
    for (int attempt = 0; attempt < 200 && found != child; ++attempt) {
        found = ChildProcessNamed("sleep");
        usleep(10000);
    }
    EXPECT_EQ(found, child);
    EXPECT_EQ(ChildProcessNamed("no such command"), -1);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

} // namespace
