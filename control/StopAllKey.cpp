#include "control/StopAllKey.h"

#include <array>
#include <utility>

namespace {
// Ctrl+Alt is left out: on Linux it switches to the text consoles.
constexpr std::array<std::pair<unsigned, const char*>, 3> kModifierSets{{
    {HotKeyModifier::Control | HotKeyModifier::Shift, "Ctrl+Shift+"},
    {HotKeyModifier::Alt | HotKeyModifier::Shift, "Alt+Shift+"},
    {HotKeyModifier::Control | HotKeyModifier::Alt | HotKeyModifier::Shift, "Ctrl+Alt+Shift+"},
}};
constexpr int kFunctionKeys = 12;
} // namespace

std::string StopAllKey::Text(THotKey key) {
    for (const auto& [modifiers, prefix] : kModifierSets) {
        if (modifiers == key.modifiers) {
            std::string text = prefix;
            text.append("F");
            return text.append(std::to_string(key.functionKey));
        }
    }
    return kNone;
}

std::optional<THotKey> StopAllKey::FromText(const std::string& stored) {
    if (stored == kNone)
        return std::nullopt;
    for (const auto& [modifiers, prefix] : kModifierSets)
        for (int n = 1; n <= kFunctionKeys; ++n)
            if (Text({modifiers, n}) == stored)
                return THotKey{modifiers, n};
    return FromText(kDefault);
}

std::string StopAllKey::Stored(const std::string& chosen) {
    return chosen == kDefault ? std::string() : chosen;
}

TOptionsList StopAllKey::Choices(const std::string& stored, bool heldElsewhere) {
    TOptionsList list{{kNone}, {kNone}, 0};
    const std::optional<THotKey> current = FromText(stored);
    for (const auto& [modifiers, prefix] : kModifierSets) {
        for (int n = 1; n <= kFunctionKeys; ++n) {
            const THotKey key{modifiers, n};
            std::string item = Text(key);
            list.values.push_back(item);
            if (key == current) {
                list.selected = static_cast<int>(list.items.size());
                if (heldElsewhere)
                    item.append(" (unavailable: another program uses it)");
            }
            list.items.push_back(item);
        }
    }
    return list;
}
