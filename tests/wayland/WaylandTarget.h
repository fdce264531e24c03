#pragma once

// The click target of the Wayland tests: tappora_wayland_target (TargetClient.cpp) started in a WaylandSession,
// full screen on one output, painted with a scene; it reports the pointer buttons its window receives. Killed when the
// object goes.
//
//     WaylandTarget target(sway, {.output = "HEADLESS-1", .background = 0xFFFFFF,
//                                 .rects = {{100, 50, 20, 10, 0xFF0000}}});
//     EXPECT_EQ(target.waitReady(), (TSize{1920, 1080}));
//     ... make the program click at (110, 55) ...
//     EXPECT_EQ(target.nextButton(), (PointerButton{PointerButton::left, true, 110, 55}));

#include "UserProcess.h"
#include "WaylandSession.h"

#include "platform/Geometry.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// (The braces after the members keep GCC 12 from warning about designated initializers that leave them out.)
struct WaylandScene {
    // The output to be full screen on ("HEADLESS-2"); empty: the one sway picks.
    std::string output{};
    // 0x00RRGGBB colours.
    std::uint32_t background = 0;
    struct Rect {
        TRect place; // in the window's logical pixels
        std::uint32_t colour = 0;
    };
    // Painted in this order, over the background.
    std::vector<Rect> rects{};
    // A 24-bit BMP file the user can read (in SwayHeadless::folder()), painted last with its top left at
    // picturePlace; none when empty.
    std::filesystem::path picture{};
    TPoint picturePlace{};
    // The window changes at every frame the compositor shows (the background's lowest blue bit in turns), so that the
    // output changes as under a video.
    bool animate = false;
};

// A pointer button event as the target's window received it, at the window position (logical pixels) of the last
// pointer motion.
struct PointerButton {
    // The Linux input codes.
    static constexpr unsigned left = 272;
    static constexpr unsigned right = 273;
    static constexpr unsigned middle = 274;

    unsigned button = 0;
    bool pressed = false;
    int x = 0;
    int y = 0;
    friend bool operator==(const PointerButton&, const PointerButton&) = default;
};

std::ostream& operator<<(std::ostream& out, const PointerButton& event);

class WaylandTarget {
public:
    WaylandTarget(const WaylandSession& session, const WaylandScene& scene);
    WaylandTarget(const WaylandTarget&) = delete;
    WaylandTarget& operator=(const WaylandTarget&) = delete;

    // The window's size in logical pixels once it is full screen and painted on the screen; throws
    // std::runtime_error when that does not happen within `timeout` (the target's errors are in the test's output).
    TSize waitReady(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // The next pointer button event; nothing when none came within `timeout`.
    std::optional<PointerButton> nextButton(std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    UserProcess m_process;
};
