#pragma once

#include "platform/OutputPicture.h"
#include "platform/wayland/WaylandLayoutScreen.h"
#include "platform/wayland/WaylandOutputCapture.h"

#include <memory>
#include <string>
#include <vector>

class IClock;
class WaylandConnection;
class WaylandLayout;

// The screen as one picture composed of every output's frames (screen copy), in the program's positions. Each
// output's picture is kept and, while the program reads it, brought up to date frame by frame where the compositor
// reports damage; a scaled output is sampled to one pixel per logical pixel, so a position found in the picture is
// the position a click lands on.
//
// Freshness: while the program reads the screen, a copy of every output is always pending (WaylandOutputCapture); an
// unchanged output costs nothing. A reading starts by waiting until the compositor has handled everything sent before
// it, so the last frame each output showed before the reading is in the picture. After a second without a reading
// the copying stops, so that a changing screen costs nothing while no click searches; the next reading then waits
// for one whole new frame of every output.
class WaylandScreen : public WaylandLayoutScreen {
public:
    WaylandScreen(WaylandConnection& connection, WaylandLayout& layout, IClock& clock);
    WaylandScreen(const WaylandScreen&) = delete;
    WaylandScreen& operator=(const WaylandScreen&) = delete;
    ~WaylandScreen() override;

    bool copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) override;
    std::uint32_t pixelColor(int x, int y) override;
    std::optional<std::vector<TRect>> changedAreas() override;

private:
    // Brings the picture up to date; false when an output's frame could not be had.
    bool refresh(bool waitForCompositor);
    void rebuild();
    // Composes the frame in; whether to go on copying the output.
    bool takeFrame(std::size_t output, const WaylandOutputCapture::Frame& frame);
    bool awaitFrames();

    IClock& m_clock;
    std::vector<std::unique_ptr<WaylandOutputCapture>> m_captures;
    std::vector<bool> m_received;
    OutputPicture m_picture;
    bool m_changesKnown = false;
    std::uint32_t m_lastReading = 0;
};
