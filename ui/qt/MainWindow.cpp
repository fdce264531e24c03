#include "ui/qt/MainWindow.h"

#include "TapporaVersion.h"
#include "control/ClickListController.h"
#include "control/WindowPlacement.h"
#include "model/Maker.h"
#include "platform/ErrorGuard.h"
#include "platform/Shell.h"
#include "ui/qt/AboutBox.h"
#include "ui/qt/AppIcon.h"
#include "ui/qt/ClickEditorDialog.h"
#include "ui/qt/ClickEditorPanel.h"
#include "ui/qt/ClickListModel.h"
#include "ui/qt/OptionsDialog.h"
#include "ui/qt/Placement.h"

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

#include <algorithm>
#include <array>
#include <iostream>
#include <utility>

namespace {
constexpr int kButtonWidth = 62;
constexpr int kButtonHeight = 58;

// In the order of the toolbar's commands.
constexpr std::array<QStyle::StandardPixmap, kToolCommands.size()> kToolIcons{
    QStyle::SP_FileIcon,  QStyle::SP_FileDialogDetailedView, QStyle::SP_TrashIcon,        QStyle::SP_MediaPlay,
    QStyle::SP_MediaStop, QStyle::SP_FileDialogListView,     QStyle::SP_DialogCloseButton};

TRect toRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QRect toQRect(const TRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

QMessageBox::Icon iconOf(TMessageIcon icon) {
    switch (icon) {
    case TMessageIcon::Information:
        return QMessageBox::Information;
    case TMessageIcon::Error:
        return QMessageBox::Critical;
    case TMessageIcon::Question:
        return QMessageBox::Question;
    case TMessageIcon::Warning:
        break;
    }
    return QMessageBox::Warning;
}
} // namespace

TMainWindow::TMainWindow(Platform& platform, IShell& shell, std::string folder, std::string recoveryFolder,
                         QWidget* parent)
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

TMainWindow::~TMainWindow() {
    m_closeInteractive = false;
    FormClose();
}

void TMainWindow::FormCreate() {
    createTrayIcon();
    m_controller = std::make_unique<TClickListController>(*this, m_platform, m_folder, m_recoveryFolder);
    m_model->setController(m_controller.get());
    setWindowTitle(TAPPORA_TITLE);
}

void TMainWindow::FormClose() {
    if (m_closed)
        return;
    m_closed = true;
    if (m_tray)
        m_tray->hide();
    runGuarded([&] {
        if (m_controller)
            m_controller->CloseAndTell(m_closeInteractive ? TCloseKind::ByUser : TCloseKind::Unattended);
    });
    m_model->setController(nullptr);
    m_controller.reset();
}

void TMainWindow::requestClose(bool interactive) {
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

void TMainWindow::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    emit closed();
}

void TMainWindow::showStartupMessages() {
    if (m_controller)
        m_controller->TellStartup();
}

void TMainWindow::saveBeforeExit() {
    if (!m_controller)
        return;
    for (const std::string& message : m_controller->SaveBeforeExit())
        std::cerr << "tappora: " << message << '\n';
}

// Also a change made inside a handler of the list (a check box) is told without holding that handler up.
void TMainWindow::showFileMessage(const std::string& message) {
    QTimer::singleShot(0, this,
                       [this, text = QString::fromStdString(message)] { QMessageBox::warning(this, "Warning", text); });
}

int TMainWindow::ask(const TQuestion& question) {
    if (!m_closeInteractive)
        return kNoAnswer;
    QMessageBox box(iconOf(question.icon), QString::fromStdString(question.caption),
                    QString::fromStdString(question.text), QMessageBox::NoButton, this);
    std::vector<QAbstractButton*> buttons;
    for (const std::string& caption : question.buttons)
        buttons.push_back(box.addButton(QString::fromStdString(caption), QMessageBox::ActionRole));
    box.setDefaultButton(qobject_cast<QPushButton*>(buttons.at(std::size_t(question.defaultButton))));
    box.setEscapeButton(buttons.at(std::size_t(question.escapeButton)));
    box.exec();
    // A termination while the box was open closed it: that is no answer.
    if (!m_closeInteractive)
        return kNoAnswer;
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return chosen == buttons.end() ? question.escapeButton : int(chosen - buttons.begin());
}

std::string TMainWindow::chooseListFile(const std::string& suggestedName) {
    QFileDialog dialog(this, "Save the Click List As", QDir::homePath(), "Click lists (*.xml);;All files (*)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(QString::fromStdString(suggestedName));
    if (dialog.exec() != QDialog::Accepted || !m_closeInteractive || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front().toStdString();
}

void TMainWindow::addToolButton(const TToolCommand& command, int standardIcon) {
    auto* button = new QToolButton;
    button->setText(command.caption);
    button->setToolTip(command.hint);
    button->setIcon(style()->standardIcon(QStyle::StandardPixmap(standardIcon)));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedSize(kButtonWidth, kButtonHeight);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    connect(button, &QToolButton::clicked, this,
            [this, id = command.command] { runGuarded([&] { m_controller->Run(id); }); });
    m_buttons.push_back(button);
}

void TMainWindow::createToolBar() {
    for (std::size_t index = 0; index < kToolCommands.size(); ++index)
        addToolButton(kToolCommands[index], kToolIcons[index]);
}

void TMainWindow::createList() {
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
    connect(VT, &QTableView::doubleClicked, this, [this] { runGuarded([&] { m_controller->Run(TCommand::Edit); }); });
    column->addWidget(VT, 1);
    setCentralWidget(central);
}

void TMainWindow::createMenu() {
    QAction* about = menuBar()->addAction("About");
    connect(about, &QAction::triggered, this, [this] { runGuarded([&] { AboutMenuClick(); }); });
    QAction* help = menuBar()->addAction("Help");
    connect(help, &QAction::triggered, this, [this] { runGuarded([&] { WebPageMenuClick(); }); });
}

// Made even when no notification area is there yet: the icon docks when one appears.
void TMainWindow::createTrayIcon() {
    m_tray = new QSystemTrayIcon(appIcon(), this);
    m_tray->setToolTip("Tappora");
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            runGuarded([&] { toggleVisibility(); });
    });
    m_tray->show();
}

TCommandAnswer TMainWindow::answerCommand(const TCommandRequest& request) {
    if (!m_controller)
        return {TExitCode::kNoRunningCopy, {"Tappora is closing."}};
    TCommandAnswer answer{1, {"The command failed; Tappora wrote why on its error output."}};
    runGuarded([&] { answer = Execute(*m_controller, request, *this); });
    return answer;
}

void TMainWindow::showWindow() {
    bringToFront();
}

// Queued, so that the command's answer is written before the window goes.
void TMainWindow::quitAsExit() {
    QTimer::singleShot(0, this, [this] { requestClose(true); });
}

void TMainWindow::toggleVisibility() {
    if (isVisible()) {
        hide();
        return;
    }
    bringToFront();
}

void TMainWindow::bringToFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

// Minimising sends the window to the notification area; without an icon there would be no way back, so then the
// window minimises as usual.
void TMainWindow::changeEvent(QEvent* event) {
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

void TMainWindow::AboutMenuClick() {
    TAboutBox about(m_shell, this, m_backendReport);
    about.exec();
}

void TMainWindow::WebPageMenuClick() {
    m_shell.openUrl(kMakerWebAddress);
}

void TMainWindow::closeByUser() {
    requestClose(true);
}

TRect TMainWindow::windowBounds() const {
    return toRect(frameGeometry());
}

void TMainWindow::setWindowBounds(const TRect& bounds) {
    setWindowState(windowState() & ~Qt::WindowMaximized);
    placeFrame(bounds);
    // Until a window manager has framed the window its frame is unknown; it is placed again once it is framed.
    m_unframedBounds = frameGeometry() == geometry() ? std::optional(bounds) : std::nullopt;
}

void TMainWindow::placeFrame(const TRect& frame) {
    setGeometry(toQRect(ClientInFrame(frame, toRect(frameGeometry()), toRect(geometry()))));
}

void TMainWindow::placeOnceFramed() {
    if (m_unframedBounds && frameGeometry() != geometry() && !isMaximized())
        placeFrame(*std::exchange(m_unframedBounds, std::nullopt));
}

void TMainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    placeOnceFramed();
}

void TMainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeOnceFramed();
}

