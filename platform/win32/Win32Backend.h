#pragma once

#include "platform/Backend.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32HotKeys.h"
#include "platform/win32/Win32Mouse.h"
#include "platform/win32/Win32Screen.h"
#include "platform/win32/Win32Shell.h"

// The real platform on Windows, for the user-interface thread that creates it: pointer and buttons, the screen,
// timers and the message pump, the clock, global hotkeys and the shell. Its hotkeys and timers arrive through its
// own message loop, which the Win32 program runs.
//
//     Win32Backend backend;
//     TMainWindow form(backend.platform(), backend.shell(), programFolder().u8string());
//     return backend.loop().run();
class Win32Backend : public IBackend {
public:
    Win32Backend() = default;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    Platform platform() { return IBackend::platform(m_loop); }
    Win32Mouse& mouse() override { return m_mouse; }
    Win32Screen& screen() override { return m_screen; }
    Win32EventLoop& loop() { return m_loop; }
    Win32Clock& clock() override { return m_clock; }
    Win32HotKeys& hotKeys() override { return m_hotKeys; }
    Win32Shell& shell() { return m_shell; }
    void deliverEventsThrough(IForeignLoop&) override {}
    TBackendReport report() const override { return {"win32", "A Windows session.", {}, {}, {}, {}}; }

private:
    Win32Mouse m_mouse;
    Win32Screen m_screen;
    Win32EventLoop m_loop;
    Win32Clock m_clock;
    Win32HotKeys m_hotKeys;
    Win32Shell m_shell;
};
