#pragma once

#include "platform/Mouse.h"

#include <functional>

// The pointer and the buttons through the system's input queue. Button events carry no position and no move flag,
// so each acts where the pointer is, exactly as mouse_event with the button flag alone does.
//
// Windows may refuse injected input: a window of a program running with higher rights (as administrator) ignores
// input from a normal one, and nothing reaches a locked or secure desktop. A refused event throws, so the click step
// ends there, counts nothing, and its list row says why instead of counting clicks that never happened.
class Win32Mouse : public IMouse {
public:
    // Puts one button event into the input queue; false when the system refused it.
    using ButtonSender = std::function<bool(std::uint32_t flag)>;

    Win32Mouse();
    // With another sender, for tests of what a refusal does.
    explicit Win32Mouse(ButtonSender sender);

    TPoint cursorPos() override;
    void setCursorPos(int x, int y) override;
    // Throws std::runtime_error when the system refused the event.
    void sendButtonEvent(std::uint32_t flag) override;
    int doubleClickTime() const override;

private:
    ButtonSender m_send;
    TPoint m_lastKnown;
};
