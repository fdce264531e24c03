// Ctrl+F1 to Ctrl+F12: registered at start, released at close; each press starts and stops the clicks bound to it.
#include "control/ClickListController.h"

#include <utility>

namespace {

const char* const kHotKeyAtomPrefix = "TapporaHotKeyF";

} // namespace

void TClickListController::RegisterHotKeys() {
    m_platform.hotKeys.setOnHotKey([this](unsigned modifiers, unsigned vk) { HotKeyReceived(modifiers, vk); });
    const WindowHandle window = m_view.windowHandle();
    std::string notTaken;
    for (int n = 0; n < kHotKeyCount; ++n) {
        const int id = m_platform.hotKeys.addAtom(kHotKeyAtomPrefix + std::to_string(n));
        m_hotKeyTaken[n] = m_platform.hotKeys.registerHotKey(window, id, HotKeyModifier::Control, VirtualKey::F1 + n);
        if (!m_hotKeyTaken[n]) {
            notTaken += (notTaken.empty() ? "" : ", ") + HotKeyText(n);
        }
        m_hotKeyIds.push_back(std::to_string(id));
    }
    if (!notTaken.empty()) {
        m_startupMessages.push_back("These hotkeys could not be taken, because another program (or another copy of "
                                    "Tappora) already uses them: " +
                                    notTaken + ". Clicks cannot be started or stopped with them.");
    }
}

void TClickListController::UnregisterHotKeys() {
    m_platform.hotKeys.setOnHotKey({});
    const WindowHandle window = m_view.windowHandle();
    for (const std::string& id : std::exchange(m_hotKeyIds, {})) {
        m_platform.hotKeys.unregisterHotKey(window, std::stoi(id));
    }
    m_hotKeyTaken.fill(false);
}

std::vector<int> TClickListController::HotKeysHeldElsewhere() const {
    std::vector<int> held;
    for (int n = 0; n < kHotKeyCount; ++n) {
        if (!m_hotKeyIds.empty() && !HotKeyTaken(n)) {
            held.push_back(n);
        }
    }
    return held;
}

bool TClickListController::HotKeyTaken(int n) const {
    return n >= 0 && n < kHotKeyCount && m_hotKeyTaken[n];
}

void TClickListController::HotKeyReceived(unsigned modifiers, unsigned vk) {
    if (modifiers != HotKeyModifier::Control || vk < VirtualKey::F1 || vk > VirtualKey::F12 || m_closed) {
        return;
    }
    HotKeyPressed(vk);
}

void TClickListController::HotKeyPressed(unsigned vk) {
    const int key = static_cast<int>(vk) - static_cast<int>(VirtualKey::F1);
    for (Row& row : m_rows) {
        TClickRunner& runner = *row.runner;
        if (runner.checked && key == runner.hkStart) {
            runner.Start();
        }
        if (runner.running && key == runner.hkStop) {
            runner.Stop();
        }
    }
    RepaintAll();
    WatchRunners();
}
