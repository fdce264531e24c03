#include "platform/win32/Win32Mouse.h"

#include <windows.h>

#include <stdexcept>
#include <utility>

// The interface's button flags are the system's own, so they pass through to SendInput unchanged.
static_assert(MouseButtonEvent::LeftDown == MOUSEEVENTF_LEFTDOWN && MouseButtonEvent::LeftUp == MOUSEEVENTF_LEFTUP &&
              MouseButtonEvent::RightDown == MOUSEEVENTF_RIGHTDOWN &&
              MouseButtonEvent::RightUp == MOUSEEVENTF_RIGHTUP &&
              MouseButtonEvent::MiddleDown == MOUSEEVENTF_MIDDLEDOWN &&
              MouseButtonEvent::MiddleUp == MOUSEEVENTF_MIDDLEUP);

namespace {
bool isButtonFlag(std::uint32_t flag) {
    switch (flag) {
    case MOUSEEVENTF_LEFTDOWN:
    case MOUSEEVENTF_LEFTUP:
    case MOUSEEVENTF_RIGHTDOWN:
    case MOUSEEVENTF_RIGHTUP:
    case MOUSEEVENTF_MIDDLEDOWN:
    case MOUSEEVENTF_MIDDLEUP:
        return true;
    default:
        return false;
    }
}
bool sendThroughInputQueue(std::uint32_t flag) {
    // SendInput is what mouse_event does underneath, and unlike it, it says when the input was refused.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    return SendInput(1, &input, sizeof input) == 1;
}
} // namespace

Win32Mouse::Win32Mouse() : m_send(sendThroughInputQueue) {}

Win32Mouse::Win32Mouse(ButtonSender sender) : m_send(std::move(sender)) {}

TPoint Win32Mouse::cursorPos() {
    POINT point{};
    // Fails while another desktop (the lock screen, a UAC prompt) has the input; the last position read stands in.
    if (GetCursorPos(&point))
        m_lastKnown = {point.x, point.y};
    return m_lastKnown;
}

void Win32Mouse::setCursorPos(int x, int y) {
    SetCursorPos(x, y);
}

void Win32Mouse::sendButtonEvent(std::uint32_t flag) {
    if (!isButtonFlag(flag))
        return;
    if (!m_send(flag))
        throw std::runtime_error("Windows refused the mouse input (the window under the pointer may belong to a "
                                 "program running as administrator)");
}

int Win32Mouse::doubleClickTime() const {
    return static_cast<int>(GetDoubleClickTime());
}
