#pragma once

// Clicks of the Wayland tests' lists, the picture they look for, and the button events a click should cause at the
// target (WaylandTarget.h).

#include "WaylandSession.h"
#include "WaylandTarget.h"

#include "model/MouseObj.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A left single click at the fixed point (x, y), made once 50 ms after its start.
TMouseObj clickAt(const std::string& name, int x, int y);
// The same on the first pixel of `rgb` (0x00RRGGBB) in `scope`.
TMouseObj colourClick(const std::string& name, std::uint32_t rgb, TRect scope);
// The same on the centre of the picture in the BMP file `picture`.
TMouseObj pictureClickOf(const std::string& name, const std::filesystem::path& picture);
// Writes a picture no other place of the screen shows, a gradient of 8 x 6 pixels, as a BMP file the session's user
// can read, in the session's folder; returns its path.
std::filesystem::path writeUniquePicture(const WaylandSession& session);
// The button events of one click of each kind, at the window position `at`.
std::vector<PointerButton> pressesOf(unsigned button, TActionType action, TPoint at);
// The next `count` button events of the target, fewer when they do not come within its wait each.
std::vector<PointerButton> nextButtons(WaylandTarget& target, std::size_t count);
