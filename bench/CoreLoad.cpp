#include "CoreLoad.h"

#include <pthread.h>

namespace {
cpu_set_t only(int cpu) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    return set;
}

double read(clockid_t clock) {
    timespec time{};
    clock_gettime(clock, &time);
    return static_cast<double>(time.tv_sec) * 1e9 + static_cast<double>(time.tv_nsec);
}
} // namespace

OtherCoresBusy::OtherCoresBusy(pid_t partner) : m_partner(partner) {
    sched_getaffinity(0, sizeof m_mine, &m_mine);
    sched_getaffinity(partner, sizeof m_partners, &m_partners);
    int first = -1;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (!CPU_ISSET(cpu, &m_mine))
            continue;
        if (first < 0)
            first = cpu;
        else
            m_spinners.emplace_back([this, cpu] { spinOn(cpu); });
    }
    const cpu_set_t one = only(first);
    sched_setaffinity(0, sizeof one, &one);
    sched_setaffinity(partner, sizeof one, &one);
}

OtherCoresBusy::~OtherCoresBusy() {
    m_stop = true;
    for (std::thread& spinner : m_spinners)
        spinner.join();
    sched_setaffinity(0, sizeof m_mine, &m_mine);
    sched_setaffinity(m_partner, sizeof m_partners, &m_partners);
}

void OtherCoresBusy::spinOn(int cpu) {
    const cpu_set_t one = only(cpu);
    pthread_setaffinity_np(pthread_self(), sizeof one, &one);
    while (!m_stop.load(std::memory_order_relaxed)) {
    }
}

PairProcessorTime::PairProcessorTime(pid_t partner) {
    clock_getcpuclockid(partner, &m_partner);
}

double PairProcessorTime::nanoseconds() const {
    return read(CLOCK_THREAD_CPUTIME_ID) + read(m_partner);
}
