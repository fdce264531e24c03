#include "platform/win32/MessageWindow.h"

#include "platform/ErrorGuard.h"

#include <windows.h>

#include <utility>

namespace {
constexpr wchar_t kClassName[] = L"TapporaMessageWindow";

HINSTANCE moduleInstance() {
    return GetModuleHandleW(nullptr);
}

// The window's user data points at its handler from creation to destruction.
LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_DESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    } else if (auto* handler = reinterpret_cast<MessageWindow::Handler*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
        bool handled = false;
        // Nothing may leave a window procedure: Windows would unwind through its own frames.
        runGuarded([&] { handled = (*handler)(message, wParam, lParam); });
        if (handled)
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

MessageWindow::MessageWindow(Handler handler) : m_handler(std::move(handler)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = moduleInstance();
    windowClass.lpszClassName = kClassName;
    // A second registration fails harmlessly: the class is already there.
    RegisterClassExW(&windowClass);
    const HWND window =
        CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, moduleInstance(), &m_handler);
    m_handle = reinterpret_cast<std::uintptr_t>(window);
}

MessageWindow::~MessageWindow() {
    if (m_handle != 0)
        DestroyWindow(reinterpret_cast<HWND>(m_handle));
}