bool TMainWindow::windowMaximized() const {
    return isMaximized();
}

void TMainWindow::setWindowMaximized() {
    setWindowState(windowState() | Qt::WindowMaximized);
}

std::vector<TRect> TMainWindow::monitorAreas() const {
    std::vector<TRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.push_back(toRect(primary->availableGeometry()));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            areas.push_back(toRect(screen->availableGeometry()));
    return areas;
}

void TMainWindow::clearColumns() {
    m_model->clearColumns();
}

void TMainWindow::addColumn(const std::string& caption) {
    m_model->addColumn(QString::fromStdString(caption));
}

void TMainWindow::beginColumnUpdate() {
    VT->horizontalHeader()->setUpdatesEnabled(false);
}

void TMainWindow::endColumnUpdate() {
    VT->horizontalHeader()->setUpdatesEnabled(true);
    VT->viewport()->update();
}

int TMainWindow::columnWidth(int column) const {
    return VT->horizontalHeader()->sectionSize(column);
}

void TMainWindow::setColumnWidth(int column, int width) {
    VT->horizontalHeader()->resizeSection(column, width);
}

void TMainWindow::setColumnAlignment(int column, TColumnAlignment alignment) {
    m_model->setColumnAlignment(column, alignment);
}

void TMainWindow::setColumnVisible(int column, bool visible) {
    VT->horizontalHeader()->setSectionHidden(column, !visible);
}

int TMainWindow::columnPosition(int column) const {
    return VT->horizontalHeader()->visualIndex(column);
}

void TMainWindow::setColumnPosition(int column, int position) {
    QHeaderView* header = VT->horizontalHeader();
    if (column < 0 || column >= header->count() || position < 0 || position >= header->count())
        return;
    header->moveSection(header->visualIndex(column), position);
}

void TMainWindow::setMainColumn(int column) {
    m_model->setMainColumn(column);
}

void TMainWindow::rowsReset() {
    m_model->rowsReset();
}
void TMainWindow::rowInserted(int row) {
    m_model->rowInserted(row);
}
void TMainWindow::rowRemoved(int row) {
    m_model->rowRemoved(row);
}
void TMainWindow::repaintRow(int row) {
    m_model->repaintRow(row);
}
void TMainWindow::repaintAll() {
    m_model->repaintAll();
}

int TMainWindow::focusedRow() const {
    const QModelIndex current = VT->currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool TMainWindow::confirmDelete() {
    return QMessageBox::question(this, "Warning", "Are you sure to delete the click?",
                                 QMessageBox::Yes | QMessageBox::No) != QMessageBox::No;
}

std::unique_ptr<IClickEditor> TMainWindow::createClickEditor(const std::vector<int>& hotKeysHeldElsewhere) {
    auto editor = std::make_unique<TClickEditorDialog>(m_platform.mouse, m_platform.screen, m_platform.hotKeys, this);
    for (int n : hotKeysHeldElsewhere)
        editor->frame()->markHotKeyUnavailable(n);
    return editor;
}

std::unique_ptr<IOptionsDialog> TMainWindow::createOptionsDialog() {
    return std::make_unique<TOptionsDialog>(this);
}
