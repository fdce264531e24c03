#include "platform/x11/X11HotKeys.h"

#include "platform/ErrorGuard.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ErrorTrap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>

namespace {
constexpr unsigned modifierBits =
    ShiftMask | LockMask | ControlMask | Mod1Mask | Mod2Mask | Mod3Mask | Mod4Mask | Mod5Mask;

// The mask of the modifier that one of `keySyms` is bound to in the server's modifier map, 0 when none is.
unsigned modifierMaskOf(Display* display, const XModifierKeymap& map, std::initializer_list<KeySym> keySyms) {
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < map.max_keypermod; ++i) {
            const KeyCode code = map.modifiermap[modifier * map.max_keypermod + i];
            if (code == 0)
                continue;
            const KeySym sym = XkbKeycodeToKeysym(display, code, 0, 0);
            if (std::find(keySyms.begin(), keySyms.end(), sym) != keySyms.end())
                return 1u << modifier;
        }
    }
    return 0;
}
} // namespace

unsigned long keySymForFunctionKey(int n) {
    return n >= 1 && n <= 24 ? XK_F1 + static_cast<unsigned long>(n - 1) : 0;
}

std::vector<unsigned> lockCombinations(unsigned capsLock, unsigned numLock, unsigned scrollLock) {
    std::vector<unsigned> combinations{0};
    for (const unsigned lock : {capsLock, numLock, scrollLock}) {
        if (lock == 0 || std::ranges::find(combinations, lock) != combinations.end())
            continue;
        const std::size_t count = combinations.size();
        for (std::size_t i = 0; i < count; ++i)
            combinations.push_back(combinations[i] | lock);
    }
    std::ranges::sort(combinations);
    combinations.erase(std::unique(combinations.begin(), combinations.end()), combinations.end());
    return combinations;
}

std::unique_ptr<X11HotKeys> X11HotKeys::open(const std::string& displayName) {
    auto connection = X11Connection::open(displayName);
    if (!connection)
        return nullptr;
    return std::unique_ptr<X11HotKeys>(new X11HotKeys(std::move(connection)));
}

X11HotKeys::X11HotKeys(std::unique_ptr<X11Connection> connection) : m_connection(std::move(connection)) {
    Display* display = m_connection->display();
    // Held keys then repeat as presses alone, so one press is told from the next by its release.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(display, True, &supported);
    m_detectableAutoRepeat = supported != False;
    readModifierMap();
    XSync(display, False);
}

X11HotKeys::~X11HotKeys() {
    for (const auto& [key, registration] : m_registrations)
        ungrab(registration.keyCode, registration.xModifiers);
    XSync(m_connection->display(), False);
}

bool X11HotKeys::registerHotKey(int id, THotKey key) {
    unregisterHotKey(id);
    Display* display = m_connection->display();
    const KeySym keySym = keySymForFunctionKey(key.functionKey);
    const unsigned keyCode = keySym == 0 ? 0 : XKeysymToKeycode(display, keySym);
    Registration registration{key, xModifiersFor(key.modifiers), keyCode};
    const bool grabbed = keyCode != 0 && grab(keyCode, registration.xModifiers);
    if (grabbed)
        m_registrations[id] = registration;
    notifyIfQueued();
    return grabbed;
}

void X11HotKeys::unregisterHotKey(int id) {
    const auto found = m_registrations.find(id);
    if (found == m_registrations.end())
        return;
    const Registration registration = found->second;
    m_registrations.erase(found);
    if (!isGrabbed(registration.keyCode, registration.xModifiers))
        ungrab(registration.keyCode, registration.xModifiers);
    XSync(m_connection->display(), False);
    notifyIfQueued();
}

void X11HotKeys::setOnHotKey(std::function<void(int)> handler) {
    m_onHotKey = std::move(handler);
}

int X11HotKeys::fileDescriptor() const {
    return m_connection->fileDescriptor();
}

void X11HotKeys::setOnEventsQueued(std::function<void()> notify) {
    m_onEventsQueued = std::move(notify);
}

