#include "ui/MForm.h"

#include "TapporaVersion.h"
#include "control/MouseCtrl.h"
#include "model/ClickListFile.h"
#include "model/Maker.h"
#include "platform/ErrorGuard.h"
#include "platform/Shell.h"
#include "ui/AppIcon.h"
#include "ui/ClickListModel.h"
#include "ui/DefineForm.h"
#include "ui/FMAbout.h"
#include "ui/FMConfig.h"
#include "ui/Placement.h"
#include "ui/frmDefine.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <iostream>

namespace {
constexpr int kButtonWidth = 62;
constexpr int kButtonHeight = 58;

TRect toRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}
} // namespace

TMForm::TMForm(Platform& platform, IShell& shell, std::string folder, std::string recoveryFolder, QWidget* parent)
    : QMainWindow(parent), m_platform(platform), m_shell(shell), m_folder(std::move(folder)),
      m_recoveryFolder(std::move(recoveryFolder)) {
    setWindowTitle("Tappora");
    setWindowIcon(appIcon());
    setWindowFlag(Qt::WindowStaysOnTopHint);
    resize(561, 306);
    centreOnDesktop(*this);
    createToolBar();
    createList();
    createMenu();
    FormCreate();
}

TMForm::~TMForm() {
    m_closeInteractive = false;
    FormClose();
}

void TMForm::FormCreate() {
    setDroppedErrorObserver([this](const char* what) { reportDroppedError(what); });
    createTrayIcon();
    m_controller = std::make_unique<TMouseCtrl>(*this, m_platform, m_folder, m_recoveryFolder);
    m_model->setController(m_controller.get());
    setWindowTitle(TAPPORA_TITLE);
}

void TMForm::FormClose() {
    if (m_closed)
        return;
    m_closed = true;
    if (m_tray)
        m_tray->hide();
    std::vector<std::string> failures;
    runGuarded([&] {
        if (m_controller)
            failures = m_controller->Close(m_closeInteractive ? TCloseKind::ByUser : TCloseKind::Unattended);
    });
    m_model->setController(nullptr);
    m_controller.reset();
    setDroppedErrorObserver(nullptr);
    reportSaveFailures(failures);
}

// A failing click fails at every tick: each distinct error is told once. The click's row shows it too.
void TMForm::reportDroppedError(const std::string& what) {
    if (m_reportedErrors.insert(what).second)
        std::cerr << "tappora: " << what << std::endl;
}

void TMForm::reportSaveFailures(const std::vector<std::string>& messages) {
    if (messages.empty())
        return;
    QStringList lines;
    for (const auto& message : messages) {
        std::cerr << "tappora: " << message << '\n';
        lines << QString::fromStdString(message);
    }
    // A box would hold up a termination or the session's end; there the lines on stderr must do.
    if (m_closeInteractive)
        QMessageBox::critical(nullptr, "Tappora", lines.join("\n\n"));
}

void TMForm::requestClose(bool interactive) {
    m_closeInteractive = m_closeInteractive && interactive;
    // A dialog may also be alive but hidden (the editor while the scope overlay comes up): wait for it to go.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal || !findChildren<QDialog*>().isEmpty()) {
        if (modal)
            modal->close();
        QTimer::singleShot(20, this, [this, interactive] { requestClose(interactive); });
        return;
    }
    close();
}

void TMForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    emit closed();
}

void TMForm::showStartupMessages() {
    if (!m_controller)
        return;
    if (!m_controller->StartupMessages().empty()) {
        QStringList lines;
        for (const auto& message : m_controller->StartupMessages()) {
            std::cerr << "tappora: " << message << '\n';
            lines << QString::fromStdString(message);
        }
        QMessageBox::warning(this, "Warning", lines.join("\n\n"));
    }
    if (m_controller)
        m_controller->OfferRecoveredList();
}

void TMForm::saveBeforeExit() {
    if (!m_controller)
        return;
    for (const std::string& message : m_controller->SaveBeforeExit())
        std::cerr << "tappora: " << message << '\n';
}

// Also a change made inside a handler of the list (a check box) is told without holding that handler up.
void TMForm::showFileMessage(const std::string& message) {
    std::cerr << "tappora: " << message << '\n';
    QTimer::singleShot(0, this,
                       [this, text = QString::fromStdString(message)] { QMessageBox::warning(this, "Warning", text); });
}

