#pragma once

#include <functional>
#include <string>

// Modifier flags of a hotkey. Named so that no operating-system header's macros clash.
namespace HotKeyModifier {
constexpr unsigned Alt = 0x0001;
constexpr unsigned Control = 0x0002;
constexpr unsigned Shift = 0x0004;
constexpr unsigned Super = 0x0008;
} // namespace HotKeyModifier

// A function key with modifiers held, as the program binds it: Ctrl+F2 is {HotKeyModifier::Control, 2}.
struct THotKey {
    unsigned modifiers = 0;
    // 1 for F1 to 12 for F12.
    int functionKey = 0;
    friend bool operator==(const THotKey&, const THotKey&) = default;
    friend auto operator<=>(const THotKey&, const THotKey&) = default;
};

// Keys that reach the program whichever window has the focus.
class IHotKeys {
public:
    virtual ~IHotKeys() = default;
    // Takes `key` under `id`, first releasing what `id` held; false when the key cannot be had (another program
    // holds it, or this system has no such key).
    virtual bool registerHotKey(int id, THotKey key) = 0;
    // Releases the key registered under `id`; an unknown id is ignored.
    virtual void unregisterHotKey(int id) = 0;
    // The handler gets the id once per press of a registered key with exactly its modifiers; holding it is one press.
    virtual void setOnHotKey(std::function<void(int id)> handler) = 0;
    // Whether the keys are bound in the desktop's own settings instead (Wayland lets no program take them): there every
    // key registers, none is ever pressed here, and the desktop runs `tappora toggle NAME` for the user's binding.
    virtual bool boundInDesktop() const { return false; }
    // Where the desktop binds the keys the program suggests (a shortcuts portal), the keys it bound for `id` as it
    // names them (the user may have chosen others in its settings); empty elsewhere, and until the desktop has told.
    virtual std::string desktopTrigger(int) const { return {}; }
    // The handler runs each time the desktop tells which keys it bound.
    virtual void setOnTriggersChanged(std::function<void()>) {}
};