void X11HotKeys::processPendingEvents() {
    Display* display = m_connection->display();
    while (XEventsQueued(display, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        handleEvent(&event);
    }
}

void X11HotKeys::readModifierMap() {
    Display* display = m_connection->display();
    XModifierKeymap* map = XGetModifierMapping(display);
    if (map == nullptr)
        return;
    m_masks.numLock = modifierMaskOf(display, *map, {XK_Num_Lock});
    m_masks.scrollLock = modifierMaskOf(display, *map, {XK_Scroll_Lock});
    m_masks.alt = modifierMaskOf(display, *map, {XK_Alt_L, XK_Alt_R, XK_Meta_L});
    m_masks.super = modifierMaskOf(display, *map, {XK_Super_L, XK_Super_R});
    XFreeModifiermap(map);
}

unsigned X11HotKeys::xModifiersFor(unsigned modifiers) const {
    unsigned mask = 0;
    if (modifiers & HotKeyModifier::Control)
        mask |= ControlMask;
    if (modifiers & HotKeyModifier::Shift)
        mask |= ShiftMask;
    if (modifiers & HotKeyModifier::Alt)
        mask |= m_masks.alt != 0 ? m_masks.alt : Mod1Mask;
    if (modifiers & HotKeyModifier::Super)
        mask |= m_masks.super != 0 ? m_masks.super : Mod4Mask;
    return mask;
}

bool X11HotKeys::isGrabbed(unsigned keyCode, unsigned xModifiers) const {
    return std::ranges::any_of(m_registrations, [&](const auto& entry) {
        return entry.second.keyCode == keyCode && entry.second.xModifiers == xModifiers;
    });
}

bool X11HotKeys::grab(unsigned keyCode, unsigned xModifiers) {
    if (isGrabbed(keyCode, xModifiers))
        return true;
    Display* display = m_connection->display();
    const Window root = DefaultRootWindow(display);
    X11ErrorTrap trap(display);
    for (const unsigned locks : lockCombinations(LockMask, m_masks.numLock, m_masks.scrollLock))
        XGrabKey(display, static_cast<int>(keyCode), xModifiers | locks, root, False, GrabModeAsync, GrabModeAsync);
    if (!trap.syncAndCheck())
        return true;
    // Another client holds one of the combinations: undo the ones that were had, so nothing half-grabbed stays.
    ungrab(keyCode, xModifiers);
    trap.syncAndCheck();
    return false;
}

void X11HotKeys::ungrab(unsigned keyCode, unsigned xModifiers) {
    Display* display = m_connection->display();
    const Window root = DefaultRootWindow(display);
    for (const unsigned locks : lockCombinations(LockMask, m_masks.numLock, m_masks.scrollLock))
        XUngrabKey(display, static_cast<int>(keyCode), xModifiers | locks, root);
}

void X11HotKeys::regrabAll() {
    for (const auto& [key, registration] : m_registrations)
        ungrab(registration.keyCode, registration.xModifiers);
    readModifierMap();
    Display* display = m_connection->display();
    auto registrations = std::move(m_registrations);
    m_registrations.clear();
    for (auto& [key, registration] : registrations) {
        const KeySym keySym = keySymForFunctionKey(registration.key.functionKey);
        registration.keyCode = XKeysymToKeycode(display, keySym);
        registration.xModifiers = xModifiersFor(registration.key.modifiers);
        if (registration.keyCode != 0 && grab(registration.keyCode, registration.xModifiers))
            m_registrations[key] = registration;
    }
    m_keysDown.clear();
}

void X11HotKeys::handleEvent(void* rawEvent) {
    XEvent& event = *static_cast<XEvent*>(rawEvent);
    Display* display = m_connection->display();
    switch (event.type) {
    case MappingNotify:
        XRefreshKeyboardMapping(&event.xmapping);
        if (event.xmapping.request != MappingPointer)
            regrabAll();
        break;
    case KeyRelease:
        // Without detectable auto-repeat a held key sends release and press with one timestamp: not a release.
        // With it, such a pair is two real presses (synthesised input can come that fast).
        if (!m_detectableAutoRepeat && XEventsQueued(display, QueuedAfterReading) > 0) {
            XEvent next;
            XPeekEvent(display, &next);
            if (next.type == KeyPress && next.xkey.keycode == event.xkey.keycode && next.xkey.time == event.xkey.time)
                break;
        }
        m_keysDown.erase(event.xkey.keycode);
        break;
    case KeyPress:
        if (m_keysDown.insert(event.xkey.keycode).second)
            deliverPress(event.xkey.keycode, event.xkey.state);
        break;
    default:
        break;
    }
}

void X11HotKeys::deliverPress(unsigned keyCode, unsigned state) {
    const unsigned locks = LockMask | m_masks.numLock | m_masks.scrollLock;
    const unsigned held = state & modifierBits & ~locks;
    const auto registered = std::ranges::find_if(m_registrations, [&](const auto& entry) {
        return entry.second.keyCode == keyCode && entry.second.xModifiers == held;
    });
    if (registered == m_registrations.end() || !m_onHotKey)
        return;
    // The handler may register, unregister or exchange itself: it gets copies of all it uses.
    const int id = registered->first;
    const auto handler = m_onHotKey;
    runGuarded([&] { handler(id); });
}

void X11HotKeys::notifyIfQueued() {
    if (m_onEventsQueued && XEventsQueued(m_connection->display(), QueuedAlready) > 0)
        m_onEventsQueued();
}
