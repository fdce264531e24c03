#pragma once

// A private headless sway for one test: no GPU (pixman), no input devices, N outputs laid out as asked, its own
// runtime, home and configuration folders; run as the test user (TestUser.h), stopped when the object goes. Tests
// start every client through it, so that clients reach this compositor only and run as the same user.
//
//     SwayHeadless sway({.outputs = {{.width = 1920, .height = 1080},
//                                    {.width = 1280, .height = 1024, .x = -1280}},
//                        .configLines = {"bindsym Ctrl+F9 exec touch " + file}});
//     WaylandTarget target(sway, {.output = "HEADLESS-2", .background = 0x102030});     // see WaylandTarget.h
//     sway.run({"wtype", "-M", "ctrl", "-k", "F9", "-m", "ctrl"});
//     EXPECT_EQ(sway.screenshot({-1280, 0, 1, 1}).at(0, 0), 0x102030u);
//
// A process of the test's own (the program under test) gets the same: start it with TestUser::become() and the
// variables of environment(), in a folder given to the user with TestUser::own().

#include "TestUser.h"
#include "UserProcess.h"
#include "WaylandSession.h"

#include "platform/Geometry.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// An output as the configuration sets it: its mode in pixels, its position in the layout and its scale.
struct SwayOutputMode {
    int width = 1920;
    int height = 1080;
    int x = 0;
    int y = 0;
    double scale = 1;
};

struct SwayOptions {
    // HEADLESS-1, HEADLESS-2... in this order.
    std::vector<SwayOutputMode> outputs{SwayOutputMode{}};
    // Added at the end of the configuration, e.g. "bindsym Ctrl+F9 exec ...". (The braces keep GCC 12 from warning
    // about designated initializers that leave the member out.)
    std::vector<std::string> configLines{};
    // A session bus of the user's own, started before sway, so that sway, its bar and every client share it
    // (DBUS_SESSION_BUS_ADDRESS in environment()): swaybar's tray offers the StatusNotifierItem service there.
    bool sessionBus = false;
};

// An output as sway reports it: its place in the layout in logical pixels (the mode divided by the scale).
struct SwayOutput {
    std::string name;
    TRect rect;
    double scale = 1;
    friend bool operator==(const SwayOutput&, const SwayOutput&) = default;
};

// Pixels of the screen as 0x00RRGGBB, row after row.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y) * width + x); }
};

class SwayHeadless : public WaylandSession {
public:
    // Throws std::runtime_error when sway cannot be started or its outputs do not come up.
    explicit SwayHeadless(const SwayOptions& options = {});
    SwayHeadless(const SwayHeadless&) = delete;
    SwayHeadless& operator=(const SwayHeadless&) = delete;
    ~SwayHeadless() override;

    const TestUser& user() const override { return m_user; }
    const std::filesystem::path& folder() const override { return m_folder; }
    // WAYLAND_DISPLAY, XDG_RUNTIME_DIR, SWAYSOCK, and HOME, XDG_CONFIG_HOME and XDG_STATE_HOME in the test's folder;
    // DBUS_SESSION_BUS_ADDRESS with the session bus.
    const Environment& environment() const override { return m_environment; }

    // The output of `swaymsg <arguments>`; throws when swaymsg fails.
    std::string swaymsg(const std::vector<std::string>& arguments) const;
    // The active outputs, as `swaymsg -t get_outputs` reports them.
    std::vector<SwayOutput> outputs() const;
    // The pixels of the rectangle, in layout coordinates, through wlr-screencopy (grim).
    ScreenPixels screenshot(const TRect& rect) const;
    // What sway has written to its standard output and error so far.
    std::string log() const;

private:
    void startSessionBus();
    void waitUntilRunning(std::size_t outputCount);

    TestUser m_user;
    std::filesystem::path m_folder;
    std::filesystem::path m_runtime;
    Environment m_environment;
    std::unique_ptr<UserProcess> m_sessionBus;
    std::unique_ptr<UserProcess> m_sway;
};
