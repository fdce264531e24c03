#include "control/CaptureSession.h"

#include "model/ColorText.h"
#include "platform/EventLoop.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"

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
    view.waitHidden(kHideForScopeMs);
    if (const auto corners = view.runScopeOverlay())
        view.setScope(corners->first, corners->second);
    view.showEditor();
}
