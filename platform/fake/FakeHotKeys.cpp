#include "platform/fake/FakeHotKeys.h"

#include "platform/ErrorGuard.h"

#include <algorithm>

int FakeHotKeys::addAtom(const std::string& name) {
    const auto [it, added] = m_atoms.try_emplace(name, kFirstAtom + static_cast<int>(m_atoms.size()));
    return it->second;
}

bool FakeHotKeys::registerHotKey(WindowHandle window, int id, unsigned modifiers, unsigned vk) {
    const bool available = !m_takenElsewhere.contains({modifiers, vk}) && !isRegistered(modifiers, vk);
    if (available)
        m_registered.push_back({window, id, {modifiers, vk}});
    m_calls.push_back({FakeHotKeyCall::Kind::Register, window, id, modifiers, vk, available});
    return available;
}

void FakeHotKeys::unregisterHotKey(WindowHandle window, int id) {
    const auto removed = std::erase_if(m_registered, [&](const Registration& registration) {
        return registration.window == window && registration.id == id;
    });
    m_calls.push_back({FakeHotKeyCall::Kind::Unregister, window, id, 0, 0, removed > 0});
}

void FakeHotKeys::setOnHotKey(std::function<void(unsigned, unsigned)> handler) {
    m_handler = std::move(handler);
}

bool FakeHotKeys::press(unsigned modifiers, unsigned vk) {
    if (!isRegistered(modifiers, vk) || !m_handler)
        return false;
    const auto handler = m_handler;
    runGuarded([&] { handler(modifiers, vk); });
    return true;
}

bool FakeHotKeys::isRegistered(unsigned modifiers, unsigned vk) const {
    const Combination keys{modifiers, vk};
    return std::any_of(m_registered.begin(), m_registered.end(),
                       [&](const Registration& registration) { return registration.keys == keys; });
}
