#pragma once

#include "platform/HotKeys.h"

#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// One recorded registerHotKey or unregisterHotKey call, with its outcome.
struct FakeHotKeyCall {
    enum class Kind { Register, Unregister };
    Kind kind = Kind::Register;
    int id = 0;
    THotKey key{};
    bool succeeded = false;
    friend bool operator==(const FakeHotKeyCall&, const FakeHotKeyCall&) = default;
};

// Global hotkeys pressed by the test. A key can be taken by another program, and then registering it fails.
class FakeHotKeys : public IHotKeys {
public:
    bool registerHotKey(int id, THotKey key) override;
    void unregisterHotKey(int id) override;
    void setOnHotKey(std::function<void(int id)> handler) override;
    bool boundInDesktop() const override { return m_boundInDesktop; }
    std::string desktopTrigger(int id) const override;
    void setOnTriggersChanged(std::function<void()> handler) override { m_onTriggersChanged = std::move(handler); }

    // As on Wayland: the keys are bound in the desktop's configuration.
    void bindInDesktop() { m_boundInDesktop = true; }
    void takeByOtherProgram(THotKey key) { m_takenElsewhere.insert(key); }
    // As with a shortcuts portal: the desktop tells that it bound `trigger` for `id`.
    void bindAs(int id, std::string trigger);
    // Presses the key: when it is registered, the handler gets its id inside the error guard. Returns whether it was
    // delivered.
    bool press(THotKey key);

    const std::vector<FakeHotKeyCall>& calls() const { return m_calls; }
    bool isRegistered(THotKey key) const;
    std::size_t registeredCount() const { return m_registered.size(); }

private:
    struct Registration {
        int id;
        THotKey key;
    };

    std::set<THotKey> m_takenElsewhere;
    std::vector<Registration> m_registered;
    std::vector<FakeHotKeyCall> m_calls;
    std::function<void(int)> m_handler;
    bool m_boundInDesktop = false;
    std::map<int, std::string> m_triggers;
    std::function<void()> m_onTriggersChanged;
};
