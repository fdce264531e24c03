#pragma once

#include "platform/Platform.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeEventLoop.h"
#include "platform/fake/FakeHotKeys.h"
#include "platform/fake/FakeMouse.h"
#include "platform/fake/FakeScreen.h"

// The whole in-memory platform of a test; `platform` hands its parts to the code under test.
struct FakePlatform {
    FakePlatform() = default;
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    FakeEventLoop loop;
    FakeMouse mouse{loop};
    FakeScreen screen;
    FakeClock clock{loop};
    FakeHotKeys hotKeys;
    Platform platform{mouse, screen, loop, clock, hotKeys};
};
