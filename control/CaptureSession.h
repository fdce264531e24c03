#pragma once

#include "control/ColorSwatch.h"
#include "pixels/PixelBuffer.h"
#include "platform/Geometry.h"

#include <memory>
#include <optional>
#include <span>
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

// A pixel picked on the frozen screen: where it is, and its colour as the colour edit and the swatch show it.
struct TPick {
    TPoint point;
    std::string colorText;
    TSwatch swatch;
    friend bool operator==(const TPick&, const TPick&) = default;
};

// The picture of the screen that the scope overlay shows, taken once, on which a scope is dragged or a pixel picked.
// Its pixels are read from it, never from the live screen, and its top-left pixel lies at `origin()` in the
// program's positions.
class TFrozenScreen {
public:
    // What is taken: the primary monitor, for one overlay over it (where the program can place its windows and read
    // the pointer), or every monitor, for one overlay on each (where it can do neither: Wayland).
    enum class TPart { Primary, AllMonitors };

    // Pixels the screen could not give are black.
    TFrozenScreen(IScreen& screen, TPart part);

    const TPixelBuffer& pixels() const { return m_pixels; }
    TPoint origin() const { return m_origin; }
    // The program position of the picture's pixel `at`.
    TPoint ProgramPoint(TPoint at) const { return {m_origin.x + at.x, m_origin.y + at.y}; }
    // The picture's pixel `at` picked; black off the picture.
    TPick Pick(TPoint at) const;

    // Where one of the toolkit's screens lies in the picture of every monitor. The toolkit lays its screens out as the
    // compositor does, whose origin is not the program's (the primary monitor's top-left); both layouts hold the
    // same monitors, so they match at their top-left corners.
    static TRect PartOfPicture(TRect toolkitScreen, std::span<const TRect> toolkitScreens);

private:
    TPoint m_origin;
    TPixelBuffer m_pixels;
};

// What Capture Scope and picking on the frozen screen ask of the editor.
class IScopeCaptureView {
public:
    virtual ~IScopeCaptureView() = default;
    virtual void hideEditor() = 0;
    // Lets timers, hotkeys and painting run meanwhile; the user's input waits.
    virtual void waitHidden(int milliseconds) = 0;
    // The corners of the drag on the scope overlay in the program's positions, unsorted; nothing when the user gave
    // no scope.
    virtual std::optional<std::pair<TPoint, TPoint>> runScopeOverlay() = 0;
    // The pixel clicked on the overlay, picked from its frozen picture; nothing when the user gave none (Escape).
    virtual std::optional<TPick> runPickOverlay() = 0;
    virtual void setScope(TPoint start, TPoint end) = 0;
    virtual void showEditor() = 0;
};

// Capture Scope: the editor gets out of the way of the screen the overlay freezes, long enough for the desktop to
// repaint where it was, and comes back with the dragged scope.
void CaptureScope(IScopeCaptureView& view);
// How long the editor stays out of the way before a capture (Capture Scope, picking, Find now).
constexpr int kHideForCaptureMs = 200;

enum class TPickKind { Point, Color };
// Picking a point or a colour on the frozen screen, beside the live capture and instead of it where the pointer
// cannot be read: the editor gets out of the way as for Capture Scope and comes back showing the pixel clicked as a
// capture shows it.
void PickOnFrozenScreen(IScopeCaptureView& view, ICaptureView& shown, TPickKind kind);
