// Runs the click target in its own process: prints one line per button event until killed.
// Usage: tappora_target_client DISPLAY

#include "TargetClient.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tappora_target_client DISPLAY\n";
        return 2;
    }
    TargetClient target(argv[1]);
    std::cout << "ready" << std::endl;
    for (std::size_t printed = 0;; ++printed) {
        const auto& events = target.waitForButtonEvents(printed + 1, std::chrono::hours(24));
        if (events.size() <= printed)
            continue;
        std::cout << events[printed] << std::endl;
    }
}
