#pragma once

#include "platform/Backend.h"

#include <string>
#include <vector>

// What `tappora check` prints and the About box shows, one line each: the backend, the session, then whether clicks,
// captures, hotkeys, the pointer position and the corner that stops every click work here and, where not fully, why.
//
//     Backend: wlroots
//     Session: A Wayland session whose compositor offers the wlroots protocols.
//     Clicks: working.
//     Hotkeys: not working. Wayland lets no program take global keys: ...
std::vector<std::string> BackendReportLines(const TBackendReport& report);
