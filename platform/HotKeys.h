#pragma once

#include <cstdint>
#include <functional>
#include <string>

using WindowHandle = std::uintptr_t;

// Modifier flags of a hotkey.
enum HotKeyModifier : unsigned {
    MOD_ALT = 0x0001,
    MOD_CONTROL = 0x0002,
    MOD_SHIFT = 0x0004,
    MOD_WIN = 0x0008,
};

// Virtual-key codes of the function keys F1 to F12.
constexpr unsigned VK_F1 = 112;
constexpr unsigned VK_F12 = 123;

class IHotKeys {
public:
    virtual ~IHotKeys() = default;
    // An identifier for `name`: the same name always gives the same identifier, different names different ones.
    virtual int addAtom(const std::string& name) = 0;
    // Registers modifiers + vk under `id` for `window`; false when the key cannot be had (taken by another program).
    virtual bool registerHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk) = 0;
    // Releases the hotkey registered under `id`; unknown ids are ignored.
    virtual void unregisterHotKey(WindowHandle window, int id) = 0;
    // Installs the handler called once per press of a registered hotkey with its exact modifiers and key code.
    virtual void setOnHotKey(std::function<void(unsigned modifiers, unsigned vk)> handler) = 0;
};
