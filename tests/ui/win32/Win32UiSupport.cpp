#include "Win32UiSupport.h"

#include "platform/win32/Utf16.h"

void initCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&controls) != 0;
    }();
    (void)done;
}

namespace {
struct Awaited {
    std::wstring caption;
    std::function<void(HWND)> action;
    UINT_PTR timer = 0;
};

Awaited& awaited() {
    static Awaited waiting;
    return waiting;
}

void CALLBACK lookForWindow(HWND, UINT, UINT_PTR, DWORD) {
    Awaited& waiting = awaited();
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t caption[128] = L"";
            GetWindowTextW(window, caption, 128);
            if (!IsWindowVisible(window) || awaited().caption != caption)
                return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        LPARAM(&found));
    if (!found)
        return;
    KillTimer(nullptr, waiting.timer);
    const auto action = std::move(waiting.action);
    waiting = {};
    action(found);
}
} // namespace

void whenWindowAppears(const std::string& caption, std::function<void(HWND)> action) {
    Awaited& waiting = awaited();
    waiting.caption = toUtf16(caption);
    waiting.action = std::move(action);
    waiting.timer = SetTimer(nullptr, 0, 50, lookForWindow);
}

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::string windowText(HWND window) {
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return toUtf8(text);
}
