#include "ui/win32/MainWindow.h"

#include "TapporaVersion.h"
#include "control/ClickListController.h"
#include "model/Maker.h"
#include "platform/ErrorGuard.h"
#include "platform/Shell.h"
#include "platform/win32/Utf16.h"
#include "ui/win32/AboutBox.h"
#include "ui/win32/ClickEditorDialog.h"
#include "ui/win32/ClickEditorPanel.h"
#include "ui/win32/ClickList.h"
#include "ui/win32/Controls.h"
#include "ui/win32/OptionsDialog.h"
#include "ui/win32/ToolImages.h"

#include <cwchar>
#include <iterator>

namespace {
constexpr int kListId = 100;
constexpr int kButtonWidth = 62;
constexpr int kButtonHeight = 58;
constexpr int kPanelMargin = 2;
constexpr UINT kTrayIconId = 1;

// The first button's id; the others follow.
constexpr int kFirstBoxButton = 100;

// The toolbar's command of a WM_COMMAND id, or none.
const TToolCommand* toolCommandOf(int id) {
    const int index = id - TMainWindow::cmNew;
    return index >= 0 && index < int(kToolCommands.size()) ? &kToolCommands[std::size_t(index)] : nullptr;
}

PCWSTR iconOf(TMessageIcon icon) {
    switch (icon) {
    case TMessageIcon::Error:
        return TD_ERROR_ICON;
    case TMessageIcon::Warning:
        return TD_WARNING_ICON;
    case TMessageIcon::Information:
    case TMessageIcon::Question:
        break;
    }
    return TD_INFORMATION_ICON;
}
} // namespace

TMainWindow::TMainWindow(Platform& platform, IShell& shell, std::string folder, std::string recoveryFolder)
    : m_platform(platform), m_shell(shell), m_folder(std::move(folder)), m_recoveryFolder(std::move(recoveryFolder)) {
    createWindow("Tappora", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_TOPMOST, 561, 306, nullptr);
    SetWindowPos(handle(), nullptr, 0, 0, dpiScaled(561), dpiScaled(306), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    centreOnDesktop(handle());
    createToolBar();
    m_list = std::make_unique<TClickList>(handle(), kListId);
    m_list->setOnDoubleClick([this] { m_controller->Run(TCommand::Edit); });
    createMenu();
    layout();
    FormCreate();
}

TMainWindow::~TMainWindow() {
    FormClose(false);
    if (m_accelerators)
        DestroyAcceleratorTable(m_accelerators);
}

void TMainWindow::FormCreate() {
    createTrayIcon();
    m_controller = std::make_unique<TClickListController>(*this, m_platform, m_folder, m_recoveryFolder);
    m_list->setController(m_controller.get());
    setText(handle(), TAPPORA_TITLE);
}

// The controller object stays until the window object goes: a command may still be on the stack below a close that
// came from a nested message loop; a closed controller does nothing more.
void TMainWindow::FormClose(bool interactive) {
    if (m_closed)
        return;
    m_closed = true;
    if (m_trayShown)
        Shell_NotifyIconW(NIM_DELETE, &m_trayData);
    m_trayShown = false;
    m_closeInteractive = interactive;
    runGuarded([&] {
        if (m_controller)
            m_controller->CloseAndTell(interactive ? TCloseKind::ByUser : TCloseKind::Unattended);
    });
    m_list->setController(nullptr);
}

void TMainWindow::requestClose(bool interactive) {
    if (TModalWindow::running() > 0) {
        TModalWindow::cancelAll();
        PostMessageW(handle(), WM_CLOSE, 0, 0);
        return;
    }
    FormClose(interactive);
    DestroyWindow(handle());
}

void TMainWindow::show() {
    ShowWindow(handle(), m_showMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(handle());
}

void TMainWindow::showStartupMessages() {
    if (m_controller)
        m_controller->TellStartup();
}

void TMainWindow::createToolBar() {
    m_toolBar = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, nullptr,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
        dpiScaled(kPanelMargin), dpiScaled(kPanelMargin), dpiScaled(kButtonWidth) * int(kToolCommands.size()),
        dpiScaled(kButtonHeight), handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_toolBar, WM_SETFONT, WPARAM(programFont(8, true)), FALSE);
    SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(m_toolBar, TB_SETIMAGELIST, 0, LPARAM(createToolImages()));
    std::vector<std::wstring> captions;
    for (const TToolCommand& command : kToolCommands) {
        captions.push_back(toUtf16(command.caption));
        m_hints.push_back(toUtf16(command.hint));
    }
    std::vector<TBBUTTON> buttons;
    std::vector<ACCEL> keys;
    for (int index = 0; index < int(kToolCommands.size()); ++index) {
        const int id = cmNew + index;
        buttons.push_back(
            {index, id, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, INT_PTR(captions[std::size_t(index)].c_str())});
        keys.push_back({FALT | FVIRTKEY, WORD(AccessKey(kToolCommands[std::size_t(index)].caption)), WORD(id)});
    }
    SendMessageW(m_toolBar, TB_ADDBUTTONSW, buttons.size(), LPARAM(buttons.data()));
    SendMessageW(m_toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(dpiScaled(kButtonWidth), dpiScaled(kButtonHeight)));
    SendMessageW(m_toolBar, TB_AUTOSIZE, 0, 0);
    m_accelerators = CreateAcceleratorTableW(keys.data(), int(keys.size()));
}

void TMainWindow::createMenu() {
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, cmAbout, L"About");
    AppendMenuW(menu, MF_STRING, cmHelp, L"Help");
    SetMenu(handle(), menu);
}

