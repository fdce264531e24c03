#pragma once

#include "platform/EventLoop.h"

#include <functional>
#include <memory>
#include <vector>

struct tagMSG;

// Timers and the pending-message pump on the calling thread's message queue; create it on the user-interface thread.
// Timers keep to start + k x interval with high-resolution one-shot multimedia timers whose callbacks post a message
// to a hidden window of this thread, so ticks arrive in every loop that runs the thread (modal dialogs, menus, the
// window-move loop), come at 1 ms intervals (a plain SetTimer ticks at the scheduler's 15.6 ms), never tick inside
// a tick, and drop slots missed while the thread was busy instead of bursting.
class Win32EventLoop : public IEventLoop {
public:
    Win32EventLoop();
    Win32EventLoop(const Win32EventLoop&) = delete;
    Win32EventLoop& operator=(const Win32EventLoop&) = delete;
    // Timers made here stop ticking.
    ~Win32EventLoop() override;

    std::unique_ptr<ITimer> createTimer() override;
    // Runs the messages pending at the call, then the input and painting waiting after them; messages posted by
    // the handlers meanwhile (a fast timer's next tick) wait for the next call, so the call always returns. Timer
    // ticks do not run here: they wait for the loop outside, first due first, so ticks never nest.
    void processMessages() override;

    // Runs the thread's message loop until WM_QUIT; returns its exit code.
    int run();
    // Translates and dispatches one message the way run() and processMessages() do: first the front end's filter
    // (accelerators, modeless dialogs), then dialog keys for dialogs, then the window procedure.
    void dispatch(tagMSG& message);
    // The front end's own pre-translation; returns true when it consumed the message.
    void setMessageFilter(std::function<bool(tagMSG& message)> filter);

    struct State;

private:
    // Dispatches the message; false (and the quit left in the queue) for WM_QUIT.
    bool dispatchUnlessQuit(tagMSG& message);
    // As dispatchUnlessQuit, but keeps a timer tick in `ticks` instead of running it.
    bool dispatchOrKeepTick(tagMSG& message, std::vector<tagMSG>& ticks);

    std::shared_ptr<State> m_state;
};
