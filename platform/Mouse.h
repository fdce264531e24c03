#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <stdexcept>

// Button event flags, with the values the click list and the click step use (the system's values). Named so that no
// operating-system header's macros clash.
namespace MouseButtonEvent {
constexpr std::uint32_t LeftDown = 0x0002;
constexpr std::uint32_t LeftUp = 0x0004;
constexpr std::uint32_t RightDown = 0x0008;
constexpr std::uint32_t RightUp = 0x0010;
constexpr std::uint32_t MiddleDown = 0x0020;
constexpr std::uint32_t MiddleUp = 0x0040;
} // namespace MouseButtonEvent

// Thrown by a service that the desktop refused or took back (the user said no, the session ended): unlike a failed
// event, trying again will not help until the user acts, so the clicks that need it stop.
class TServiceRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Thrown by a mouse whose system takes clicks more slowly than they are asked for, for a press it dropped with its
// release: like a slot the timer missed, that click is not counted, and it is no error.
class TClickDropped : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class IMouse {
public:
    // The toolkits' own default where the system keeps no such setting (X11, Wayland).
    static constexpr int kDefaultDoubleClickTime = 400;

    virtual ~IMouse() = default;
    // Gets ready to click: where the desktop must first allow it, asks now and returns at once (button events throw
    // until it has answered); nothing where clicks need no leave.
    virtual void prepare() {}
    // Whether the desktop asks the user's leave before the first click (prepare() asks it).
    virtual bool asksLeave() const { return false; }
    // The pointer position in screen pixels; where the system keeps it from programs (Wayland), where the program last
    // put it.
    virtual TPoint cursorPos() = 0;
    // Whether cursorPos() reads where the pointer really is.
    virtual bool readsPointer() const { return true; }
    // Moves the pointer to (x, y); points off the screen are passed on unchanged.
    virtual void setCursorPos(int x, int y) = 0;
    // Sends one button event (one MouseButtonEvent flag) where the pointer is, delivered in call order. Throws when the
    // system refused the event, so that a click that never happened is not counted (TClickDropped when it was only
    // too fast for the system).
    virtual void sendButtonEvent(std::uint32_t flag) = 0;
    // Holds back the moves and button events that follow until sendHeld(), so that the system gets a click's events
    // in one go: on X11 one write, where each event sent on its own costs the server a wake-up. Nothing where each
    // event is sent anyway.
    virtual void holdEvents() {}
    // Sends what was held back, in call order, and sends each event at once again from then on.
    virtual void sendHeld() {}
    // The longest time in ms from one press to the next that programs still take for a double click.
    virtual int doubleClickTime() const { return kDefaultDoubleClickTime; }
};
