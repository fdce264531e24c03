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
            capabilityLine("Pointer position", report.pointerPosition)};
}
