#pragma once

// What a screen reader reads of the program: a session bus of the test's own, whose accessibility bus the program
// joins when started with environment(), and the names of the program's nodes on it (labels' texts, the list's cells).
//
//     AccessibleNames names;
//     for (const auto& [name, value] : names.environment()) run.setEnvironment(name, value);
//     run.start(display);
//     EXPECT_NE(names.waitFor("Found at ("), "");

#include "TempFolder.h"

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

class AccessibleNames {
public:
    // Throws std::runtime_error when the bus does not start.
    AccessibleNames();
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;
    ~AccessibleNames();

    std::vector<std::pair<std::string, std::string>> environment() const;
    // Every name shown now, one a line.
    std::string all() const;
    // The first name that starts with `start`, waiting for one up to a generous timeout; empty when none came.
    std::string waitFor(const std::string& start) const;

private:
    TempFolder m_folder{"tappora-bus"};
    std::string m_address;
    pid_t m_bus = -1;
};
