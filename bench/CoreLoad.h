#pragma once

// Loads for benchmarks that measure a piece of work both with a free core and without one.

#include <sched.h>
#include <sys/types.h>
#include <time.h>

#include <atomic>
#include <thread>
#include <vector>

// While it lives, the calling thread and the process `partner` (the X server it talks to, say) run on the first
// processor the thread may use, and a spinning thread keeps each other one busy: nothing the two do can overlap.
// Both get their own processors back at the end.
class OtherCoresBusy {
public:
    explicit OtherCoresBusy(pid_t partner);
    OtherCoresBusy(const OtherCoresBusy&) = delete;
    OtherCoresBusy& operator=(const OtherCoresBusy&) = delete;
    ~OtherCoresBusy();

private:
    void spinOn(int cpu);

    pid_t m_partner;
    cpu_set_t m_mine{};
    cpu_set_t m_partners{};
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_spinners;
};

// The processor time of the calling thread and of the process `partner` together, in nanoseconds: unlike the wall
// time, other programs on the machine do not lengthen it.
class PairProcessorTime {
public:
    explicit PairProcessorTime(pid_t partner);
    double nanoseconds() const;

private:
    clockid_t m_partner{};
};
