#pragma once

#include "platform/Platform.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

// A loop that the window toolkit runs (Qt's), offered to a backend whose events arrive on a connection of its own.
class IForeignLoop {
public:
    virtual ~IForeignLoop() = default;
    // Runs `handler`, inside the error guard, each time the loop finds `fd` readable, until the loop goes.
    virtual void watchReadable(int fd, std::function<void()> handler) = 0;
    // Runs `call`, inside the error guard, from the loop once the current handler has returned.
    virtual void post(std::function<void()> call) = 0;
};

enum class TWindowSystem { Any, X11, Wayland };

// Whether one service works where the program runs; when not, why, in one sentence the user can act on.
struct TCapability {
    bool works = true;
    std::string why;
};

// What `tappora check` and the About box tell: the backend in use, the session it found, and what works.
struct TBackendReport {
    // "x11", "wlroots", "win32" or "fake": the name `--backend` takes.
    std::string backend;
    // The session found, in one sentence.
    std::string session;
    TCapability clicks, captures, hotKeys, pointerPosition;
};

// The real platform of the system the program runs on. Each backend folder (platform/x11, platform/win32,
// platform/fake) implements openBackend(); the build's TAPPORA_BACKEND setting links exactly one of them, so a
// program opens its platform without naming it.
class IBackend {
public:
    virtual ~IBackend() = default;
    // Pointer and buttons.
    virtual IMouse& mouse() = 0;
    // Reading the screen.
    virtual IScreen& screen() = 0;
    // The system clock.
    virtual IClock& clock() = 0;
    // Global hotkeys; their presses come through the backend's own loop or the one given to deliverEventsThrough.
    virtual IHotKeys& hotKeys() = 0;
    // Has the events that reach the backend outside the program's windows (hotkeys) handled from `loop`; a backend
    // whose events come through the system's own message loop needs nothing here.
    virtual void deliverEventsThrough(IForeignLoop& loop) = 0;
    // The window system the program's own windows must be shown on for the clicks, captures and hotkeys to reach
    // them: X11 when they must be X11 windows (also under XWayland), Wayland when they must be native Wayland windows,
    // Any when the toolkit may choose.
    virtual TWindowSystem windowSystem() const { return TWindowSystem::Any; }
    // What works here and what does not.
    virtual TBackendReport report() const = 0;

    // The services for the engine and the controller, with `loop`'s timers and pump.
    Platform platform(IEventLoop& loop) { return {mouse(), screen(), loop, clock(), hotKeys()}; }
};

// The backend named `requested` (`--backend`), or with an empty name the one this system needs, among those the
// program was built with, opened for the user-interface thread; nothing when it cannot be opened (no display, no such
// backend in this build), with `failure` saying why in one or two sentences.
std::unique_ptr<IBackend> openBackend(std::string_view requested, std::string& failure);
inline std::unique_ptr<IBackend> openBackend(std::string& failure) {
    return openBackend({}, failure);
}
