#pragma once

#include "platform/Platform.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32HotKeys.h"
#include "platform/win32/Win32Mouse.h"
#include "platform/win32/Win32Screen.h"
#include "platform/win32/Win32Shell.h"

// The real platform on Windows, for the user-interface thread that creates it: pointer and buttons, the screen,
// timers and the message pump, the clock, global hotkeys and the shell.
//
//     Win32Backend backend;
//     TMForm form(backend.platform(), backend.shell(), programFolder().u8string());
//     return backend.loop().run();
class Win32Backend {
public:
    Win32Backend() = default;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    Platform platform() { return {m_mouse, m_screen, m_loop, m_clock, m_hotKeys}; }
    Win32Mouse& mouse() { return m_mouse; }
    Win32Screen& screen() { return m_screen; }
    Win32EventLoop& loop() { return m_loop; }
    Win32Clock& clock() { return m_clock; }
    Win32HotKeys& hotKeys() { return m_hotKeys; }
    Win32Shell& shell() { return m_shell; }

private:
    Win32Mouse m_mouse;
    Win32Screen m_screen;
    Win32EventLoop m_loop;
    Win32Clock m_clock;
    Win32HotKeys m_hotKeys;
    Win32Shell m_shell;
};
