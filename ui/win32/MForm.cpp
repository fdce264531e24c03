#include "ui/win32/MForm.h"

#include "TapporaVersion.h"
#include "control/MouseCtrl.h"
#include "model/Maker.h"
#include "platform/ErrorGuard.h"
#include "platform/Shell.h"
#include "platform/win32/Utf16.h"
#include "ui/win32/ClickList.h"
#include "ui/win32/Controls.h"
#include "ui/win32/DefineForm.h"
#include "ui/win32/FMAbout.h"
#include "ui/win32/FMConfig.h"
#include "ui/win32/ToolImages.h"
#include "ui/win32/frmDefine.h"

#include <cstdio>
#include <cwchar>
#include <iterator>

namespace {
constexpr int kListId = 100;
constexpr int kButtonWidth = 62;
constexpr int kButtonHeight = 58;
constexpr int kPanelMargin = 2;
constexpr UINT kTrayIconId = 1;

struct ToolButton {
    TMForm::Command command;
    const wchar_t* caption;
    const wchar_t* hint;
    WORD key;
};

const ToolButton kToolButtons[] = {
    {TMForm::cmNew, L"&New", L"Create a new Click", 'N'},
    {TMForm::cmEdit, L"&Edit", L"Modify Selected Click", 'E'},
    {TMForm::cmDelete, L"&Delete", L"Delete Selected Click", 'D'},
    {TMForm::cmStart, L"&Start", L"Start Checked Click to Run", 'S'},
    {TMForm::cmStop, L"S&top", L"Stop All Running Click", 'T'},
    {TMForm::cmOptions, L"&Options", L"Config Visible Columns", 'O'},
    {TMForm::cmExit, L"E&xit", L"Exit", 'X'},
};

// The id of the button pressed, IDCANCEL for Escape, or 0 when the box could not be shown.
int askWithButtons(HWND owner, const std::string& text, PCWSTR icon, const std::vector<TASKDIALOG_BUTTON>& buttons) {
    const std::wstring content = toUtf16(text);
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.pszWindowTitle = L"Tappora";
    config.pszMainIcon = icon;
    config.pszContent = content.c_str();
    config.cButtons = UINT(buttons.size());
    config.pButtons = buttons.data();
    config.nDefaultButton = buttons.front().nButtonID;
    int pressed = 0;
    return SUCCEEDED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr)) ? pressed : 0;
}

std::wstring joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\r\n\r\n") + line;
    return toUtf16(text);
}
} // namespace

