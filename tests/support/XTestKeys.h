#pragma once

// Key presses injected with XTest, as a user's keyboard would send them:
//
//     pressChord(display, {XK_Control_L, XK_Shift_L}, XK_F2);   // Ctrl+Shift+F2, pressed and released
//     holdKey(display, {XK_Control_L}, XK_F2, 5);               // F2 pressed five times before its release
//
// Every call ends with XSync, so the server has handled the keys when it returns.

#include <initializer_list>

struct _XDisplay;
using KeySymbol = unsigned long; // an X KeySym such as XK_F2

// Presses the modifiers in order, presses and releases `key`, then releases the modifiers in reverse order.
void pressChord(_XDisplay* display, std::initializer_list<KeySymbol> modifiers, KeySymbol key);
// Like pressChord, but `key` goes down `presses` times before its one release, as a held key repeats.
void holdKey(_XDisplay* display, std::initializer_list<KeySymbol> modifiers, KeySymbol key, int presses);
// Presses and releases one key, such as Num_Lock.
void tapKey(_XDisplay* display, KeySymbol key);
