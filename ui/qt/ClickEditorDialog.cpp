#include "ui/qt/ClickEditorDialog.h"

#include "platform/ErrorGuard.h"
#include "ui/qt/AppIcon.h"
#include "ui/qt/ClickEditorPanel.h"
#include "ui/qt/Placement.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {
QPushButton* dialogButton(const QString& caption, QWidget* parent, int x, int y) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(x, y, 75, 25);
    return button;
}

bool typesCharacter(const QKeyEvent* event) {
    if (event->text().isEmpty())
        return false;
    return event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab && event->text().at(0) != QChar(0x7f);
}
} // namespace

// The buttons lie in the panel's bottom row, beside the name.
TClickEditorDialog::TClickEditorDialog(IMouse& mouse, IScreen& screen, IHotKeys& hotKeys, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle("Click Info");
    setWindowIcon(appIcon());
    m_panel = new TClickEditorPanel(mouse, screen, hotKeys, this);
    m_panel->setObjectName("panel");
    m_panel->move(6, 8);
    const QSize panel = m_panel->size();
    setFixedSize(panel.width() + 14, panel.height() + 12);
    centreOnDesktop(*this);
    btnOK = dialogButton("&OK", this, 228, panel.height() - 23);
    btnCancel = dialogButton("&Cancel", this, 317, panel.height() - 23);
    connect(btnOK, &QPushButton::clicked, this, [this] { runGuarded([&] { btnOKClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { runGuarded([&] { btnCancelClick(); }); });
    // No default button: Enter presses a button only while it has the focus (see keyPressEvent); Escape presses none
    // and only cancels Find now.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    // Key preview: every typed character in the dialog is seen before its control.
    qApp->installEventFilter(this);
}

TClickEditorDialog::~TClickEditorDialog() {
    qApp->removeEventFilter(this);
}

void TClickEditorDialog::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void TClickEditorDialog::LoadFromClick(TMouseObj& click) {
    m_panel->LoadFromClick(click);
}

void TClickEditorDialog::SaveToClick(TMouseObj& click) {
    m_panel->SaveToClick(click);
}

// Not exec(): hiding a dialog ends exec(), and Capture Scope hides the editor while the overlay is up. This loop
// ends only when the dialog is closed (OK, Cancel, the close box), so the editor comes back with its edits.
int TClickEditorDialog::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    setResult(QDialog::Rejected);
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    if (!m_panel->loadNotice().isEmpty())
        QMessageBox::warning(this, "Warning", m_panel->loadNotice());
    loop.exec(QEventLoop::DialogExec);
    return result() == QDialog::Accepted ? mrOk : mrCancel;
}

void TClickEditorDialog::btnOKClick() {
    m_panel->StopCapture();
    std::string message;
    if (const TNumericEdit* refused = m_panel->refusedEdit(message)) {
        QMessageBox::warning(this, "Warning", QString::fromStdString(message));
        refused->edit->setFocus();
        refused->edit->selectAll();
        return;
    }
    accept();
}

void TClickEditorDialog::btnCancelClick() {
    reject();
}

void TClickEditorDialog::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TClickEditorDialog::FormClose() {
    m_panel->StopCapture();
    m_panel->findNow().Cancel();
    m_panel->findNow().HideMark();
}

void TClickEditorDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        m_panel->findNow().Cancel();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()))
            focused->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TClickEditorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((widget == this || isAncestorOf(widget)) && typesCharacter(key))
            m_panel->capture().CharacterTyped();
    }
    return QDialog::eventFilter(watched, event);
}
