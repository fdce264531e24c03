// Ctrl+F1 to Ctrl+F12: registered at start, released at close; each press starts and stops the clicks bound to it.
// The stop-all key beside them stops every click.
#include "control/ClickListController.h"
#include "control/StopAllKey.h"

#include "platform/HotKeys.h"

#include <utility>

void TClickListController::RegisterHotKeys() {
    m_platform.hotKeys.setOnHotKey([this](int id) { HotKeyReceived(id); });
    m_platform.hotKeys.setOnTriggersChanged([this] { RepaintAll(); });
    std::string notTaken;
    for (int n = 0; n < kHotKeyCount; ++n) {
        // The key's id is its place, 0 for F1.
        m_hotKeyTaken[n] = m_platform.hotKeys.registerHotKey(n, THotKey{HotKeyModifier::Control, n + 1});
        if (!m_hotKeyTaken[n]) {
            notTaken += (notTaken.empty() ? "" : ", ") + HotKeyText(n);
        }
    }
    m_hotKeysRegistered = true;
    if (!RegisterStopAllKey()) {
        notTaken += notTaken.empty() ? "" : ", ";
        notTaken += StopAllKey::Text(*StopAllKey::FromText(Config().GetFrame().GetstopAllKey()));
        notTaken += " (which stops all clicks)";
    }
    if (!notTaken.empty()) {
        m_startupMessages.push_back("These hotkeys could not be taken, because another program (or another copy of "
                                    "Tappora) already uses them: " +
                                    notTaken + ". Clicks cannot be started or stopped with them.");
    }
}

void TClickListController::UnregisterHotKeys() {
    m_platform.hotKeys.setOnHotKey({});
    m_platform.hotKeys.setOnTriggersChanged({});
    if (std::exchange(m_hotKeysRegistered, false)) {
        for (int id = 0; id < kHotKeyCount; ++id) {
            m_platform.hotKeys.unregisterHotKey(id);
        }
        m_platform.hotKeys.unregisterHotKey(StopAllKey::kHotKeyId);
    }
    m_hotKeyTaken.fill(false);
    m_stopAllKeyTaken = false;
}

// "None" registers nothing, so no other program can hold it.
bool TClickListController::RegisterStopAllKey() {
    const std::optional<THotKey> key = StopAllKey::FromText(Config().GetFrame().GetstopAllKey());
    if (!key) {
        m_platform.hotKeys.unregisterHotKey(StopAllKey::kHotKeyId);
        m_stopAllKeyTaken = false;
        return true;
    }
    m_stopAllKeyTaken = m_platform.hotKeys.registerHotKey(StopAllKey::kHotKeyId, *key);
    return m_stopAllKeyTaken;
}

std::vector<int> TClickListController::HotKeysHeldElsewhere() const {
    std::vector<int> held;
    for (int n = 0; n < kHotKeyCount; ++n) {
        if (m_hotKeysRegistered && !HotKeyTaken(n)) {
            held.push_back(n);
        }
    }
    return held;
}

bool TClickListController::HotKeyTaken(int n) const {
    return n >= 0 && n < kHotKeyCount && m_hotKeyTaken[n];
}

void TClickListController::HotKeyReceived(int id) {
    if (m_closed) {
        return;
    }
    if (id == StopAllKey::kHotKeyId) {
        StopAll();
    } else if (id >= 0 && id < kHotKeyCount) {
        HotKeyPressed(id);
    }
}

void TClickListController::HotKeyPressed(int key) {
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
