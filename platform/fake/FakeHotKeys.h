#pragma once

#include "platform/HotKeys.h"

#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// One recorded registerHotKey or unregisterHotKey call, with its outcome.
struct FakeHotKeyCall {
    enum class Kind { Register, Unregister };
    Kind kind = Kind::Register;
    WindowHandle window = 0;
    int id = 0;
    unsigned modifiers = 0;
    unsigned vk = 0;
    bool succeeded = false;
    friend bool operator==(const FakeHotKeyCall&, const FakeHotKeyCall&) = default;
};

// Global hotkeys pressed by the test. Atoms count up from 0xC000 in the order names are first added; a key
// combination can be taken by another program, and then registering it fails.
class FakeHotKeys : public IHotKeys {
public:
    static constexpr int kFirstAtom = 0xC000;

    int addAtom(const std::string& name) override;
    bool registerHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk) override;
    void unregisterHotKey(WindowHandle window, int id) override;
    void setOnHotKey(std::function<void(unsigned modifiers, unsigned vk)> handler) override;

    void takeByOtherProgram(unsigned modifiers, unsigned vk) { m_takenElsewhere.insert({modifiers, vk}); }
    // Presses the combination: when it is registered, the handler gets it inside the error guard. Returns whether
    // it was delivered.
    bool press(unsigned modifiers, unsigned vk);

    const std::vector<FakeHotKeyCall>& calls() const { return m_calls; }
    bool isRegistered(unsigned modifiers, unsigned vk) const;
    std::size_t registeredCount() const { return m_registered.size(); }

private:
    using Combination = std::pair<unsigned, unsigned>;
    struct Registration {
        WindowHandle window;
        int id;
        Combination keys;
    };

    std::map<std::string, int> m_atoms;
    std::set<Combination> m_takenElsewhere;
    std::vector<Registration> m_registered;
    std::vector<FakeHotKeyCall> m_calls;
    std::function<void(unsigned, unsigned)> m_handler;
};
