#pragma once

#include "engine/ProgramMouse.h"
#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

// The way out of a runaway fast click: while it watches, the pointer pushed into a corner of a monitor and held there
// for kHoldMs calls `onCorner`. A pointer that lies where the program's clicks put it is not the user's doing: it
// neither counts nor ends the hold. While it watches, the pointer is also looked at just before each move of a click,
// so that a click that pulls the pointer to its target more often than the watch looks cannot hide the user's push
// into a corner. Where the pointer cannot be read, it never watches.
class TCornerWatch {
public:
    static constexpr int kPollMs = 50;
    static constexpr int kHoldMs = 500;
    // How near a corner, in pixels from each of its two edges, the pointer counts as in it.
    static constexpr int kCornerReach = 2;

    TCornerWatch(Platform& platform, TProgramMouse& programMouse, std::function<void()> onCorner);
    ~TCornerWatch();
    TCornerWatch(const TCornerWatch&) = delete;
    TCornerWatch& operator=(const TCornerWatch&) = delete;

    // Starts or stops watching; a watch started anew waits a whole kHoldMs again.
    void Watch(bool on);
    bool Watching() const;
    // Whether the pointer can be watched on this system.
    bool Available() const { return m_platform.mouse.readsPointer(); }
    static bool InACorner(TPoint point, std::span<const TRect> monitors);

private:
    // Notes when the pointer came into a corner, or that it left; a pointer where a click put it changes nothing.
    void Look();
    void Poll();

    Platform& m_platform;
    TProgramMouse& m_programMouse;
    std::function<void()> m_onCorner;
    std::unique_ptr<ITimer> m_timer;
    // The tick count at which the pointer came into the corner it is in.
    std::optional<std::uint32_t> m_inCornerSince;
};
