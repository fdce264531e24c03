#include "platform/win32/Win32HotKeys.h"

#include <windows.h>

#include <utility>

namespace {
// Polls the held keys for their release: short enough that a quick second press counts, long enough to cost nothing.
constexpr UINT_PTR kReleaseTimer = 1;
constexpr UINT kReleasePollMs = 20;

#ifndef MOD_NOREPEAT
constexpr UINT MOD_NOREPEAT = 0x4000;
#endif

UINT systemModifiers(unsigned modifiers) {
    UINT system = 0;
    if (modifiers & HotKeyModifier::Alt)
        system |= MOD_ALT;
    if (modifiers & HotKeyModifier::Control)
        system |= MOD_CONTROL;
    if (modifiers & HotKeyModifier::Shift)
        system |= MOD_SHIFT;
    if (modifiers & HotKeyModifier::Super)
        system |= MOD_WIN;
    return system;
}

// The virtual-key code of function key `n`; 0 when there is none.
unsigned virtualKey(int n) {
    return n >= 1 && n <= 24 ? VK_F1 + static_cast<unsigned>(n - 1) : 0;
}

bool isDown(unsigned vk) {
    return (GetAsyncKeyState(static_cast<int>(vk)) & 0x8000) != 0;
}
} // namespace

Win32HotKeys::Win32HotKeys()
    : m_window([this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
          return handle(message, wParam, lParam);
      }) {}

Win32HotKeys::~Win32HotKeys() {
    const HWND window = reinterpret_cast<HWND>(m_window.handle());
    for (const auto& [id, vk] : m_registeredKeys)
        UnregisterHotKey(window, id);
}

bool Win32HotKeys::registerHotKey(int id, THotKey key) {
    const HWND window = reinterpret_cast<HWND>(m_window.handle());
    if (m_registeredKeys.contains(id))
        UnregisterHotKey(window, id);
    m_registeredKeys.erase(id);
    const unsigned vk = virtualKey(key.functionKey);
    if (vk == 0 || !RegisterHotKey(window, id, systemModifiers(key.modifiers) | MOD_NOREPEAT, vk))
        return false;
    m_registeredKeys[id] = vk;
    return true;
}

void Win32HotKeys::unregisterHotKey(int id) {
    if (m_registeredKeys.erase(id) == 0)
        return;
    UnregisterHotKey(reinterpret_cast<HWND>(m_window.handle()), id);
    m_held.erase(id);
}

void Win32HotKeys::setOnHotKey(std::function<void(int)> handler) {
    m_onHotKey = std::move(handler);
}

bool Win32HotKeys::handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == WM_HOTKEY) {
        pressed(static_cast<int>(wParam));
        return true;
    }
    if (message == WM_TIMER && wParam == kReleaseTimer) {
        checkReleases();
        return true;
    }
    return false;
}

void Win32HotKeys::pressed(int id) {
    if (!m_registeredKeys.contains(id) || !m_held.insert(id).second)
        return;
    SetTimer(reinterpret_cast<HWND>(m_window.handle()), kReleaseTimer, kReleasePollMs, nullptr);
    // The handler may unregister keys or replace itself.
    const auto handler = m_onHotKey;
    if (handler)
        handler(id);
}

void Win32HotKeys::checkReleases() {
    std::erase_if(m_held, [this](int id) {
        const auto key = m_registeredKeys.find(id);
        return key == m_registeredKeys.end() || !isDown(key->second);
    });
    if (m_held.empty())
        KillTimer(reinterpret_cast<HWND>(m_window.handle()), kReleaseTimer);
}
