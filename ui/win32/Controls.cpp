#include "ui/win32/Controls.h"

#include "platform/win32/Utf16.h"

#include <map>
#include <tuple>

HFONT programFont(int points, bool bold, bool underline) {
    static std::map<std::tuple<int, bool, bool>, HFONT> fonts;
    HFONT& font = fonts[{points, bold, underline}];
    if (!font) {
        HDC screen = GetDC(nullptr);
        const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
        font = CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                           L"MS Shell Dlg");
    }
    return font;
}

int dpiScaled(int pixels) {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int result = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return result > 0 ? result : USER_DEFAULT_SCREEN_DPI;
    }();
    return MulDiv(pixels, dpi, USER_DEFAULT_SCREEN_DPI);
}

HWND createControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style, int x, int y,
                   int width, int height, int id, DWORD exStyle) {
    HWND control = CreateWindowExW(exStyle, windowClass, toUtf16(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                                   dpiScaled(x), dpiScaled(y), dpiScaled(width), dpiScaled(height), parent,
                                   HMENU(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, WPARAM(programFont()), FALSE);
    return control;
}

void setText(HWND window, const std::string& text) {
    SetWindowTextW(window, toUtf16(text).c_str());
}

std::string getText(HWND window) {
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return toUtf8(text);
}

void centreOnDesktop(HWND window) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
