#include "ui/win32/Window.h"

#include "platform/ErrorGuard.h"
#include "platform/win32/Utf16.h"
#include "ui/win32/Controls.h"
#include "ui/win32/ToolImages.h"

#include <algorithm>
#include <vector>

namespace {
const wchar_t* const kWindowClass = L"TapporaWindow";

void registerWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = appIcon();
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

// The modal loops running now, outermost first.
std::vector<TModalWindow*>& modalStack() {
    static std::vector<TModalWindow*> stack;
    return stack;
}

// The program's other top-level windows that take input now; disabled while a modal window is up.
std::vector<HWND> enabledWindowsBut(HWND modal) {
    struct Search {
        HWND modal;
        std::vector<HWND> found;
    } search{modal, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (hwnd != s->modal && IsWindowEnabled(hwnd))
                s->found.push_back(hwnd);
            return TRUE;
        },
        LPARAM(&search));
    return search.found;
}
} // namespace

TWindow::~TWindow() {
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

void TWindow::createWindow(const std::string& caption, DWORD style, DWORD exStyle, int clientWidth, int clientHeight,
                           HWND owner, HMENU menu) {
    registerWindowClass();
    RECT bounds{0, 0, dpiScaled(clientWidth), dpiScaled(clientHeight)};
    AdjustWindowRectEx(&bounds, style, menu != nullptr, exStyle);
    m_hwnd = CreateWindowExW(exStyle, kWindowClass, toUtf16(caption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                             bounds.right - bounds.left, bounds.bottom - bounds.top, owner, menu,
                             GetModuleHandleW(nullptr), nullptr);
    attach();
}

void TWindow::createChild(HWND parent, int x, int y, int width, int height) {
    registerWindowClass();
    m_hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                             dpiScaled(x), dpiScaled(y), dpiScaled(width), dpiScaled(height), parent, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    attach();
}

void TWindow::attach() {
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, LONG_PTR(this));
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, LONG_PTR(&TWindow::windowProc));
}

LRESULT TWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK TWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<TWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    bool handled = false;
    runGuarded([&] {
        result = window->handleMessage(message, wParam, lParam);
        handled = true;
    });
    return handled ? result : DefWindowProcW(hwnd, message, wParam, lParam);
}

int TModalWindow::ShowModal() {
    m_result = 0;
    const std::vector<HWND> disabled = enabledWindowsBut(handle());
    for (HWND window : disabled)
        EnableWindow(window, FALSE);
    modalStack().push_back(this);
    m_inLoop = true;
    ShowWindow(handle(), SW_SHOW);
    SetForegroundWindow(handle());
    MSG message;
    while (m_result == 0) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the outer loop must see the quit too.
            PostQuitMessage(got == 0 ? int(message.wParam) : 1);
            m_result = mrCancel;
            break;
        }
        bool previewed = false;
        runGuarded([&] { previewed = previewMessage(message); });
        if (previewed || IsDialogMessageW(handle(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    m_inLoop = false;
    auto& stack = modalStack();
    stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
    // The others are enabled before this one hides, so the activation goes back to them.
    for (HWND window : disabled)
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    ShowWindow(handle(), SW_HIDE);
    return m_result;
}

void TModalWindow::setModalResult(int result) {
    m_result = result;
}

void TModalWindow::cancelAll() {
    auto& stack = modalStack();
    for (auto window = stack.rbegin(); window != stack.rend(); ++window)
        (*window)->setModalResult(mrCancel);
}

int TModalWindow::running() {
    return int(modalStack().size());
}

bool TModalWindow::previewMessage(MSG&) {
    return false;
}

LRESULT TModalWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        setModalResult(mrCancel);
        return 0;
    }
    return TWindow::handleMessage(message, wParam, lParam);
}
