#pragma once

#include "platform/Mouse.h"

#include <optional>

struct _XDisplay;

// Pointer and buttons through XTest, in X root-window pixels. Each request is flushed at once, so events reach the
// server in call order.
class X11Mouse : public IMouse {
public:
    explicit X11Mouse(_XDisplay* display) : m_display(display) {}

    TPoint cursorPos() override;
    void setCursorPos(int x, int y) override;
    void sendButtonEvent(std::uint32_t flag) override;

private:
    _XDisplay* m_display;
};

// The X button and direction of a button event flag.
struct XButtonAction {
    unsigned button = 0;
    bool press = false;
};

// Left is X button 1, middle 2, right 3; nothing for a flag that is not one of the six button flags.
std::optional<XButtonAction> xButtonActionFor(std::uint32_t flag);
