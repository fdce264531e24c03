#pragma once

#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/HotKeys.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"

// The platform services the engine and the controller use, owned by whoever builds the program (or the test).
struct Platform {
    IMouse& mouse;
    IScreen& screen;
    IEventLoop& loop;
    IClock& clock;
    IHotKeys& hotKeys;
};