TMForm::TMForm(Platform& platform, IShell& shell, std::string folder, std::string recoveryFolder)
    : m_platform(platform), m_shell(shell), m_folder(std::move(folder)), m_recoveryFolder(std::move(recoveryFolder)) {
    createWindow("Tappora", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_TOPMOST, 561, 306, nullptr);
    SetWindowPos(handle(), nullptr, 0, 0, dpiScaled(561), dpiScaled(306), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    centreOnDesktop(handle());
    createToolBar();
    m_list = std::make_unique<TClickList>(handle(), kListId);
    m_list->setOnDoubleClick([this] { m_controller->EditClick(); });
    createMenu();
    layout();
    FormCreate();
}

TMForm::~TMForm() {
    FormClose(false);
    if (m_accelerators)
        DestroyAcceleratorTable(m_accelerators);
}

void TMForm::FormCreate() {
    createTrayIcon();
    setDroppedErrorObserver([this](const char* what) { reportDroppedError(what); });
    m_controller = std::make_unique<TMouseCtrl>(*this, m_platform, m_folder, m_recoveryFolder);
    m_list->setController(m_controller.get());
    setText(handle(), TAPPORA_TITLE);
}

// The controller object stays until the window object goes: a command may still be on the stack below a close that
// came from a nested message loop; a closed controller does nothing more.
void TMForm::FormClose(bool interactive) {
    if (m_closed)
        return;
    m_closed = true;
    if (m_trayShown)
        Shell_NotifyIconW(NIM_DELETE, &m_trayData);
    m_trayShown = false;
    setDroppedErrorObserver(nullptr);
    m_closeInteractive = interactive;
    std::vector<std::string> failures;
    runGuarded([&] {
        if (m_controller)
            failures = m_controller->Close(interactive ? TCloseKind::ByUser : TCloseKind::Unattended);
    });
    m_list->setController(nullptr);
    reportSaveFailures(failures, interactive);
}

void TMForm::reportSaveFailures(const std::vector<std::string>& messages, bool interactive) {
    if (messages.empty())
        return;
    for (const auto& message : messages)
        std::fprintf(stderr, "tappora: %s\n", message.c_str());
    // A box would hold up the session's end; there the lines on stderr must do.
    if (interactive)
        MessageBoxW(nullptr, joined(messages).c_str(), L"Tappora", MB_OK | MB_ICONERROR);
}

// A failing click fails at every tick: each distinct error is told once. The click's row shows it too.
void TMForm::reportDroppedError(const std::string& what) {
    if (m_reportedErrors.insert(what).second)
        std::fprintf(stderr, "tappora: %s\n", what.c_str());
}

void TMForm::requestClose(bool interactive) {
    if (TModalWindow::running() > 0) {
        TModalWindow::cancelAll();
        PostMessageW(handle(), WM_CLOSE, 0, 0);
        return;
    }
    FormClose(interactive);
    DestroyWindow(handle());
}

void TMForm::show() {
    ShowWindow(handle(), m_showMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(handle());
}

void TMForm::showStartupMessages() {
    if (!m_controller || m_controller->StartupMessages().empty())
        return;
    MessageBoxW(handle(), joined(m_controller->StartupMessages()).c_str(), L"Warning", MB_OK | MB_ICONWARNING);
}

void TMForm::createToolBar() {
    m_toolBar = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, nullptr,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
        dpiScaled(kPanelMargin), dpiScaled(kPanelMargin), dpiScaled(kButtonWidth) * int(std::size(kToolButtons)),
        dpiScaled(kButtonHeight), handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_toolBar, WM_SETFONT, WPARAM(programFont(8, true)), FALSE);
    SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(m_toolBar, TB_SETIMAGELIST, 0, LPARAM(createToolImages()));
    std::vector<TBBUTTON> buttons;
    std::vector<ACCEL> keys;
    int image = 0;
    for (const ToolButton& button : kToolButtons) {
        buttons.push_back({image++, button.command, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, INT_PTR(button.caption)});
        keys.push_back({FALT | FVIRTKEY, button.key, WORD(button.command)});
    }
    SendMessageW(m_toolBar, TB_ADDBUTTONSW, buttons.size(), LPARAM(buttons.data()));
    SendMessageW(m_toolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(dpiScaled(kButtonWidth), dpiScaled(kButtonHeight)));
    SendMessageW(m_toolBar, TB_AUTOSIZE, 0, 0);
    m_accelerators = CreateAcceleratorTableW(keys.data(), int(keys.size()));
}

void TMForm::createMenu() {
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, cmAbout, L"About");
    AppendMenuW(menu, MF_STRING, cmHelp, L"Help");
    SetMenu(handle(), menu);
}

