#include "ui/qt/ProgramFont.h"

#include <QApplication>
#include <QFont>

namespace {
// The layouts are in pixels, so the font is too: it must fit them whatever the screen's dots per inch.
constexpr int kPixelSize = 10;
} // namespace

void applyProgramFont() {
    QFont font("Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kPixelSize);
    QApplication::setFont(font);
}
