#include "ui/qt/FindMark.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
// Screen coordinates are pixels from the primary monitor's top-left. Qt keeps each screen's top-left in pixels and
// scales the rest of that screen about it by the screen's own scale, so the screen that holds the place decides.
QRect placeOf(const TRect& rect) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr)
        return {rect.left, rect.top, std::max(1, rect.width), std::max(1, rect.height)};
    const QPoint pixel = primary->geometry().topLeft() + QPoint(rect.left, rect.top);
    const QScreen* holder = primary;
    for (const QScreen* screen : QGuiApplication::screens())
        if (QRect(screen->geometry().topLeft(), screen->geometry().size() * screen->devicePixelRatio()).contains(pixel))
            holder = screen;
    const QPoint origin = holder->geometry().topLeft();
    const qreal scale = holder->devicePixelRatio();
    return {origin.x() + qRound((pixel.x() - origin.x()) / scale),
            origin.y() + qRound((pixel.y() - origin.y()) / scale), std::max(1, qRound(rect.width / scale)),
            std::max(1, qRound(rect.height / scale))};
}
} // namespace

void TFindMark::show(const std::vector<TMarkBar>& bars) {
    hide();
    for (const TMarkBar& bar : bars) {
        auto window =
            std::make_unique<QWidget>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                                   Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
        window->setWindowTitle("Find now mark");
        window->setAttribute(Qt::WA_ShowWithoutActivating);
        QPalette palette = window->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(bar.color));
        window->setPalette(palette);
        window->setAutoFillBackground(true);
        window->setGeometry(placeOf(bar.rect));
        window->show();
        m_bars.push_back(std::move(window));
    }
}

void TFindMark::hide() {
    m_bars.clear();
}
