#pragma once

#include "platform/HotKeys.h"
#include "platform/win32/MessageWindow.h"

#include <functional>
#include <map>
#include <set>
#include <string>

// Global hotkeys through the global atom table and RegisterHotKey. They are registered for the backend's own hidden
// window, whatever window is named, so WM_HOTKEY reaches this object in every loop of the thread and the front end
// forwards nothing. A held key fires once: the keys are registered with MOD_NOREPEAT, and because not every system
// honours it, a key that fired is ignored until it has been seen released.
class Win32HotKeys : public IHotKeys {
public:
    Win32HotKeys();
    Win32HotKeys(const Win32HotKeys&) = delete;
    Win32HotKeys& operator=(const Win32HotKeys&) = delete;
    // Unregisters every hotkey still registered and deletes the atoms it added.
    ~Win32HotKeys() override;

    int addAtom(const std::string& name) override;
    bool registerHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk) override;
    void unregisterHotKey(WindowHandle window, int id) override;
    void setOnHotKey(std::function<void(unsigned modifiers, unsigned vk)> handler) override;

private:
    bool handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void pressed(int id, unsigned modifiers, unsigned vk);
    void checkReleases();

    MessageWindow m_window;
    std::map<int, unsigned> m_registeredKeys; // id -> virtual key
    std::map<std::string, int> m_atoms;
    std::set<int> m_held;
    std::function<void(unsigned, unsigned)> m_onHotKey;
};
