#include "platform/win32/Win32HotKeys.h"

#include <windows.h>

#include <utility>

// The interface's modifier and key values are the system's own, so they pass through to RegisterHotKey unchanged.
static_assert(HotKeyModifier::Alt == MOD_ALT && HotKeyModifier::Control == MOD_CONTROL &&
              HotKeyModifier::Shift == MOD_SHIFT && HotKeyModifier::Win == MOD_WIN);
static_assert(VirtualKey::F1 == VK_F1 && VirtualKey::F12 == VK_F12);

namespace {
// Polls the held keys for their release: short enough that a quick second press counts, long enough to cost nothing.
constexpr UINT_PTR kReleaseTimer = 1;
constexpr UINT kReleasePollMs = 20;

#ifndef MOD_NOREPEAT
constexpr UINT MOD_NOREPEAT = 0x4000;
#endif

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
    for (const auto& [name, atom] : m_atoms)
        GlobalDeleteAtom(static_cast<ATOM>(atom));
}

int Win32HotKeys::addAtom(const std::string& name) {
    const auto known = m_atoms.find(name);
    if (known != m_atoms.end())
        return known->second;
    const ATOM atom = GlobalAddAtomA(name.c_str());
    m_atoms[name] = atom;
    return atom;
}

bool Win32HotKeys::registerHotKey(WindowHandle, int id, unsigned modifiers, unsigned vk) {
    const HWND window = reinterpret_cast<HWND>(m_window.handle());
    if (m_registeredKeys.contains(id))
        UnregisterHotKey(window, id);
    m_registeredKeys.erase(id);
    if (!RegisterHotKey(window, id, modifiers | MOD_NOREPEAT, vk))
        return false;
    m_registeredKeys[id] = vk;
    return true;
}

void Win32HotKeys::unregisterHotKey(WindowHandle, int id) {
    if (m_registeredKeys.erase(id) == 0)
        return;
    UnregisterHotKey(reinterpret_cast<HWND>(m_window.handle()), id);
    m_held.erase(id);
}

void Win32HotKeys::setOnHotKey(std::function<void(unsigned modifiers, unsigned vk)> handler) {
    m_onHotKey = std::move(handler);
}

bool Win32HotKeys::handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == WM_HOTKEY) {
        pressed(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
        return true;
    }
    if (message == WM_TIMER && wParam == kReleaseTimer) {
        checkReleases();
        return true;
    }
    return false;
}

void Win32HotKeys::pressed(int id, unsigned modifiers, unsigned vk) {
    if (!m_registeredKeys.contains(id) || !m_held.insert(id).second)
        return;
    SetTimer(reinterpret_cast<HWND>(m_window.handle()), kReleaseTimer, kReleasePollMs, nullptr);
    // The handler may unregister keys or replace itself.
    const auto handler = m_onHotKey;
    if (handler)
        handler(modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN), vk);
}

void Win32HotKeys::checkReleases() {
    std::erase_if(m_held, [this](int id) {
        const auto key = m_registeredKeys.find(id);
        return key == m_registeredKeys.end() || !isDown(key->second);
    });
    if (m_held.empty())
        KillTimer(reinterpret_cast<HWND>(m_window.handle()), kReleaseTimer);
}
