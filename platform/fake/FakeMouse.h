#pragma once

#include "platform/Mouse.h"

#include <cstdint>
#include <string>
#include <vector>

class FakeEventLoop;

// One recorded mouse event: a pointer move to `pos`, or a button event (`flag`) sent with the pointer at `pos`.
struct FakeMouseEvent {
    enum class Kind { Move, Button };
    Kind kind = Kind::Move;
    std::uint32_t flag = 0;
    TPoint pos;
    std::int64_t time = 0;
    friend bool operator==(const FakeMouseEvent&, const FakeMouseEvent&) = default;
};

// A pointer that records every move and button event the program makes, with the virtual time it was made at. Events
// held back (holdEvents) are recorded only once sent, as a system receives them.
class FakeMouse : public IMouse {
public:
    explicit FakeMouse(const FakeEventLoop& clock) : m_clock(clock) {}

    TPoint cursorPos() override {
        ++m_positionReads;
        return m_pos;
    }
    bool readsPointer() const override { return m_readsPointer; }
    void prepare() override { ++m_preparations; }
    bool asksLeave() const override { return m_asksLeave; }
    // A desktop that asks the user's leave before the first click (the portals).
    void askLeave() { m_asksLeave = true; }
    int doubleClickTime() const override { return m_doubleClickTime; }
    void setDoubleClickTime(int ms) { m_doubleClickTime = ms; }
    void setCursorPos(int x, int y) override;
    // Throws TServiceRefused while the desktop refuses the clicks, TClickDropped for a press while it drops them.
    void sendButtonEvent(std::uint32_t flag) override;
    void holdEvents() override { m_holding = true; }
    void sendHeld() override;

    // A desktop that refused the program the pointer (the user said no): button events throw `why`.
    void refuse(std::string why) { m_refusal = std::move(why); }
    // A desktop still busy with earlier clicks: presses are dropped (TClickDropped) while `busy`.
    void dropPresses(bool busy) { m_droppingPresses = busy; }
    // How often the program got ready to click (a desktop that asks would have asked).
    int preparations() const { return m_preparations; }

    // A system that keeps the pointer's position from programs (Wayland).
    void hidePointer() { m_readsPointer = false; }

    // The user's hand moving the pointer: the position changes and nothing is recorded.
    void placePointer(TPoint pos) { m_pos = pos; }

    const std::vector<FakeMouseEvent>& events() const { return m_events; }
    // The flags of the recorded button events, in order.
    std::vector<std::uint32_t> buttonFlags() const;
    // The recorded button events of one kind (e.g. MouseButtonEvent::LeftDown), in order.
    std::vector<FakeMouseEvent> buttonEvents(std::uint32_t flag) const;
    void clearEvents() { m_events.clear(); }
    // How often the program read the pointer position (on a real display, each read waits for the server).
    int positionReads() const { return m_positionReads; }

    // Whether the button of a down flag (MouseButtonEvent::LeftDown, ...) was pressed and not released since.
    bool isButtonDown(std::uint32_t downFlag) const { return (m_pressed & downFlag) != 0; }

private:
    void record(const FakeMouseEvent& event);
    void deliver(const FakeMouseEvent& event);

    const FakeEventLoop& m_clock;
    TPoint m_pos;
    std::uint32_t m_pressed = 0;
    int m_positionReads = 0;
    bool m_readsPointer = true;
    int m_preparations = 0;
    bool m_asksLeave = false;
    std::string m_refusal;
    bool m_droppingPresses = false;
    int m_doubleClickTime = kDefaultDoubleClickTime;
    std::vector<FakeMouseEvent> m_events;
    bool m_holding = false;
    std::vector<FakeMouseEvent> m_held;
};
