#pragma once

#include "platform/Mouse.h"

#include <memory>
#include <optional>

struct _XDisplay;
class X11Monitors;

// Pointer and buttons through XTest, at the program's positions (origin at the primary monitor's top-left; the
// monitors are shared with the screen when given). Each request is flushed at once, unless held back, so events reach
// the server in call order.
class X11Mouse : public IMouse {
public:
    explicit X11Mouse(_XDisplay* display, std::shared_ptr<X11Monitors> monitors = nullptr);

    TPoint cursorPos() override;
    void setCursorPos(int x, int y) override;
    void sendButtonEvent(std::uint32_t flag) override;
    void holdEvents() override { m_holding = true; }
    void sendHeld() override;

private:
    void send();

    _XDisplay* m_display;
    bool m_holding = false;
    std::shared_ptr<X11Monitors> m_monitors;
};

// The X button and direction of a button event flag.
struct XButtonAction {
    unsigned button = 0;
    bool press = false;
};

// Left is X button 1, middle 2, right 3; nothing for a flag that is not one of the six button flags.
std::optional<XButtonAction> xButtonActionFor(std::uint32_t flag);
