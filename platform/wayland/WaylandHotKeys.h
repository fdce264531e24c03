#pragma once

#include "platform/HotKeys.h"

// Wayland lets no program take global keys: the user binds them in the compositor to `tappora toggle NAME`. Every key
// registers, and none is pressed here.
class WaylandHotKeys : public IHotKeys {
public:
    bool registerHotKey(int, THotKey) override { return true; }
    void unregisterHotKey(int) override {}
    void setOnHotKey(std::function<void(int id)>) override {}
    bool boundInDesktop() const override { return true; }
};
