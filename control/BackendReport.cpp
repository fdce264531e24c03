#include "control/BackendReport.h"

namespace {
std::string capabilityLine(const char* service, const TCapability& capability) {
    std::string line = service;
    line += capability.works ? ": working." : ": not working.";
    if (!capability.why.empty()) {
        line += ' ';
        line += capability.why;
    }
    return line;
}
// The corner that stops every click watches the pointer, so it works exactly where its position can be read.
TCapability CornerStop(const TCapability& pointerPosition) {
    if (pointerPosition.works)
        return {true, "Off unless chosen in Options."};
    return {false, "It watches the pointer, whose position cannot be read here; bind \"tappora stop --all\" to a key "
                   "in the desktop instead."};
}
} // namespace

std::vector<std::string> BackendReportLines(const TBackendReport& report) {
    std::string backend = "Backend: ";
    backend += report.backend;
    std::string session = "Session: ";
    session += report.session;
    return {backend,
            session,
            capabilityLine("Clicks", report.clicks),
            capabilityLine("Captures", report.captures),
            capabilityLine("Hotkeys", report.hotKeys),
            capabilityLine("Pointer position", report.pointerPosition),
            capabilityLine("Corner stop", CornerStop(report.pointerPosition))};
}
