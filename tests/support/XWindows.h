#pragma once

// Finding and handling the program's windows from the test's own X connection. Include after gtest: the X headers
// define macros (None, Bool) that meet gtest's names.

#include <X11/Xlib.h>

#include <functional>
#include <string>

// The first window below `top`, depth first in the server's order, for which `matches` is true; 0 when none.
Window findBelow(Display* display, Window top, const std::function<bool(Window)>& matches);
// A window titled `title` below `top` as the tree is now; 0 when none.
Window findWindowTitled(Display* display, Window top, const std::string& title);
// A window titled `title` anywhere in the tree, waiting for it up to a generous timeout; 0 when none came.
Window waitForWindow(Display* display, const std::string& title);
// A window below `ancestor` whose class hint names `resourceName` (such as a program's icon docked in the
// notification area), waiting for it like waitForWindow.
Window waitForDescendant(Display* display, Window ancestor, const std::string& resourceName);
// What a window manager sends when the user presses the window's close box.
void sendDeleteWindow(Display* display, Window window);
// Whether the window is mapped and shown; false for a window that no longer exists.
bool isViewable(Display* display, Window window);
// The window's centre on the screen.
void centreOf(Display* display, Window window, int& x, int& y);
// A click of `button` at (x, y) through XTest, as a user's mouse gives it.
void clickAt(Display* display, int x, int y, unsigned button);
// The window's top-left corner on the screen.
void originOf(Display* display, Window window, int& x, int& y);
// A left-button drag through XTest from one screen point to another, moving on the way.
void dragWithLeftButton(Display* display, int fromX, int fromY, int toX, int toY);
// Waits (generously) until the window is mapped and shown; false when it never was.
bool waitUntilViewable(Display* display, Window window);
