#include "ui/win32/AboutBox.h"

#include "TapporaVersion.h"
#include "model/Maker.h"
#include "platform/Shell.h"
#include "ui/win32/Controls.h"

#include <string>

namespace {
constexpr int kWebAddressId = 5;
constexpr int kMailAddressId = 7;

HWND label(HWND parent, const std::string& text, int x, int y, int width, int height, int points, bool bold = false,
           int id = 0, DWORD style = 0) {
    HWND control = createControl(parent, L"STATIC", text, style, x, y, width, height, id);
    SendMessageW(control, WM_SETFONT, WPARAM(programFont(points, bold)), FALSE);
    return control;
}

HWND link(HWND parent, const std::string& text, int x, int y, int width, int id) {
    HWND control = createControl(parent, L"STATIC", text, SS_NOTIFY, x, y, width, 14, id);
    SendMessageW(control, WM_SETFONT, WPARAM(programFont(8, false, true)), FALSE);
    return control;
}
} // namespace

TAboutBox::TAboutBox(IShell& shell, HWND owner) : m_shell(shell) {
    createWindow("About Tappora", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME, 322, 138,
                 owner);
    centreOnDesktop(handle());
    lblTitle = label(handle(), "Tappora", 44, 11, 267, 18, 10, true, 0, SS_CENTER);
    label(handle(), "Mouse clicks on their own timers", 63, 34, 220, 18, 10);
    label(handle(), "Web: ", 22, 65, 40, 18, 10);
    lblWebAddress = link(handle(), kMakerWebAddress, 64, 67, 227, kWebAddressId);
    label(handle(), "Email: ", 22, 89, 42, 18, 10);
    lblMailAddress = link(handle(), kMakerMailAddress, 64, 91, 213, kMailAddressId);
    lblLicense = label(handle(), kLicenseNotice, 22, 113, 280, 14, 8);
    FormShow();
}

void TAboutBox::FormShow() {
    setText(lblTitle, TAPPORA_TITLE);
}

void TAboutBox::lblWebAddressClick() {
    m_shell.openUrl(kMakerWebAddress);
}

void TAboutBox::lblMailAddressClick() {
    m_shell.openUrl(std::string("mailto:") + kMakerMailAddress);
}

LRESULT TAboutBox::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == STN_CLICKED && LOWORD(wParam) == kWebAddressId)
            lblWebAddressClick();
        else if (HIWORD(wParam) == STN_CLICKED && LOWORD(wParam) == kMailAddressId)
            lblMailAddressClick();
        return 0;
    case WM_LBUTTONDOWN:
        setModalResult(mrCancel);
        return 0;
    case WM_SETCURSOR:
        if (isLink(HWND(wParam))) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_CTLCOLORSTATIC: {
        HDC dc = HDC(wParam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, isLink(HWND(lParam)) ? RGB(0, 0, 255) : GetSysColor(COLOR_BTNTEXT));
        return LRESULT(GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
        break;
    }
    return TModalWindow::handleMessage(message, wParam, lParam);
}