TUnsavedChoice TMForm::askUnsaved(const std::string& problem) {
    if (!m_closeInteractive)
        return TUnsavedChoice::NoAnswer;
    std::cerr << "tappora: " << problem << '\n';
    QMessageBox box(QMessageBox::Warning, "Tappora",
                    QString::fromStdString(problem) + "\n\nYour changes are not saved yet.", QMessageBox::NoButton,
                    this);
    QPushButton* tryAgain = box.addButton("&Try Again", QMessageBox::AcceptRole);
    QPushButton* saveElsewhere = box.addButton("&Save List As...", QMessageBox::ActionRole);
    QPushButton* quit = box.addButton("&Quit Without Saving", QMessageBox::DestructiveRole);
    box.setDefaultButton(tryAgain);
    // Escape, or the box's close button, must never lose the changes.
    box.setEscapeButton(tryAgain);
    box.exec();
    if (!m_closeInteractive)
        return TUnsavedChoice::NoAnswer;
    if (box.clickedButton() == quit)
        return TUnsavedChoice::QuitWithoutSaving;
    if (box.clickedButton() == saveElsewhere)
        return TUnsavedChoice::SaveListElsewhere;
    return TUnsavedChoice::TryAgain;
}

std::string TMForm::chooseListFile() {
    QFileDialog dialog(this, "Save the Click List As", QDir::homePath(), "Click lists (*.xml);;All files (*)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(QString::fromStdString(kClickListFileName));
    if (dialog.exec() != QDialog::Accepted || !m_closeInteractive || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front().toStdString();
}

TRecoveredChoice TMForm::askRestore(const std::string& path) {
    QMessageBox box(QMessageBox::Question, "Tappora",
                    "When Tappora last ended, the click list could not be saved, so it was kept in\n" +
                        QString::fromStdString(path) +
                        "\n\nRestore that list now? It replaces the list Tappora has just loaded.",
                    QMessageBox::NoButton, this);
    QPushButton* restore = box.addButton("&Restore", QMessageBox::AcceptRole);
    QPushButton* keep = box.addButton("&Keep for Later", QMessageBox::RejectRole);
    QPushButton* discard = box.addButton("&Discard", QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(keep);
    box.exec();
    if (box.clickedButton() == restore)
        return TRecoveredChoice::Restore;
    return box.clickedButton() == discard ? TRecoveredChoice::Discard : TRecoveredChoice::KeepForLater;
}

void TMForm::addToolButton(const QString& caption, const QString& hint, int standardIcon, void (TMForm::*handler)()) {
    auto* button = new QToolButton;
    button->setText(caption);
    button->setToolTip(hint);
    button->setIcon(style()->standardIcon(QStyle::StandardPixmap(standardIcon)));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedSize(kButtonWidth, kButtonHeight);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    connect(button, &QToolButton::clicked, this, [this, handler] { runGuarded([&] { (this->*handler)(); }); });
    m_buttons.push_back(button);
}

void TMForm::createToolBar() {
    addToolButton("&New", "Create a new Click", QStyle::SP_FileIcon, &TMForm::NewButtonClick);
    addToolButton("&Edit", "Modify Selected Click", QStyle::SP_FileDialogDetailedView, &TMForm::EditButtonClick);
    addToolButton("&Delete", "Delete Selected Click", QStyle::SP_TrashIcon, &TMForm::DeleteButtonClick);
    addToolButton("&Start", "Start Checked Click to Run", QStyle::SP_MediaPlay, &TMForm::StartButtonClick);
    addToolButton("S&top", "Stop All Running Click", QStyle::SP_MediaStop, &TMForm::StopButtonClick);
    addToolButton("&Options", "Config Visible Columns", QStyle::SP_FileDialogListView, &TMForm::OptionsButtonClick);
    addToolButton("E&xit", "Exit", QStyle::SP_DialogCloseButton, &TMForm::QuitButtonClick);
}

void TMForm::createList() {
    auto* central = new QWidget;
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* mainPanel = new QWidget;
    mainPanel->setObjectName("MainPanel");
    auto* row = new QHBoxLayout(mainPanel);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(0);
    for (QToolButton* button : m_buttons)
        row->addWidget(button);
    row->addStretch();
    column->addWidget(mainPanel);

    m_model = new TClickListModel(this);
    VT = new QTableView;
    VT->setObjectName("VT");
    VT->setModel(m_model);
    VT->setSelectionBehavior(QAbstractItemView::SelectRows);
    VT->setSelectionMode(QAbstractItemView::SingleSelection);
    VT->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VT->setShowGrid(true);
    VT->setWordWrap(false);
    VT->verticalHeader()->hide();
    VT->verticalHeader()->setDefaultSectionSize(VT->fontMetrics().height() + 6);
    QHeaderView* header = VT->horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    connect(VT, &QTableView::doubleClicked, this, [this] { runGuarded([&] { m_controller->EditClick(); }); });
    column->addWidget(VT, 1);
    setCentralWidget(central);
}

void TMForm::createMenu() {
    QAction* about = menuBar()->addAction("About");
    connect(about, &QAction::triggered, this, [this] { runGuarded([&] { AboutMenuClick(); }); });
    QAction* help = menuBar()->addAction("Help");
    connect(help, &QAction::triggered, this, [this] { runGuarded([&] { WebPageMenuClick(); }); });
}

// Made even when no notification area is there yet: the icon docks when one appears.
void TMForm::createTrayIcon() {
    m_tray = new QSystemTrayIcon(appIcon(), this);
    m_tray->setToolTip("Tappora");
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            runGuarded([&] { toggleVisibility(); });
    });
    m_tray->show();
}

void TMForm::toggleVisibility() {
    if (isVisible()) {
        hide();
        return;
    }
    bringToFront();
}

void TMForm::bringToFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

// Minimising sends the window to the notification area; without an icon there would be no way back, so then the
// window minimises as usual.
void TMForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !isMinimized())
        return;
    if (!m_tray || !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    QTimer::singleShot(0, this, [this] {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        hide();
    });
}