// Made even when no notification area is there yet; it is added again whenever the task bar comes (back).
void TMainWindow::createTrayIcon() {
    m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    m_trayData.cbSize = sizeof m_trayData;
    m_trayData.hWnd = handle();
    m_trayData.uID = kTrayIconId;
    m_trayData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_trayData.uCallbackMessage = WM_TRAYICON;
    m_trayData.hIcon = appIcon();
    wcsncpy(m_trayData.szTip, L"Tappora", std::size(m_trayData.szTip) - 1);
    m_trayShown = Shell_NotifyIconW(NIM_ADD, &m_trayData);
}

void TMainWindow::layout() {
    RECT client{};
    GetClientRect(handle(), &client);
    const int top = dpiScaled(kButtonHeight + 2 * kPanelMargin);
    MoveWindow(m_list->handle(), 0, top, client.right, std::max(0, int(client.bottom) - top), TRUE);
}

void TMainWindow::toggleVisibility() {
    if (IsWindowVisible(handle()))
        ShowWindow(handle(), SW_HIDE);
    else
        showWindow();
}

void TMainWindow::showWindow() {
    ShowWindow(handle(), IsIconic(handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(GetLastActivePopup(handle()));
}

void TMainWindow::quitAsExit() {
    m_quitAfterAnswer = true;
}

void TMainWindow::runRemoteCommand(TRemoteCommand& command) {
    if (m_closed) {
        command.answer = {TExitCode::kNoRunningCopy, {"Tappora is closing."}};
        return;
    }
    command.answer = {TExitCode::kNoRunningCopy, {"Tappora could not carry out the command."}};
    runGuarded([&] { command.answer = Execute(*m_controller, command.request, *this); });
}

bool TMainWindow::translateAccelerator(MSG& message) {
    return !m_closed && TranslateAcceleratorW(handle(), m_accelerators, &message) != 0;
}

void TMainWindow::AboutMenuClick() {
    TAboutBox about(m_shell, handle());
    about.ShowModal();
}

void TMainWindow::WebPageMenuClick() {
    m_shell.openUrl(kMakerWebAddress);
}

void TMainWindow::command(int id) {
    if (m_closed)
        return;
    if (const TToolCommand* tool = toolCommandOf(id))
        return m_controller->Run(tool->command);
    switch (id) {
    case cmAbout:
        return AboutMenuClick();
    case cmHelp:
        return WebPageMenuClick();
    default:
        return;
    }
}

bool TMainWindow::notify(const NMHDR& header, LRESULT& result) {
    if (m_list->notify(header, result))
        return true;
    if (header.code != TTN_GETDISPINFOW)
        return false;
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(const_cast<NMHDR&>(header));
    const int index = int(header.idFrom) - cmNew;
    if (index >= 0 && index < int(m_hints.size()))
        info.lpszText = m_hints[std::size_t(index)].data();
    result = 0;
    return true;
}

LRESULT TMainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_taskbarCreated && m_taskbarCreated != 0 && !m_closed) {
        m_trayShown = Shell_NotifyIconW(NIM_ADD, &m_trayData);
        return 0;
    }
    switch (message) {
    case WM_SIZE:
        layout();
        return 0;
    case WM_COMMAND:
        command(LOWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (notify(*reinterpret_cast<const NMHDR*>(lParam), result))
            return result;
        break;
    }
    case WM_SHOWFILEMESSAGE:
        showPendingFileMessage();
        return 0;
    case WM_REMOTECOMMAND:
        runRemoteCommand(*reinterpret_cast<TRemoteCommand*>(lParam));
        return 0;
    case WM_REMOTEANSWERED:
        if (m_quitAfterAnswer)
            requestClose(true);
        return 0;
    case WM_TRAYICON:
        if (lParam == WM_LBUTTONUP)
            toggleVisibility();
        return 0;
    case WM_SYSCOMMAND:
        // Minimising sends the window to the notification area; without an icon there would be no way back.
        if ((wParam & 0xFFF0) == SC_MINIMIZE && m_trayShown) {
            ShowWindow(handle(), SW_HIDE);
            return 0;
        }
        break;
    case WM_CLOSE:
        requestClose(true);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The process may end as soon as this returns: save now, whatever dialog is open.
        if (wParam)
            FormClose(false);
        return 0;
    case WM_DESTROY:
        if (m_onClosed)
            m_onClosed();
        return 0;
    default:
        break;
    }
    return TWindow::handleMessage(message, wParam, lParam);
}

