#pragma once

#include "control/ColorSwatch.h"
#include "platform/Geometry.h"

#include <memory>
#include <string>

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
