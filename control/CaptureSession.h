#pragma once

#include "control/ColorSwatch.h"
#include "platform/Geometry.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

class IEventLoop;
class IMouse;
class IScreen;
class ITimer;

// What a capture shows in the editor.
class ICaptureView {
public:
    virtual ~ICaptureView() = default;
    virtual void showCapturedPoint(TPoint point) = 0;
    virtual void showCapturedColor(const std::string& text, TSwatch swatch) = 0;
};

// Taking a fixed point or a colour from the live screen: while it runs, every tick shows where the pointer is or
// the colour under it. A typed character in the editor (any key that types one, Escape and Enter included), a
// point-type choice, OK and closing end it; the last values shown stay.
class TCaptureSession {
public:
    static constexpr int kTickMs = 10;

    TCaptureSession(IEventLoop& loop, IMouse& mouse, IScreen& screen, ICaptureView& view);
    ~TCaptureSession();

    void StartPoint();
    void StartColor();
    void Stop();
    // A key that types a character reached the editor; the character still goes to its control.
    void CharacterTyped() { Stop(); }
    // One capture tick, as the timer runs it.
    void Tick();

    bool capturingPoint() const { return m_point; }
    bool capturingColor() const { return m_color; }
    bool timerRunning() const;

private:
    void Start(bool point);

    std::unique_ptr<ITimer> m_timer;
    IMouse& m_mouse;
    IScreen& m_screen;
    ICaptureView& m_view;
    bool m_point = false;
    bool m_color = false;
};

// What Capture Scope asks of the editor.
class IScopeCaptureView {
public:
    virtual ~IScopeCaptureView() = default;
    virtual void hideEditor() = 0;
    // Lets timers, hotkeys and painting run meanwhile; the user's input waits.
    virtual void waitHidden(int milliseconds) = 0;
    // The corners of the drag on the scope overlay, as the pointer gave them; nothing when it gave no scope.
    virtual std::optional<std::pair<TPoint, TPoint>> runScopeOverlay() = 0;
    virtual void setScope(TPoint start, TPoint end) = 0;
    virtual void showEditor() = 0;
};

// Capture Scope: the editor gets out of the way of the screen the overlay freezes, long enough for the desktop to
// repaint where it was, and comes back with the dragged scope.
void CaptureScope(IScopeCaptureView& view);
constexpr int kHideForScopeMs = 200;
