#pragma once

#include "platform/HotKeys.h"
#include "platform/win32/MessageWindow.h"

#include <functional>
#include <map>
#include <set>

// Global hotkeys through RegisterHotKey. They are registered for the backend's own hidden
// window, so WM_HOTKEY reaches this object in every loop of the thread and the front end
// forwards nothing. A held key fires once: the keys are registered with MOD_NOREPEAT, and because not every system
// honours it, a key that fired is ignored until it has been seen released.
class Win32HotKeys : public IHotKeys {
public:
    Win32HotKeys();
    Win32HotKeys(const Win32HotKeys&) = delete;
    Win32HotKeys& operator=(const Win32HotKeys&) = delete;
    // Unregisters every hotkey still registered.
    ~Win32HotKeys() override;

    bool registerHotKey(int id, THotKey key) override;
    void unregisterHotKey(int id) override;
    void setOnHotKey(std::function<void(int id)> handler) override;

private:
    bool handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void pressed(int id);
    void checkReleases();

    MessageWindow m_window;
    std::map<int, unsigned> m_registeredKeys; // id -> virtual key
    std::set<int> m_held;
    std::function<void(int)> m_onHotKey;
};
