#include "CoreLoad.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

cpu_set_t affinityOf(pid_t process) {
    cpu_set_t set;
    CPU_ZERO(&set);
    sched_getaffinity(process, sizeof set, &set);
    return set;
}

// A child process to pin and to time, spinning until it is killed.
class Partner {
public:
    Partner() : m_pid(fork()) {
        if (m_pid == 0)
            for (;;) {
            }
    }
    Partner(const Partner&) = delete;
    Partner& operator=(const Partner&) = delete;
    ~Partner() {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid;
};

// Left pinned, every benchmark after the busy one would run without a free core too.
TEST(OtherCoresBusy, PinsThisThreadAndThePartnerToOneProcessorAndGivesBothTheirOwnBack) {
    const cpu_set_t mine = affinityOf(0);
    if (CPU_COUNT(&mine) < 2)
        GTEST_SKIP() << "one processor: nothing to keep busy";
    Partner partner;
    ASSERT_GT(partner.pid(), 0);
    const cpu_set_t partners = affinityOf(partner.pid());
    {
        OtherCoresBusy busy(partner.pid());
        cpu_set_t pinned = affinityOf(0);
        cpu_set_t partnerPinned = affinityOf(partner.pid());
        EXPECT_EQ(CPU_COUNT(&pinned), 1);
        EXPECT_TRUE(CPU_EQUAL(&pinned, &partnerPinned));
    }
    cpu_set_t after = affinityOf(0);
    cpu_set_t partnerAfter = affinityOf(partner.pid());
    EXPECT_TRUE(CPU_EQUAL(&after, &mine));
    EXPECT_TRUE(CPU_EQUAL(&partnerAfter, &partners));
}

// The server's share of a capture is most of it: missing it would make every capture look cheap.
TEST(PairProcessorTime, CountsThePartnersTimeBesideThisThreads) {
    Partner partner;
    ASSERT_GT(partner.pid(), 0);
    const PairProcessorTime pair(partner.pid());
    const auto ownTime = [] {
        timespec time{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
        return static_cast<double>(time.tv_sec) * 1e9 + static_cast<double>(time.tv_nsec);
    };
    const double pairStart = pair.nanoseconds();
    const double ownStart = ownTime();
    double partnersShare = 0;
    for (int wait = 0; wait < 1000 && partnersShare < 5e6; ++wait) {
        usleep(10000);
        partnersShare = (pair.nanoseconds() - pairStart) - (ownTime() - ownStart);
    }
    EXPECT_GE(partnersShare, 5e6);
}

} // namespace
