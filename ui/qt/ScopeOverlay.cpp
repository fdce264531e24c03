#include "ui/qt/ScopeOverlay.h"

#include "platform/ErrorGuard.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>
#include <vector>

namespace {
// The frozen picture's bottom-up B,G,R rows as an image.
QImage imageOf(const TPixelBuffer& pixels) {
    QImage image(std::max(pixels.width, 1), std::max(pixels.height, 1), QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int y = 0; y < pixels.height; ++y) {
        const std::uint8_t* row = pixels.Row(y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < pixels.width; ++x)
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

TRect rectOf(QRect rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

// Where the screen's part lies in the picture of every monitor.
QRect partOfPicture(const QScreen* screen) {
    std::vector<TRect> layout;
    for (const QScreen* each : QGuiApplication::screens())
        layout.push_back(rectOf(each->geometry()));
    const TRect part = TFrozenScreen::PartOfPicture(rectOf(screen->geometry()), layout);
    return {part.left, part.top, part.width, part.height};
}

// A window over one screen: the picture's pixels are the screen's own, so a position in it is a picture position.
TPoint pointIn(QRect area, const QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    return {area.x() + at.x(), area.y() + at.y()};
}

// A window that fills its screen, over the overlay's other windows.
void fillScreen(QWidget& window, QScreen* screen) {
    window.setScreen(screen);
    window.setGeometry(screen->geometry());
    window.setWindowState(Qt::WindowFullScreen);
}
} // namespace

TOverlayPart::TOverlayPart(TScopeOverlay& overlay, QScreen* screen, QRect area)
    : QWidget(&overlay, Qt::Window | Qt::FramelessWindowHint), m_overlay(overlay), m_area(area) {
    setWindowTitle(overlay.windowTitle());
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    fillScreen(*this, screen);
}

void TOverlayPart::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(rect(), m_overlay.image(), m_area);
}

void TOverlayPart::mousePressEvent(QMouseEvent* event) {
    const TPoint at = pointIn(m_area, event);
    runGuarded([&] { m_overlay.OverlayMouseDown(at.x, at.y); });
}

void TOverlayPart::mouseMoveEvent(QMouseEvent* event) {
    const TPoint at = pointIn(m_area, event);
    runGuarded([&] { m_overlay.OverlayMouseMove(at.x, at.y); });
}

void TOverlayPart::mouseReleaseEvent(QMouseEvent* event) {
    const TPoint at = pointIn(m_area, event);
    runGuarded([&] { m_overlay.OverlayMouseUp(at.x, at.y); });
}

void TOverlayPart::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        m_overlay.EscapePressed();
    event->accept();
}

TOverlayWindows TScopeOverlay::windowsHere() {
    return QGuiApplication::platformName().startsWith("wayland") ? TOverlayWindows::OnEachScreen
                                                                 : TOverlayWindows::OverPrimary;
}

TScopeOverlay::TScopeOverlay(IScreen& screen, IMouse& mouse, TDragKind kind, TOverlayWindows windows, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_mouse(mouse), m_windows(windows),
      m_frozen(screen, windows == TOverlayWindows::OnEachScreen ? TFrozenScreen::TPart::AllMonitors
                                                                : TFrozenScreen::TPart::Primary) {
    setWindowTitle("fmCopy");
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    FormCreate(kind);
}

void TScopeOverlay::FormCreate(TDragKind kind) {
    m_image = imageOf(m_frozen.pixels());
    m_area = m_image.rect();
    drag = TScopeDrag({m_image.width(), m_image.height()}, kind);
    if (m_windows == TOverlayWindows::OnEachScreen) {
        placeOnEachScreen();
        return;
    }
    // The snapshot is the primary monitor, whose top-left is the origin of the program's positions: shown there, a
    // point of the overlay is the program position of the pixel under it, on any layout of monitors.
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QPoint origin = primary != nullptr ? primary->geometry().topLeft() : QPoint();
    setGeometry(origin.x(), origin.y(), m_image.width(), m_image.height());
    setWindowState(Qt::WindowFullScreen);
}

// The dialog covers the primary screen, a part window each other one.
void TScopeOverlay::placeOnEachScreen() {
    QScreen* primary = QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            m_parts.push_back(new TOverlayPart(*this, screen, partOfPicture(screen)));
    if (primary == nullptr)
        return;
    m_area = partOfPicture(primary);
    fillScreen(*this, primary);
}

void TScopeOverlay::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    for (TOverlayPart* part : m_parts)
        part->show();
}

void TScopeOverlay::done(int result) {
    for (TOverlayPart* part : m_parts)
        part->hide();
    QDialog::done(result);
}

void TScopeOverlay::invert(const std::vector<TLine>& lines) {
    if (!lines.empty()) {
        QPainter painter(&m_image);
        setNotPen(painter);
        for (const TLine& line : lines)
            painter.drawLine(line.from.x, line.from.y, line.to.x, line.to.y);
        update();
        for (TOverlayPart* part : m_parts)
            part->update();
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

void TScopeOverlay::EscapePressed() {
    if (drag.kind() == TDragKind::Point)
        reject();
}

// Over the primary monitor Qt gives positions in whole units of the display scale: at 150 % two screen pixels share
// one position. The backend's pointer position is exact; it is taken while it still lies within the event's unit (the
// pointer has not moved on since the event). A window on each screen has one picture pixel per unit.
TPoint TScopeOverlay::picturePoint(const QMouseEvent* event) const {
    if (m_windows == TOverlayWindows::OnEachScreen)
        return pointIn(m_area, event);
    const qreal scale = devicePixelRatioF();
    const QPointF scaled = event->position() * scale;
    const TPoint pointer = m_mouse.cursorPos();
    if (std::abs(pointer.x - scaled.x()) < scale && std::abs(pointer.y - scaled.y()) < scale)
        return pointer;
    return {qRound(scaled.x()), qRound(scaled.y())};
}

void TScopeOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_windows == TOverlayWindows::OnEachScreen) {
        painter.drawImage(rect(), m_image, m_area);
        return;
    }
    QImage shown = m_image;
    shown.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(0, 0, shown);
}

void TScopeOverlay::mousePressEvent(QMouseEvent* event) {
    const TPoint at = picturePoint(event);
    runGuarded([&] { OverlayMouseDown(at.x, at.y); });
}

void TScopeOverlay::mouseMoveEvent(QMouseEvent* event) {
    const TPoint at = picturePoint(event);
    runGuarded([&] { OverlayMouseMove(at.x, at.y); });
}

void TScopeOverlay::mouseReleaseEvent(QMouseEvent* event) {
    const TPoint at = picturePoint(event);
    runGuarded([&] { OverlayMouseUp(at.x, at.y); });
}

// Only Escape ends the overlay, and only a pick; QDialog would otherwise reject on Escape.
void TScopeOverlay::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        EscapePressed();
    event->accept();
}
