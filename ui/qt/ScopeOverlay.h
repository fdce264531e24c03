#pragma once

#include "control/ScopeDrag.h"

#include <QDialog>
#include <QImage>

class IMouse;
class IScreen;

// A frozen picture of the whole screen on which the user drags a search scope. Accepted when a rectangle was
// dragged; drag.FStartPos and drag.FEndPos are then its corners as the pointer gave them, unsorted, in screen pixels.
class TScopeOverlay : public QDialog {
    Q_OBJECT
public:
    // `mouse` gives the pointer's position in screen pixels, which Qt's events round at a fractional display scale.
    TScopeOverlay(IScreen& screen, IMouse& mouse, QWidget* parent = nullptr);

    void OverlayMouseDown(int x, int y);
    void OverlayMouseMove(int x, int y);
    void OverlayMouseUp(int x, int y);

    // The snapshot with the crosshair or band drawn on it, as shown.
    const QImage& image() const { return m_image; }

    // The drag's state; its corners are read after the modal loop.
    TScopeDrag drag{{}};

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate(IScreen& screen);
    // Inverts the lines and shows the result; a finished drag accepts the overlay.
    void invert(const std::vector<TLine>& lines);
    TPoint screenPoint(const QMouseEvent* event) const;

    IMouse& m_mouse;
    QImage m_image;
};
