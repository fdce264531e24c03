#include "control/CaptureSession.h"

#include "engine/Desktop.h"
#include "model/ColorText.h"
#include "pixels/Color.h"
#include "platform/EventLoop.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"

#include <cstring>

TCaptureSession::TCaptureSession(IEventLoop& loop, IMouse& mouse, IScreen& screen, ICaptureView& view)
    : m_timer(loop.createTimer()), m_mouse(mouse), m_screen(screen), m_view(view) {
    m_timer->setInterval(kTickMs);
    m_timer->setOnTick([this] { Tick(); });
}

TCaptureSession::~TCaptureSession() {
    m_timer->setEnabled(false);
}

void TCaptureSession::StartPoint() {
    Start(true);
}

void TCaptureSession::StartColor() {
    Start(false);
}

void TCaptureSession::Start(bool point) {
    (point ? m_point : m_color) = true;
    m_timer->setEnabled(true);
}

void TCaptureSession::Stop() {
    m_timer->setEnabled(false);
    m_point = m_color = false;
}

bool TCaptureSession::timerRunning() const {
    return m_timer->enabled();
}

// Should both ever run, the point is served.
void TCaptureSession::Tick() {
    const TPoint pointer = m_mouse.cursorPos();
    if (m_point) {
        m_view.showCapturedPoint(pointer);
        return;
    }
    if (!m_color)
        return;
    const std::uint32_t color = m_screen.pixelColor(pointer.x, pointer.y);
    m_view.showCapturedColor(ColorToString(TColor(color)), SwatchFor(color));
}

void CaptureScope(IScopeCaptureView& view) {
    view.hideEditor();
    view.waitHidden(kHideForCaptureMs);
    if (const auto corners = view.runScopeOverlay())
        view.setScope(corners->first, corners->second);
    view.showEditor();
}

void PickOnFrozenScreen(IScopeCaptureView& view, ICaptureView& shown, TPickKind kind) {
    view.hideEditor();
    view.waitHidden(kHideForCaptureMs);
    if (const std::optional<TPick> pick = view.runPickOverlay()) {
        if (kind == TPickKind::Point)
            shown.showCapturedPoint(pick->point);
        else
            shown.showCapturedColor(pick->colorText, pick->swatch);
    }
    view.showEditor();
}

namespace {
TRect FrozenArea(IScreen& screen, TFrozenScreen::TPart part) {
    if (part == TFrozenScreen::TPart::AllMonitors) {
        const std::vector<TRect> monitors = screen.monitorAreas();
        return DesktopBounds(monitors);
    }
    const TSize primary = screen.screenSize();
    return {0, 0, primary.width, primary.height};
}
} // namespace

TFrozenScreen::TFrozenScreen(IScreen& screen, TPart part) {
    const TRect area = FrozenArea(screen, part);
    m_origin = {area.left, area.top};
    if (!m_pixels.CaptureScreen(screen, area.left, area.top, area.width, area.height) && m_pixels.bits != nullptr)
        std::memset(m_pixels.bits, 0, std::size_t(m_pixels.size));
}

TPick TFrozenScreen::Pick(TPoint at) const {
    const std::uint32_t color = SwapRB(m_pixels.Pixel(at.x, at.y));
    return {ProgramPoint(at), ColorToString(TColor(color)), SwatchFor(color)};
}

TRect TFrozenScreen::PartOfPicture(TRect toolkitScreen, std::span<const TRect> toolkitScreens) {
    const TRect layout = DesktopBounds(toolkitScreens);
    return {toolkitScreen.left - layout.left, toolkitScreen.top - layout.top, toolkitScreen.width,
            toolkitScreen.height};
}
