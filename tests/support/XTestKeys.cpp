#include "XTestKeys.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <vector>

namespace {
void sendKey(Display* display, KeySymbol key, bool press) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), press ? True : False, CurrentTime);
}
} // namespace

void holdKey(Display* display, std::initializer_list<KeySymbol> modifiers, KeySymbol key, int presses) {
    for (const KeySymbol modifier : modifiers)
        sendKey(display, modifier, true);
    for (int i = 0; i < presses; ++i)
        sendKey(display, key, true);
    sendKey(display, key, false);
    const std::vector<KeySymbol> reversed(std::rbegin(modifiers), std::rend(modifiers));
    for (const KeySymbol modifier : reversed)
        sendKey(display, modifier, false);
    XSync(display, False);
}

void pressChord(Display* display, std::initializer_list<KeySymbol> modifiers, KeySymbol key) {
    holdKey(display, modifiers, key, 1);
}

void tapKey(Display* display, KeySymbol key) {
    sendKey(display, key, true);
    sendKey(display, key, false);
    XSync(display, False);
}
