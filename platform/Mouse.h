#pragma once

#include "platform/Geometry.h"

#include <cstdint>

// Button event flags, with the values the click list and the click step use.
enum MouseEventFlag : std::uint32_t {
    MOUSEEVENTF_LEFTDOWN = 0x0002,
    MOUSEEVENTF_LEFTUP = 0x0004,
    MOUSEEVENTF_RIGHTDOWN = 0x0008,
    MOUSEEVENTF_RIGHTUP = 0x0010,
    MOUSEEVENTF_MIDDLEDOWN = 0x0020,
    MOUSEEVENTF_MIDDLEUP = 0x0040,
};

class IMouse {
public:
    virtual ~IMouse() = default;
    // The pointer position in screen pixels.
    virtual TPoint cursorPos() = 0;
    // Moves the pointer to (x, y); points off the screen are passed on unchanged.
    virtual void setCursorPos(int x, int y) = 0;
    // Sends one button event (one MouseEventFlag) where the pointer is, delivered in call order. Throws when the
    // system refused the event, so that a click that never happened is not counted.
    virtual void sendButtonEvent(std::uint32_t flag) = 0;
};
