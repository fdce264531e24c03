#include "ui/qt/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void centreOnDesktop(QWidget& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->availableGeometry();
        window.move(desktop.center() - QPoint(window.width() / 2, window.height() / 2));
    }
}
