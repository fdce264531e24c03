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
