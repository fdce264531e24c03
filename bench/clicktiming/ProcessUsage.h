#pragma once

// What another process costs, read from /proc: processor time, resident memory, and finding a child by its name.

#include <string>
#include <sys/types.h>

// A process as one line of /proc/PID/stat tells it.
struct ProcessStat {
    pid_t parent = -1;
    // User and system time, in clock ticks (sysconf(_SC_CLK_TCK) a second).
    long long cpuTicks = 0;
};

// Nothing readable in the line gives parent -1. The command name in parentheses may hold spaces and parentheses.
ProcessStat ParseProcessStat(const std::string& statLine);
// Processor time (user and system) of a process so far, in ms; 0 when it is gone.
double ProcessCpuMs(pid_t pid);
double ResidentMb(pid_t pid);
// A process this one started with that command name (as /proc shows it: "Xvfb", "sway"), or -1.
pid_t ChildProcessNamed(const std::string& name);
