#pragma once

#include <cstdint>
#include <functional>
#include <string>

using WindowHandle = std::uintptr_t;

// Modifier flags of a hotkey, with the system's values. Named so that no operating-system header's macros clash.
namespace HotKeyModifier {
constexpr unsigned Alt = 0x0001;
constexpr unsigned Control = 0x0002;
constexpr unsigned Shift = 0x0004;
constexpr unsigned Win = 0x0008;
} // namespace HotKeyModifier

// Virtual-key codes of the function keys F1 to F12.
namespace VirtualKey {
constexpr unsigned F1 = 112;
constexpr unsigned F12 = 123;
} // namespace VirtualKey

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
