#pragma once

#include "model/MouseObj.h"
#include "platform/Platform.h"

#include <memory>

// A click definition that runs over time on its own timer: it waits for its start condition on one-second ticks,
// then performs one click step per tick of the click interval.
class TBaseCtrl : public TMouseObj {
public:
    explicit TBaseCtrl(Platform& platform);
    ~TBaseCtrl() override;

    // Arms the runner from the beginning, whatever its state.
    void Start();
    void Stop();
    void StartWaitTick();
    void ClickTick();
    void NextRandomInterval();

    // Stops the runner and destroys it now, or, when called from inside one of its ticks (a tick lets pending
    // messages run, so Delete or close can come in there), right after that tick has returned.
    static void Dispose(std::unique_ptr<TBaseCtrl> runner);

    std::unique_ptr<ITimer> fTimer;
    std::int32_t fCount = 0;
    bool fRunning = false;

protected:
    Platform& fPlatform;
};

// What every list entry is; adds nothing.
class TBaseCtrlEX : public TBaseCtrl {
public:
    using TBaseCtrl::TBaseCtrl;
};
