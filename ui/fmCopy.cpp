#include "ui/fmCopy.h"

#include "platform/ErrorGuard.h"
#include "platform/Screen.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
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

TfmCopy::TfmCopy(IScreen& screen, QWidget* parent) : QDialog(parent, Qt::Window | Qt::FramelessWindowHint) {
    setWindowTitle("fmCopy");
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    FormCreate(screen);
}

void TfmCopy::FormCreate(IScreen& screen) {
    m_image = snapshot(screen);
    setGeometry(0, 0, m_image.width(), m_image.height());
    setWindowState(Qt::WindowFullScreen);
    FCrossPos = {-1, -1};
    FCrossHair = true;
}

void TfmCopy::drawCrossHair(TPoint at) {
    QPainter painter(&m_image);
    setNotPen(painter);
    painter.drawLine(at.x, 0, at.x, m_image.height() - 1);
    if (at.x >= 0 && at.x < m_image.width() && at.y >= 0 && at.y < m_image.height()) {
        // The crossing pixel is drawn by both lines; inverting it twice would leave a hole in the cross.
        if (at.x > 0)
            painter.drawLine(0, at.y, at.x - 1, at.y);
        if (at.x < m_image.width() - 1)
            painter.drawLine(at.x + 1, at.y, m_image.width() - 1, at.y);
    } else {
        painter.drawLine(0, at.y, m_image.width() - 1, at.y);
    }
}

// Four lines that meet without overlapping, so every pixel of the outline is inverted exactly once.
void TfmCopy::drawBand(TPoint from, TPoint to) {
    QPainter painter(&m_image);
    setNotPen(painter);
    const int left = std::min(from.x, to.x), right = std::max(from.x, to.x);
    const int top = std::min(from.y, to.y), bottom = std::max(from.y, to.y);
    painter.drawLine(left, top, right, top);
    if (bottom != top)
        painter.drawLine(left, bottom, right, bottom);
    if (bottom - top < 2)
        return;
    painter.drawLine(left, top + 1, left, bottom - 1);
    if (right != left)
        painter.drawLine(right, top + 1, right, bottom - 1);
}

void TfmCopy::Image1MouseMove(int x, int y) {
    if (FDragging) {
        drawBand(FStartPos, FCurPos);
        drawBand(FStartPos, {x, y});
        FCurPos = {x, y};
    } else if (FCrossHair) {
        drawCrossHair(FCrossPos);
        drawCrossHair({x, y});
        FCrossPos = {x, y};
    } else {
        return;
    }
    update();
}

void TfmCopy::Image1MouseDown(int x, int y) {
    if (FDragging) {
        FEndPos = {x, y};
        FDragging = false;
        accept();
        return;
    }
    FCrossHair = false;
    drawCrossHair(FCrossPos);
    FStartPos = {x, y};
    FCurPos = {x, y};
    FDragging = true;
    update();
}

void TfmCopy::Image1MouseUp(int x, int y) {
    if (!FDragging)
        return;
    FEndPos = {x, y};
    FDragging = false;
    accept();
}

TPoint TfmCopy::screenPoint(const QMouseEvent* event) const {
    const QPointF pixels = event->position() * devicePixelRatioF();
    return {int(pixels.x()), int(pixels.y())};
}

void TfmCopy::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QImage shown = m_image;
    shown.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(0, 0, shown);
}

void TfmCopy::mousePressEvent(QMouseEvent* event) {
    const TPoint at = screenPoint(event);
    runGuarded([&] { Image1MouseDown(at.x, at.y); });
}

void TfmCopy::mouseMoveEvent(QMouseEvent* event) {
    const TPoint at = screenPoint(event);
    runGuarded([&] { Image1MouseMove(at.x, at.y); });
}

void TfmCopy::mouseReleaseEvent(QMouseEvent* event) {
    const TPoint at = screenPoint(event);
    runGuarded([&] { Image1MouseUp(at.x, at.y); });
}

// No key cancels the overlay; Escape would otherwise reject it.
void TfmCopy::keyPressEvent(QKeyEvent* event) {
    event->accept();
}
