#include "ui/win32/FindMark.h"

namespace {
const wchar_t* const kMarkClass = L"TapporaFindMark";

// Each bar is filled with the brush it carries.
LRESULT CALLBACK markProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(HDC(wParam), &client, HBRUSH(GetWindowLongPtrW(window, GWLP_USERDATA)));
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerMarkClass() {
    static const bool registered = [] {
        WNDCLASSEXW markClass{};
        markClass.cbSize = sizeof markClass;
        markClass.lpfnWndProc = markProc;
        markClass.hInstance = GetModuleHandleW(nullptr);
        markClass.lpszClassName = kMarkClass;
        return RegisterClassExW(&markClass) != 0;
    }();
    (void)registered;
}

COLORREF colorRef(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
} // namespace

TFindMark::~TFindMark() {
    hide();
}

void TFindMark::show(const std::vector<TMarkBar>& bars) {
    hide();
    registerMarkClass();
    for (const TMarkBar& bar : bars) {
        HBRUSH brush = CreateSolidBrush(colorRef(bar.color));
        HWND window =
            CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                            kMarkClass, L"Find now mark", WS_POPUP, bar.rect.left, bar.rect.top, bar.rect.width,
                            bar.rect.height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!window) {
            DeleteObject(brush);
            continue;
        }
        SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(brush));
        SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        m_bars.push_back(window);
        m_brushes.push_back(brush);
    }
}

void TFindMark::hide() {
    for (HWND window : m_bars)
        DestroyWindow(window);
    for (HBRUSH brush : m_brushes)
        DeleteObject(brush);
    m_bars.clear();
    m_brushes.clear();
}
