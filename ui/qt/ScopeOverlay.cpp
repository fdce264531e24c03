#include "ui/qt/ScopeOverlay.h"

#include "platform/ErrorGuard.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>
#include <vector>

namespace {
// The screen's bottom-up B,G,R rows as an image.
QImage snapshot(IScreen& screen) {
    const TSize size = screen.screenSize();
    if (size.width <= 0 || size.height <= 0)
        return {};
    const int lineWidth = (size.width * 3 + 3) & ~3;
    std::vector<std::uint8_t> bits(std::size_t(lineWidth) * std::size_t(size.height));
    QImage image(size.width, size.height, QImage::Format_RGB32);
    if (!screen.copyRect(0, 0, size.width, size.height, bits.data(), lineWidth)) {
        image.fill(Qt::black);
        return image;
    }
    for (int y = 0; y < size.height; ++y) {
        const std::uint8_t* row = bits.data() + std::size_t(size.height - 1 - y) * std::size_t(lineWidth);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width; ++x)
            line[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
    return image;
}

// Drawing inverts every pixel it touches, so drawing the same figure again restores the snapshot.
void setNotPen(QPainter& painter) {
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
}
} // namespace

TScopeOverlay::TScopeOverlay(IScreen& screen, IMouse& mouse, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_mouse(mouse) {
    setWindowTitle("fmCopy");
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    FormCreate(screen);
}

void TScopeOverlay::FormCreate(IScreen& screen) {
    m_image = snapshot(screen);
    drag = TScopeDrag({m_image.width(), m_image.height()});
    // The snapshot is the primary monitor, whose top-left is the origin of the program's positions: shown there, a
    // point of the overlay is the program position of the pixel under it, on any layout of monitors.
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QPoint origin = primary != nullptr ? primary->geometry().topLeft() : QPoint();
    setGeometry(origin.x(), origin.y(), m_image.width(), m_image.height());
    setWindowState(Qt::WindowFullScreen);
}

void TScopeOverlay::invert(const std::vector<TLine>& lines) {
    if (!lines.empty()) {
        QPainter painter(&m_image);
        setNotPen(painter);
        for (const TLine& line : lines)
            painter.drawLine(line.from.x, line.from.y, line.to.x, line.to.y);
        update();
    }
    if (drag.finished())
        accept();
}

void TScopeOverlay::OverlayMouseMove(int x, int y) {
    invert(drag.MouseMove({x, y}));
}

void TScopeOverlay::OverlayMouseDown(int x, int y) {
    invert(drag.MouseDown({x, y}));
}

void TScopeOverlay::OverlayMouseUp(int x, int y) {
    invert(drag.MouseUp({x, y}));
}

// Qt gives positions in whole units of the display scale: at 150 % two screen pixels share one position. The
// backend's pointer position is exact; it is taken while it still lies within the event's unit (the pointer has not
// moved on since the event).
TPoint TScopeOverlay::screenPoint(const QMouseEvent* event) const {
    const qreal scale = devicePixelRatioF();
    const QPointF scaled = event->position() * scale;
    const TPoint pointer = m_mouse.cursorPos();
    if (std::abs(pointer.x - scaled.x()) < scale && std::abs(pointer.y - scaled.y()) < scale)
        return pointer;
    return {qRound(scaled.x()), qRound(scaled.y())};
}

void TScopeOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QImage shown = m_image;
    shown.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(0, 0, shown);
}

void TScopeOverlay::mousePressEvent(QMouseEvent* event) {
    const TPoint at = screenPoint(event);
    runGuarded([&] { OverlayMouseDown(at.x, at.y); });
}

void TScopeOverlay::mouseMoveEvent(QMouseEvent* event) {
    const TPoint at = screenPoint(event);
    runGuarded([&] { OverlayMouseMove(at.x, at.y); });
}

void TScopeOverlay::mouseReleaseEvent(QMouseEvent* event) {
    const TPoint at = screenPoint(event);
    runGuarded([&] { OverlayMouseUp(at.x, at.y); });
}

// No key cancels the overlay; Escape would otherwise reject it.
void TScopeOverlay::keyPressEvent(QKeyEvent* event) {
    event->accept();
}
