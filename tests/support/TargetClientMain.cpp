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
    std::size_t printed = 0;
    while (true) {
        const auto& events = target.waitForButtonEvents(printed + 1, std::chrono::hours(24));
        for (; printed < events.size(); ++printed)
            std::cout << events[printed] << std::endl;
    }
}
