#pragma once

#include "platform/Mouse.h"

#include <functional>
#include <optional>
#include <utility>

// The pointer as the program's clicks use it: passes everything on and remembers where they last moved the pointer,
// so that a watch on the pointer can tell the program's own moves from the user's. A click at the pointer "moves" it
// where it was just read, which is no move.
class TProgramMouse : public IMouse {
public:
    explicit TProgramMouse(IMouse& mouse) : m_mouse(mouse) {}

    void prepare() override { m_mouse.prepare(); }
    bool asksLeave() const override { return m_mouse.asksLeave(); }

    TPoint cursorPos() override {
        m_lastRead = m_mouse.cursorPos();
        return *m_lastRead;
    }
    bool readsPointer() const override { return m_mouse.readsPointer(); }
    void setCursorPos(int x, int y) override {
        if (m_beforeMove)
            m_beforeMove();
        m_mouse.setCursorPos(x, y);
        if (m_lastRead != TPoint{x, y})
            m_lastPlaced = TPoint{x, y};
    }
    void sendButtonEvent(std::uint32_t flag) override { m_mouse.sendButtonEvent(flag); }
    void holdEvents() override { m_mouse.holdEvents(); }
    void sendHeld() override { m_mouse.sendHeld(); }
    int doubleClickTime() const override { return m_mouse.doubleClickTime(); }

    // Where the program last put the pointer; nothing before its first move.
    std::optional<TPoint> lastPlaced() const { return m_lastPlaced; }
    // Runs before each move, while the pointer is still where the user left it; none when empty.
    void setBeforeMove(std::function<void()> beforeMove) { m_beforeMove = std::move(beforeMove); }

private:
    IMouse& m_mouse;
    std::optional<TPoint> m_lastPlaced;
    std::optional<TPoint> m_lastRead;
    std::function<void()> m_beforeMove;
};
