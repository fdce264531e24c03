#include "ui/qt/AboutBox.h"

#include "TapporaVersion.h"
#include "model/Maker.h"
#include "platform/ErrorGuard.h"
#include "platform/Shell.h"
#include "ui/qt/Placement.h"

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

TAboutBox::TAboutBox(IShell& shell, QWidget* parent, const std::vector<std::string>& backendReport)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_shell(shell) {
    setWindowTitle("About Tappora");
    setFixedSize(322, 138);
    centreOnDesktop(*this);
    setFont(scaled(font(), 1.25));

    lblTitle = aboutLabel(this, "Tappora", 44, 11, 267);
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    lblTitle->setAlignment(Qt::AlignHCenter);
    lblTagline = aboutLabel(this, "Mouse clicks on their own timers", 63, 34, 220);
    aboutLabel(this, "Web: ", 22, 65);
    lblWebAddress = link(this, kMakerWebAddress, 64, 67, 227);
    aboutLabel(this, "Email: ", 22, 89);
    lblMailAddress = link(this, kMakerMailAddress, 64, 91, 213);
    lblLicense = aboutLabel(this, kLicenseNotice, 22, 113);
    lblLicense->setFont(scaled(lblLicense->font(), 0.8));
    lblLicense->adjustSize();
    if (!backendReport.empty())
        showBackendReport(backendReport);
    lblWebAddress->installEventFilter(this);
    lblMailAddress->installEventFilter(this);
}

// Below the licence, in its small font; the box grows to hold it.
void TAboutBox::showBackendReport(const std::vector<std::string>& lines) {
    QStringList text;
    for (const std::string& line : lines)
        text << QString::fromStdString(line);
    lblBackend = aboutLabel(this, text.join('\n'), 22, 138, width() - 44);
    lblBackend->setFont(lblLicense->font());
    lblBackend->setWordWrap(true);
    lblBackend->resize(lblBackend->width(), lblBackend->heightForWidth(lblBackend->width()));
    setFixedSize(width(), lblBackend->y() + lblBackend->height() + 11);
    centreOnDesktop(*this);
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    runGuarded([&] { FormShow(); });
}

void TAboutBox::FormShow() {
    lblTitle->setText(TAPPORA_TITLE);
}

void TAboutBox::lblWebAddressClick() {
    m_shell.openUrl(kMakerWebAddress);
}

void TAboutBox::lblMailAddressClick() {
    m_shell.openUrl(std::string("mailto:") + kMakerMailAddress);
}

void TAboutBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && (watched == lblWebAddress || watched == lblMailAddress)) {
        runGuarded([&] { watched == lblWebAddress ? lblWebAddressClick() : lblMailAddressClick(); });
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && (watched == lblWebAddress || watched == lblMailAddress))
        return true;
    return QDialog::eventFilter(watched, event);
}
