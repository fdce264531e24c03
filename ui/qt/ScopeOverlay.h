#pragma once

#include "control/CaptureSession.h"
#include "control/ScopeDrag.h"

#include <QDialog>
#include <QImage>

#include <vector>

class IMouse;
class IScreen;
class QScreen;
class TScopeOverlay;

// How the overlay covers the screen: one window over the primary monitor where the program places its windows and
// reads the pointer (X11), one full-screen window on each monitor where it can do neither (Wayland).
enum class TOverlayWindows { OverPrimary, OnEachScreen };

// The overlay's window on a screen other than its own: it shows its part of the frozen picture and hands the
// pointer's events on at picture positions.
class TOverlayPart : public QWidget {
public:
    TOverlayPart(TScopeOverlay& overlay, QScreen* screen, QRect area);

    // The part of the picture shown.
    QRect area() const { return m_area; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TScopeOverlay& m_overlay;
    QRect m_area;
};

// A frozen picture of the screen on which the user drags a search scope or picks a pixel. Accepted when a rectangle
// was dragged or a pixel pressed; drag.FStartPos and drag.FEndPos are then its corners as the pointer gave them,
// unsorted, in the picture's pixels, which frozen() turns into program positions and colours. Escape cancels a pick;
// no key cancels a scope.
class TScopeOverlay : public QDialog {
    Q_OBJECT
public:
    // What the platform Qt runs on lets the overlay do.
    static TOverlayWindows windowsHere();

    // Over the primary monitor, `mouse` gives the pointer's position in screen pixels, which Qt's events round at a
    // fractional display scale.
    TScopeOverlay(IScreen& screen, IMouse& mouse, TDragKind kind = TDragKind::Scope,
                  TOverlayWindows windows = windowsHere(), QWidget* parent = nullptr);

    void OverlayMouseDown(int x, int y);
    void OverlayMouseMove(int x, int y);
    void OverlayMouseUp(int x, int y);
    // Escape: a pick ends without a pixel.
    void EscapePressed();

    // The snapshot with the crosshair or band drawn on it, as shown.
    const QImage& image() const { return m_image; }
    const TFrozenScreen& frozen() const { return m_frozen; }
    // The part of the picture this window shows: all of it over the primary monitor.
    QRect area() const { return m_area; }
    // The windows on the other screens.
    const std::vector<TOverlayPart*>& parts() const { return m_parts; }

    // The drag's state; its corners are read after the modal loop.
    TScopeDrag drag{{}};

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void FormCreate(TDragKind kind);
    void placeOnEachScreen();
    // Inverts the lines and shows the result; a finished drag accepts the overlay.
    void invert(const std::vector<TLine>& lines);
    TPoint picturePoint(const QMouseEvent* event) const;

    IMouse& m_mouse;
    TOverlayWindows m_windows;
    TFrozenScreen m_frozen;
    QImage m_image;
    QRect m_area;
    std::vector<TOverlayPart*> m_parts;
};
