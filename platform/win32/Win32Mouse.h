#pragma once

#include "platform/Mouse.h"

// The pointer and the buttons through the system's input queue. Button events carry no position and no move flag,
// so each acts where the pointer is, exactly as mouse_event with the button flag alone does.
class Win32Mouse : public IMouse {
public:
    TPoint cursorPos() override;
    void setCursorPos(int x, int y) override;
    void sendButtonEvent(std::uint32_t flag) override;

    // Whether the last button event was refused by the system (the input was blocked, for example because the window
    // under the pointer belongs to a program with higher rights); false after one that went through.
    bool lastEventRefused() const { return m_lastEventRefused; }

private:
    TPoint m_lastKnown;
    bool m_lastEventRefused = false;
};
