#include "ui/win32/ClickEditorDialog.h"

#include "platform/win32/Utf16.h"
#include "ui/win32/ClickEditorPanel.h"
#include "ui/win32/Controls.h"

namespace {
// Not IDOK and IDCANCEL: those are what Enter and Escape send to a dialog wherever the focus is.
constexpr int kOkId = 1001;
constexpr int kCancelId = 1002;
// Told once the dialog shows.
constexpr UINT kShowNotice = WM_APP + 1;

bool isPushButton(HWND window) {
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    return lstrcmpiW(name, L"Button") == 0 && (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
}
} // namespace

// The buttons lie in the panel's bottom row, beside the name.
TClickEditorDialog::TClickEditorDialog(IMouse& mouse, IScreen& screen, HWND owner) {
    const TSize panel = TClickEditorLayout::PanelSize();
    createWindow("Click Info", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                 WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, panel.width + 14, panel.height + 12, owner);
    centreOnDesktop(handle());
    m_panel = std::make_unique<TClickEditorPanel>(mouse, screen, handle());
    const int buttonsTop = panel.height - 23;
    btnOK = createControl(handle(), L"BUTTON", "&OK", WS_TABSTOP | BS_PUSHBUTTON, 228, buttonsTop, 75, 25, kOkId);
    btnCancel =
        createControl(handle(), L"BUTTON", "&Cancel", WS_TABSTOP | BS_PUSHBUTTON, 317, buttonsTop, 75, 25, kCancelId);
    // The buttons lie over the frame's bottom right.
    SetWindowPos(btnOK, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(btnCancel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

TClickEditorDialog::~TClickEditorDialog() = default;

void TClickEditorDialog::setCaption(const std::string& caption) {
    setText(handle(), caption);
}

void TClickEditorDialog::LoadFromClick(TMouseObj& click) {
    m_panel->LoadFromClick(click);
}

void TClickEditorDialog::SaveToClick(TMouseObj& click) {
    m_panel->SaveToClick(click);
}

int TClickEditorDialog::ShowModal() {
    if (!m_panel->loadNotice().empty())
        PostMessageW(handle(), kShowNotice, 0, 0);
    const int result = TModalWindow::ShowModal();
    FormClose();
    return result == mrOk ? mrOk : mrCancel;
}

void TClickEditorDialog::FormClose() {
    m_panel->StopCapture();
    m_panel->findNow().Cancel();
    m_panel->findNow().HideMark();
}

void TClickEditorDialog::btnOKClick() {
    m_panel->StopCapture();
    std::string message;
    if (const TNumericEdit* refused = m_panel->refusedEdit(message)) {
        MessageBoxW(handle(), toUtf16(message).c_str(), L"Warning", MB_OK | MB_ICONWARNING);
        SetFocus(refused->edit);
        SendMessageW(refused->edit, EM_SETSEL, 0, -1);
        return;
    }
    setModalResult(mrOk);
}

void TClickEditorDialog::btnCancelClick() {
    setModalResult(mrCancel);
}

bool TClickEditorDialog::inDialog(HWND window) const {
    return window == handle() || IsChild(handle(), window);
}

// Key preview: every typed character in the dialog is seen before its control.
bool TClickEditorDialog::previewMessage(MSG& message) {
    if (!inDialog(message.hwnd))
        return false;
    if (message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
        m_panel->capture().CharacterTyped();
        if (message.wParam == VK_ESCAPE)
            m_panel->findNow().Cancel();
        HWND focused = GetFocus();
        if (message.wParam == VK_RETURN && isPushButton(focused))
            SendMessageW(focused, BM_CLICK, 0, 0);
        return true;
    }
    if (message.message != WM_CHAR)
        return false;
    m_panel->capture().CharacterTyped();
    return false;
}

LRESULT TClickEditorDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kShowNotice) {
        MessageBoxW(handle(), toUtf16(m_panel->loadNotice()).c_str(), L"Warning", MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == kOkId)
            btnOKClick();
        else if (LOWORD(wParam) == kCancelId)
            btnCancelClick();
        return 0;
    }
    return TModalWindow::handleMessage(message, wParam, lParam);
}