TRect TMainWindow::windowBounds() const {
    RECT bounds{};
    if (IsIconic(handle())) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(handle(), &placement);
        bounds = placement.rcNormalPosition;
    } else {
        GetWindowRect(handle(), &bounds);
    }
    return {int(bounds.left), int(bounds.top), int(bounds.right - bounds.left), int(bounds.bottom - bounds.top)};
}

void TMainWindow::setWindowBounds(const TRect& bounds) {
    m_showMaximized = false;
    if (IsZoomed(handle()))
        ShowWindow(handle(), SW_RESTORE);
    MoveWindow(handle(), bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
}

bool TMainWindow::windowMaximized() const {
    return IsWindowVisible(handle()) ? IsZoomed(handle()) != 0 : m_showMaximized;
}

void TMainWindow::setWindowMaximized() {
    m_showMaximized = true;
    if (IsWindowVisible(handle()))
        ShowWindow(handle(), SW_MAXIMIZE);
}

std::vector<TRect> TMainWindow::monitorAreas() const {
    std::vector<TRect> areas;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info)) {
                auto& found = *reinterpret_cast<std::vector<TRect>*>(data);
                const RECT& work = info.rcWork;
                const TRect area{int(work.left), int(work.top), int(work.right - work.left),
                                 int(work.bottom - work.top)};
                if (info.dwFlags & MONITORINFOF_PRIMARY)
                    found.insert(found.begin(), area);
                else
                    found.push_back(area);
            }
            return TRUE;
        },
        LPARAM(&areas));
    return areas;
}

