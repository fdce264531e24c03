#pragma once

#include "control/ClickListView.h"
#include "platform/HotKeys.h"

#include <optional>
#include <string>

// The global key that stops every click, as the settings store it and the options dialog offers it. The default,
// Ctrl+Shift+F11, is a key that neither Windows nor GNOME nor KDE Plasma binds, and it lies apart from the clicks'
// own Ctrl+F1 to Ctrl+F12 (another modifier set, so the two never clash); F12 is the Windows debugger's.
namespace StopAllKey {
inline constexpr const char* kDefault = "Ctrl+Shift+F11";
inline constexpr const char* kNone = "None";
// The hotkey id it is registered under, beside the clicks' 0 to 11.
inline constexpr int kHotKeyId = 12;

// The key a stored text names; nothing for "None". A text that names no key it offers (a hand-edited file) and an
// empty one mean the default.
std::optional<THotKey> FromText(const std::string& stored);
// The key's text as it is stored and shown ("Ctrl+Shift+F11").
std::string Text(THotKey key);
// The text to store for a choice: empty for the default, so a file that keeps it stays as it was.
std::string Stored(const std::string& chosen);
// The list the options dialog offers: "None", then every key with the modifier sets that no desktop takes; the stored
// key selected, marked when another program holds it.
TOptionsList Choices(const std::string& stored, bool heldElsewhere);
} // namespace StopAllKey
