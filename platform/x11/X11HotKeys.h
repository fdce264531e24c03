#pragma once

#include "platform/HotKeys.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class X11Connection;

// Global hotkeys as passive key grabs on the root window, over a connection of their own so that they work
// whatever runs the windows. The owner's event loop watches fileDescriptor() and calls processPendingEvents().
class X11HotKeys : public IHotKeys {
public:
    // Nothing when the display cannot be opened.
    static std::unique_ptr<X11HotKeys> open(const std::string& displayName = {});
    X11HotKeys(const X11HotKeys&) = delete;
    X11HotKeys& operator=(const X11HotKeys&) = delete;
    // Releases every grab.
    ~X11HotKeys() override;

    bool registerHotKey(int id, THotKey key) override;
    void unregisterHotKey(int id) override;
    void setOnHotKey(std::function<void(int id)> handler) override;

    // The connection's descriptor: readable when events wait.
    int fileDescriptor() const;
    // Handles every event already read or waiting on the socket, without blocking.
    void processPendingEvents();
    // Called after a call here has read events into the queue, where the descriptor no longer announces them; the
    // owner should then call processPendingEvents() soon, from its loop, not from inside the call.
    void setOnEventsQueued(std::function<void()> notify);

private:
    struct Registration {
        THotKey key;
        unsigned xModifiers = 0;
        unsigned keyCode = 0;
    };
    // Which modifier bits the lock keys and Alt and Super are on, read from the server.
    struct ModifierMasks {
        unsigned numLock = 0;
        unsigned scrollLock = 0;
        unsigned alt = 0;
        unsigned super = 0;
    };

    explicit X11HotKeys(std::unique_ptr<X11Connection> connection);

    void readModifierMap();
    unsigned xModifiersFor(unsigned modifiers) const;
    bool grab(unsigned keyCode, unsigned xModifiers);
    void ungrab(unsigned keyCode, unsigned xModifiers);
    bool isGrabbed(unsigned keyCode, unsigned xModifiers) const;
    void regrabAll();
    void handleEvent(void* event);
    void deliverPress(unsigned keyCode, unsigned state);
    void notifyIfQueued();

    std::unique_ptr<X11Connection> m_connection;
    ModifierMasks m_masks;
    std::map<int, Registration> m_registrations;
    std::set<unsigned> m_keysDown;
    bool m_detectableAutoRepeat = false;
    std::function<void(int)> m_onHotKey;
    std::function<void()> m_onEventsQueued;
};

// The X keysym of function key `n` (F1 to F24); 0 for others.
unsigned long keySymForFunctionKey(int n);

// Every combination of the lock masks given (0 for a lock the keyboard lacks), each once, starting with none.
std::vector<unsigned> lockCombinations(unsigned capsLock, unsigned numLock, unsigned scrollLock);