void TMForm::AboutMenuClick() {
    TFMAbout about(m_shell, this);
    about.exec();
}

void TMForm::WebPageMenuClick() {
    m_shell.openUrl(kMakerWebAddress);
}

void TMForm::NewButtonClick() {
    m_controller->NewClick();
}
void TMForm::EditButtonClick() {
    m_controller->EditClick();
}
void TMForm::DeleteButtonClick() {
    m_controller->DeleteClick();
}
void TMForm::StartButtonClick() {
    m_controller->StartAll();
}
void TMForm::StopButtonClick() {
    m_controller->StopAll();
}
void TMForm::OptionsButtonClick() {
    m_controller->ShowOptions();
}
void TMForm::QuitButtonClick() {
    requestClose(true);
}

WindowHandle TMForm::windowHandle() const {
    return WindowHandle(winId());
}

TRect TMForm::windowBounds() const {
    return {x(), y(), width(), height()};
}

void TMForm::setWindowBounds(const TRect& bounds) {
    setWindowState(windowState() & ~Qt::WindowMaximized);
    move(bounds.left, bounds.top);
    resize(bounds.width, bounds.height);
}

bool TMForm::windowMaximized() const {
    return isMaximized();
}

void TMForm::setWindowMaximized() {
    setWindowState(windowState() | Qt::WindowMaximized);
}

std::vector<TRect> TMForm::monitorAreas() const {
    std::vector<TRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.push_back(toRect(primary->availableGeometry()));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            areas.push_back(toRect(screen->availableGeometry()));
    return areas;
}

void TMForm::clearColumns() {
    m_model->clearColumns();
}

void TMForm::addColumn(const std::string& caption) {
    m_model->addColumn(QString::fromStdString(caption));
}

void TMForm::beginColumnUpdate() {
    VT->horizontalHeader()->setUpdatesEnabled(false);
}

void TMForm::endColumnUpdate() {
    VT->horizontalHeader()->setUpdatesEnabled(true);
    VT->viewport()->update();
}

int TMForm::columnWidth(int column) const {
    return VT->horizontalHeader()->sectionSize(column);
}

void TMForm::setColumnWidth(int column, int width) {
    VT->horizontalHeader()->resizeSection(column, width);
}

void TMForm::setColumnAlignment(int column, TColumnAlignment alignment) {
    m_model->setColumnAlignment(column, alignment);
}

void TMForm::setColumnVisible(int column, bool visible) {
    VT->horizontalHeader()->setSectionHidden(column, !visible);
}

int TMForm::columnPosition(int column) const {
    return VT->horizontalHeader()->visualIndex(column);
}

void TMForm::setColumnPosition(int column, int position) {
    QHeaderView* header = VT->horizontalHeader();
    if (column < 0 || column >= header->count() || position < 0 || position >= header->count())
        return;
    header->moveSection(header->visualIndex(column), position);
}

void TMForm::setMainColumn(int column) {
    m_model->setMainColumn(column);
}

void TMForm::rowsReset() {
    m_model->rowsReset();
}
void TMForm::rowInserted(int row) {
    m_model->rowInserted(row);
}
void TMForm::rowRemoved(int row) {
    m_model->rowRemoved(row);
}
void TMForm::repaintRow(int row) {
    m_model->repaintRow(row);
}
void TMForm::repaintAll() {
    m_model->repaintAll();
}

int TMForm::focusedRow() const {
    const QModelIndex current = VT->currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool TMForm::confirmDelete() {
    return QMessageBox::question(this, "Warning", "Are you sure to delete the click?",
                                 QMessageBox::Yes | QMessageBox::No) != QMessageBox::No;
}

std::unique_ptr<IClickEditor> TMForm::createClickEditor() {
    auto editor = std::make_unique<TDefineForm>(m_platform.mouse, m_platform.screen, this);
    for (int n = 0; n < TMouseCtrl::kHotKeyCount; ++n) {
        if (m_controller && !m_controller->HotKeyTaken(n))
            editor->frame()->markHotKeyUnavailable(n);
    }
    return editor;
}

std::unique_ptr<IOptionsDialog> TMForm::createOptionsDialog() {
    return std::make_unique<TFMConfig>(this);
}