// Made even when no notification area is there yet; it is added again whenever the task bar comes (back).
void TMForm::createTrayIcon() {
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

void TMForm::layout() {
    RECT client{};
    GetClientRect(handle(), &client);
    const int top = dpiScaled(kButtonHeight + 2 * kPanelMargin);
    MoveWindow(m_list->handle(), 0, top, client.right, std::max(0, int(client.bottom) - top), TRUE);
}

void TMForm::toggleVisibility() {
    if (IsWindowVisible(handle())) {
        ShowWindow(handle(), SW_HIDE);
        return;
    }
    ShowWindow(handle(), IsIconic(handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(handle());
}

bool TMForm::translateAccelerator(MSG& message) {
    return !m_closed && TranslateAcceleratorW(handle(), m_accelerators, &message) != 0;
}

void TMForm::AboutMenuClick() {
    TFMAbout about(m_shell, handle());
    about.ShowModal();
}

void TMForm::WebPageMenuClick() {
    m_shell.openUrl(kMakerWebAddress);
}

void TMForm::command(int id) {
    if (m_closed)
        return;
    switch (id) {
    case cmNew:
        return m_controller->NewClick();
    case cmEdit:
        return m_controller->EditClick();
    case cmDelete:
        return m_controller->DeleteClick();
    case cmStart:
        return m_controller->StartAll();
    case cmStop:
        return m_controller->StopAll();
    case cmOptions:
        return m_controller->ShowOptions();
    case cmExit:
        return requestClose(true);
    case cmAbout:
        return AboutMenuClick();
    case cmHelp:
        return WebPageMenuClick();
    default:
        return;
    }
}

bool TMForm::notify(const NMHDR& header, LRESULT& result) {
    if (m_list->notify(header, result))
        return true;
    if (header.code != TTN_GETDISPINFOW)
        return false;
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(const_cast<NMHDR&>(header));
    for (const ToolButton& button : kToolButtons)
        if (UINT_PTR(button.command) == header.idFrom)
            info.lpszText = const_cast<wchar_t*>(button.hint);
    result = 0;
    return true;
}

LRESULT TMForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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

WindowHandle TMForm::windowHandle() const {
    return WindowHandle(handle());
}

TRect TMForm::windowBounds() const {
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

void TMForm::setWindowBounds(const TRect& bounds) {
    m_showMaximized = false;
    if (IsZoomed(handle()))
        ShowWindow(handle(), SW_RESTORE);
    MoveWindow(handle(), bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
}

bool TMForm::windowMaximized() const {
    return IsWindowVisible(handle()) ? IsZoomed(handle()) != 0 : m_showMaximized;
}

void TMForm::setWindowMaximized() {
    m_showMaximized = true;
    if (IsWindowVisible(handle()))
        ShowWindow(handle(), SW_MAXIMIZE);
}

std::vector<TRect> TMForm::monitorAreas() const {
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

void TMForm::clearColumns() {
    m_list->clearColumns();
}
void TMForm::addColumn(const std::string& caption) {
    m_list->addColumn(caption);
}
void TMForm::beginColumnUpdate() {
    m_list->beginColumnUpdate();
}
void TMForm::endColumnUpdate() {
    m_list->endColumnUpdate();
}
int TMForm::columnWidth(int column) const {
    return m_list->columnWidth(column);
}
void TMForm::setColumnWidth(int column, int width) {
    m_list->setColumnWidth(column, width);
}
void TMForm::setColumnAlignment(int column, TColumnAlignment alignment) {
    m_list->setColumnAlignment(column, alignment);
}
void TMForm::setColumnVisible(int column, bool visible) {
    m_list->setColumnVisible(column, visible);
}
int TMForm::columnPosition(int column) const {
    return m_list->columnPosition(column);
}
void TMForm::setColumnPosition(int column, int position) {
    m_list->setColumnPosition(column, position);
}
void TMForm::setMainColumn(int column) {
    m_list->setMainColumn(column);
}
void TMForm::rowsReset() {
    m_list->rowsReset();
}
void TMForm::rowInserted(int row) {
    m_list->rowInserted(row);
}
void TMForm::rowRemoved(int row) {
    m_list->rowRemoved(row);
}
void TMForm::repaintRow(int row) {
    m_list->repaintRow(row);
}
void TMForm::repaintAll() {
    m_list->repaintAll();
}
int TMForm::focusedRow() const {
    return m_list->focusedRow();
}

void TMForm::showFileMessage(const std::string& message) {
    std::fprintf(stderr, "tappora: %s\n", message.c_str());
    MessageBoxW(handle(), toUtf16(message).c_str(), L"Warning", MB_OK | MB_ICONWARNING);
}

TUnsavedChoice TMForm::askUnsaved(const std::string& problem) {
    if (!m_closeInteractive)
        return TUnsavedChoice::NoAnswer;
    std::fprintf(stderr, "tappora: %s\n", problem.c_str());
    enum { kTryAgain = 101, kSaveElsewhere, kQuit };
    // Escape means try again: only the explicit button quits without saving.
    switch (askWithButtons(
        handle(), problem + "\r\n\r\nYour changes are not saved yet.", TD_WARNING_ICON,
        {{kTryAgain, L"&Try Again"}, {kSaveElsewhere, L"&Save List As..."}, {kQuit, L"&Quit Without Saving"}})) {
    case 0:
        return TUnsavedChoice::NoAnswer;
    case kSaveElsewhere:
        return TUnsavedChoice::SaveListElsewhere;
    case kQuit:
        return TUnsavedChoice::QuitWithoutSaving;
    default:
        return TUnsavedChoice::TryAgain;
    }
}

std::string TMForm::chooseListFile() {
    wchar_t path[MAX_PATH] = L"tapporas.xml";
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

TRecoveredChoice TMForm::askRestore(const std::string& path) {
    enum { kRestore = 101, kKeep, kDiscard };
    const std::string text = "When Tappora last ended, the click list could not be saved, so it was kept in\r\n" +
                             path + "\r\n\r\nRestore that list now? It replaces the list Tappora has just loaded.";
    switch (askWithButtons(handle(), text, TD_INFORMATION_ICON,
                           {{kRestore, L"&Restore"}, {kKeep, L"&Keep for Later"}, {kDiscard, L"&Discard"}})) {
    case kRestore:
        return TRecoveredChoice::Restore;
    case kDiscard:
        return TRecoveredChoice::Discard;
    default:
        return TRecoveredChoice::KeepForLater;
    }
}

bool TMForm::confirmDelete() {
    return MessageBoxW(handle(), L"Are you sure to delete the click?", L"Warning", MB_YESNO | MB_ICONQUESTION) != IDNO;
}

std::unique_ptr<IClickEditor> TMForm::createClickEditor() {
    auto editor = std::make_unique<TDefineForm>(m_platform.mouse, m_platform.screen, handle());
    for (int n = 0; n < TMouseCtrl::kHotKeyCount; ++n)
        if (m_controller && !m_controller->HotKeyTaken(n))
            editor->frame().markHotKeyUnavailable(n);
    return editor;
}

std::unique_ptr<IOptionsDialog> TMForm::createOptionsDialog() {
    return std::make_unique<TFMConfig>(handle());
}
