#pragma once

#include "platform/Geometry.h"

#include <QDialog>
#include <QImage>

class IScreen;

// A frozen picture of the whole screen on which the user drags a search scope. Accepted when a rectangle was
// dragged; FStartPos and FEndPos are then its corners as the pointer gave them, unsorted, in screen pixels.
class TfmCopy : public QDialog {
    Q_OBJECT
public:
    explicit TfmCopy(IScreen& screen, QWidget* parent = nullptr);

    void Image1MouseDown(int x, int y);
    void Image1MouseMove(int x, int y);
    void Image1MouseUp(int x, int y);

    // The snapshot with the crosshair or band drawn on it, as shown.
    const QImage& image() const { return m_image; }

    bool FDragging = false;
    bool FCrossHair = true;
    TPoint FCrossPos{-1, -1};
    TPoint FCurPos;
    TPoint FStartPos;
    TPoint FEndPos;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate(IScreen& screen);
    void drawCrossHair(TPoint at);
    void drawBand(TPoint from, TPoint to);
    TPoint screenPoint(const QMouseEvent* event) const;

    QImage m_image;
};
