#pragma once

#include "platform/Backend.h"
#include "platform/EventLoop.h"

#include <functional>
#include <memory>

class QObject;

// Timers and the pending-message pump on Qt's event loop, for the user-interface thread; a QCoreApplication (or
// QApplication) must exist while it is used. Timers keep to start + k x interval, so a busy moment delays ticks
// without making them drift; slots missed entirely are dropped, not made up in a burst. The loop wakes at each tick's
// due time to the nanosecond (a kernel timer it watches), where Qt's own timers take whole milliseconds.
//
// Ticks that are all due when the loop takes the first of them form one batch (see IEventLoop::tickBatch), even though
// they run one per round of the loop.
//
// The pump runs input, hotkeys and posted calls, but no timer tick: a tick that falls due while a tick's pump runs
// waits for the loop outside it, behind the ticks that waited before it. So ticks never nest, however many are due.
//
// A backend's own connections (the X11 hotkeys') are watched from here, whatever Qt platform plugin runs the windows:
//
//     backend.deliverEventsThrough(loop);
class QtEventLoop : public IEventLoop, public IForeignLoop {
public:
    QtEventLoop();
    QtEventLoop(const QtEventLoop&) = delete;
    QtEventLoop& operator=(const QtEventLoop&) = delete;
    // Timers made here stop ticking; watches end.
    ~QtEventLoop() override;

    std::unique_ptr<ITimer> createTimer() override;
    void processMessages() override;
    std::uint64_t tickBatch() const override;

    void watchReadable(int fd, std::function<void()> handler) override;
    void post(std::function<void()> call) override;

private:
    class TickQueue;
    friend class QtTimer;

    // Parent of every timer's QTimer and every watch, so that none outlives the loop.
    std::unique_ptr<QObject> m_context;
    std::shared_ptr<TickQueue> m_ticks;
};
