#include "WaylandSession.h"

CommandResult WaylandSession::run(const std::vector<std::string>& command, std::chrono::milliseconds timeout) const {
    UserProcess process(user(), environment(), command);
    CommandResult result;
    result.output = process.readAll(timeout);
    result.exitStatus = process.waitForExit(timeout);
    return result;
}
