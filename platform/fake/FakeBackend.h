#pragma once

#include "platform/Backend.h"
#include "platform/fake/FakePlatform.h"

// The in-memory platform as a backend: a build with TAPPORA_BACKEND=fake opens this one. Its hotkeys and timers run
// on the fake loop, so the loop a caller offers is not needed.
class FakeBackend : public IBackend {
public:
    FakeMouse& mouse() override { return fake.mouse; }
    FakeScreen& screen() override { return fake.screen; }
    FakeClock& clock() override { return fake.clock; }
    FakeHotKeys& hotKeys() override { return fake.hotKeys; }
    void deliverEventsThrough(IForeignLoop&) override {}
    TBackendReport report() const override { return {"fake", "The in-memory platform of the tests.", {}, {}, {}, {}}; }

    FakePlatform fake;
};
