#include "ui/qt/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(QPen(QColor(0x1f, 0x5f, 0xbf), 2.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(13, 13), 10, 10);
    painter.setBrush(QColor(0x1f, 0x5f, 0xbf));
    painter.drawEllipse(QPointF(13, 13), 3, 3);
    QPainterPath arrow;
    arrow.moveTo(15, 15);
    arrow.lineTo(29, 21);
    arrow.lineTo(23, 23);
    arrow.lineTo(21, 29);
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
    return pixmap;
}
} // namespace

// Drawn once for the whole run: a new icon for every dialog made each one's pixmaps stay behind in the toolkit after
// the dialog was gone. Never deleted, since pixmaps must not outlive the application object.
QIcon appIcon() {
    static const QIcon* const icon = [] {
        auto* drawn = new QIcon;
        for (int size : {16, 22, 24, 32, 48, 64})
            drawn->addPixmap(drawIcon(size));
        return drawn;
    }();
    return *icon;
}
