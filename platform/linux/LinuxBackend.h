#pragma once

#include "platform/Backend.h"

#include <memory>
#include <string>
#include <string_view>

// The backends `--backend` names on Linux.
inline constexpr std::string_view kLinuxBackends[] = {"x11", "wlroots"};

// Opens the backend named `requested`, or with an empty name the one this session needs: wlroots in a Wayland
// session whose compositor offers its protocols, X11 otherwise (also through XWayland). Nothing when it cannot be
// opened, with `failure` saying why in one or two sentences.
std::unique_ptr<IBackend> openLinuxBackend(std::string_view requested, std::string& failure);