void TMainWindow::clearColumns() {
    m_list->clearColumns();
}
void TMainWindow::addColumn(const std::string& caption) {
    m_list->addColumn(caption);
}
void TMainWindow::beginColumnUpdate() {
    m_list->beginColumnUpdate();
}
void TMainWindow::endColumnUpdate() {
    m_list->endColumnUpdate();
}
int TMainWindow::columnWidth(int column) const {
    return m_list->columnWidth(column);
}
void TMainWindow::setColumnWidth(int column, int width) {
    m_list->setColumnWidth(column, width);
}
void TMainWindow::setColumnAlignment(int column, TColumnAlignment alignment) {
    m_list->setColumnAlignment(column, alignment);
}
void TMainWindow::setColumnVisible(int column, bool visible) {
    m_list->setColumnVisible(column, visible);
}
int TMainWindow::columnPosition(int column) const {
    return m_list->columnPosition(column);
}
void TMainWindow::setColumnPosition(int column, int position) {
    m_list->setColumnPosition(column, position);
}
void TMainWindow::setMainColumn(int column) {
    m_list->setMainColumn(column);
}
void TMainWindow::rowsReset() {
    m_list->rowsReset();
}
void TMainWindow::rowInserted(int row) {
    m_list->rowInserted(row);
}
void TMainWindow::rowRemoved(int row) {
    m_list->rowRemoved(row);
}
void TMainWindow::repaintRow(int row) {
    m_list->repaintRow(row);
}
void TMainWindow::repaintAll() {
    m_list->repaintAll();
}
int TMainWindow::focusedRow() const {
    return m_list->focusedRow();
}

// Also a change made inside a notification of the list (a check box) is told without holding that handler up.
void TMainWindow::showFileMessage(const std::string& message) {
    m_pendingFileMessages.push_back(message);
    PostMessageW(handle(), WM_SHOWFILEMESSAGE, 0, 0);
}

void TMainWindow::showPendingFileMessage() {
    if (m_pendingFileMessages.empty())
        return;
    const std::wstring text = toUtf16(m_pendingFileMessages.front());
    m_pendingFileMessages.erase(m_pendingFileMessages.begin());
    MessageBoxW(handle(), text.c_str(), L"Warning", MB_OK | MB_ICONWARNING);
}

int TMainWindow::ask(const TQuestion& question) {
    if (!m_closeInteractive)
        return kNoAnswer;
    const std::wstring caption = toUtf16(question.caption);
    const std::wstring content = toUtf16(question.text);
    std::vector<std::wstring> texts;
    for (const std::string& button : question.buttons)
        texts.push_back(toUtf16(button));
    std::vector<TASKDIALOG_BUTTON> buttons;
    for (std::size_t index = 0; index < texts.size(); ++index)
        buttons.push_back({kFirstBoxButton + int(index), texts[index].c_str()});
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = handle();
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.pszWindowTitle = caption.c_str();
    config.pszMainIcon = iconOf(question.icon);
    config.pszContent = content.c_str();
    config.cButtons = UINT(buttons.size());
    config.pButtons = buttons.data();
    config.nDefaultButton = kFirstBoxButton + question.defaultButton;
    int pressed = 0;
    if (FAILED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr)) || !m_closeInteractive)
        return kNoAnswer;
    const int index = pressed - kFirstBoxButton;
    return index >= 0 && index < int(buttons.size()) ? index : question.escapeButton;
}

std::string TMainWindow::chooseListFile(const std::string& suggestedName) {
    wchar_t path[MAX_PATH] = L"";
    wcsncpy(path, toUtf16(suggestedName).c_str(), MAX_PATH - 1);
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = handle();
    chooser.lpstrFilter = L"Click lists (*.xml)\0*.xml\0All files\0*.*\0";
    chooser.lpstrFile = path;
    chooser.nMaxFile = MAX_PATH;
    chooser.lpstrDefExt = L"xml";
    chooser.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;
    return GetSaveFileNameW(&chooser) ? toUtf8(path) : std::string();
}

void TMainWindow::closeByUser() {
    requestClose(true);
}

bool TMainWindow::confirmDelete() {
    return MessageBoxW(handle(), L"Are you sure to delete the click?", L"Warning", MB_YESNO | MB_ICONQUESTION) != IDNO;
}

std::unique_ptr<IClickEditor> TMainWindow::createClickEditor(const std::vector<int>& hotKeysHeldElsewhere) {
    auto editor = std::make_unique<TClickEditorDialog>(m_platform.mouse, m_platform.screen, handle());
    for (int n : hotKeysHeldElsewhere)
        editor->frame().markHotKeyUnavailable(n);
    return editor;
}

std::unique_ptr<IOptionsDialog> TMainWindow::createOptionsDialog() {
    return std::make_unique<TOptionsDialog>(handle());
}
