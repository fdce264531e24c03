#pragma once

#include "platform/OutputPicture.h"
#include "platform/wayland/WaylandLayoutScreen.h"

#include <memory>
#include <vector>

class IClock;
class PipeWireCapture;
class PipeWireLoop;
class PortalSession;

// The screen as one picture composed of the portal session's monitor streams, at the monitors' places in the
// compositor's layout (xdg-output gives the layout before any session exists). The first reading starts the session
// when no click has; the streams then run as long as the session, and each frame is taken in as it comes, so a
// reading waits only for the first frame of every stream.
class PortalScreen : public WaylandLayoutScreen {
public:
    PortalScreen(WaylandConnection& connection, WaylandLayout& layout, PortalSession& session, PipeWireLoop& loop,
                 IClock& clock);
    PortalScreen(const PortalScreen&) = delete;
    PortalScreen& operator=(const PortalScreen&) = delete;
    ~PortalScreen() override;

    bool copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) override;
    std::uint32_t pixelColor(int x, int y) override;
    std::optional<std::vector<TRect>> changedAreas() override;
    // The streams go with a session that ended.
    void sessionChanged();

private:
    // Brings the picture up to date. Throws, as the session does, while the session cannot be used, and while a
    // stream has sent no frame yet: the first reading of a capture waits a moment for them, later ones do not, so
    // that a desktop that sends none (KWin without OpenGL) does not hold up every tick.
    void refresh();
    void startCapture();

    PortalSession& m_session;
    PipeWireLoop& m_loop;
    IClock& m_clock;
    std::unique_ptr<PipeWireCapture> m_capture;
    std::vector<TRect> m_streamAreas;
    OutputPicture m_picture;
    bool m_changesKnown = false;
    bool m_waitedForFirstFrames = false;
};
