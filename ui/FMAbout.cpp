#include "ui/FMAbout.h"

#include "TapporaVersion.h"
#include "model/Maker.h"
#include "platform/ErrorGuard.h"
#include "platform/Shell.h"
#include "ui/Placement.h"

#include <QLabel>
#include <QMouseEvent>

#include <string>

namespace {
QFont scaled(QFont font, double factor) {
    if (font.pixelSize() > 0)
        font.setPixelSize(qRound(font.pixelSize() * factor));
    else
        font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}

QLabel* aboutLabel(QWidget* parent, const QString& text, int x, int y, int width = 0) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    if (width > 0)
        label->resize(width, label->height());
    return label;
}

QLabel* link(QWidget* parent, const QString& text, int x, int y, int width) {
    QLabel* label = aboutLabel(parent, text, x, y, width);
    QFont font = scaled(label->font(), 0.8);
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}
} // namespace

TFMAbout::TFMAbout(IShell& shell, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_shell(shell) {
    setWindowTitle("About Tappora");
    setFixedSize(322, 118);
    centreOnDesktop(*this);
    setFont(scaled(font(), 1.25));

    Label1 = aboutLabel(this, "Tappora", 44, 11, 267);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setAlignment(Qt::AlignHCenter);
    Label2 = aboutLabel(this, "Mouse clicks on their own timers", 63, 34, 220);
    aboutLabel(this, "Web: ", 22, 65);
    Label5 = link(this, kMakerWebAddress, 64, 67, 227);
    aboutLabel(this, "Email: ", 22, 89);
    Label7 = link(this, kMakerMailAddress, 64, 91, 213);
    Label5->installEventFilter(this);
    Label7->installEventFilter(this);
}

void TFMAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    runGuarded([&] { FormShow(); });
}

void TFMAbout::FormShow() {
    Label1->setText(TAPPORA_TITLE);
}

void TFMAbout::Label5Click() {
    m_shell.openUrl(kMakerWebAddress);
}

void TFMAbout::Label7Click() {
    m_shell.openUrl(std::string("mailto:") + kMakerMailAddress);
}

void TFMAbout::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

bool TFMAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && (watched == Label5 || watched == Label7)) {
        runGuarded([&] { watched == Label5 ? Label5Click() : Label7Click(); });
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && (watched == Label5 || watched == Label7))
        return true;
    return QDialog::eventFilter(watched, event);
}
