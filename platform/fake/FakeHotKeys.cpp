#include "platform/fake/FakeHotKeys.h"

#include "platform/ErrorGuard.h"

#include <algorithm>

bool FakeHotKeys::registerHotKey(int id, THotKey key) {
    std::erase_if(m_registered, [&](const Registration& registration) { return registration.id == id; });
    const bool available = !m_takenElsewhere.contains(key) && !isRegistered(key);
    if (available)
        m_registered.push_back({id, key});
    m_calls.push_back({FakeHotKeyCall::Kind::Register, id, key, available});
    return available;
}

void FakeHotKeys::unregisterHotKey(int id) {
    const auto removed =
        std::erase_if(m_registered, [&](const Registration& registration) { return registration.id == id; });
    m_calls.push_back({FakeHotKeyCall::Kind::Unregister, id, {}, removed > 0});
}

void FakeHotKeys::setOnHotKey(std::function<void(int)> handler) {
    m_handler = std::move(handler);
}

bool FakeHotKeys::press(THotKey key) {
    const auto registered = std::find_if(m_registered.begin(), m_registered.end(),
                                         [&](const Registration& registration) { return registration.key == key; });
    if (registered == m_registered.end() || !m_handler)
        return false;
    const auto handler = m_handler;
    const int id = registered->id;
    runGuarded([&] { handler(id); });
    return true;
}

bool FakeHotKeys::isRegistered(THotKey key) const {
    return std::any_of(m_registered.begin(), m_registered.end(),
                       [&](const Registration& registration) { return registration.key == key; });
}

std::string FakeHotKeys::desktopTrigger(int id) const {
    const auto trigger = m_triggers.find(id);
    return trigger == m_triggers.end() ? std::string() : trigger->second;
}

void FakeHotKeys::bindAs(int id, std::string trigger) {
    m_triggers[id] = std::move(trigger);
    if (m_onTriggersChanged)
        runGuarded(m_onTriggersChanged);
}
