#include "ui/qt/FindMark.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
// Screen coordinates start at the primary monitor's top-left; Qt's at its layout's, in units of the display scale.
QRect placeOf(const TRect& rect) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QPoint origin = primary != nullptr ? primary->geometry().topLeft() : QPoint();
    const qreal scale = primary != nullptr ? primary->devicePixelRatio() : 1.0;
    return {origin.x() + qRound(rect.left / scale), origin.y() + qRound(rect.top / scale),
            std::max(1, qRound(rect.width / scale)), std::max(1, qRound(rect.height / scale))};
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
