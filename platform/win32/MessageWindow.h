#pragma once

#include <cstdint>
#include <functional>

// A hidden message-only window of the calling thread. Timer ticks and hotkeys are posted to it, so they are
// dispatched by whatever loop runs the thread: the program's own, a modal dialog's, a menu's or the window-move loop.
class MessageWindow {
public:
    // Returns true when it handled the message; everything else goes to the default window procedure.
    using Handler = std::function<bool(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)>;

    explicit MessageWindow(Handler handler);
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;
    ~MessageWindow();

    // The window's HWND as a number (0 when it could not be created).
    std::uintptr_t handle() const { return m_handle; }

private:
    Handler m_handler;
    std::uintptr_t m_handle = 0;
};
