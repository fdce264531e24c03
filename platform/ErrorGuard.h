#pragma once

#include <functional>

// Runs a handler and drops whatever it throws, so a failed event, tick or hotkey ends only itself.
// Every event, timer and hotkey handler of the program goes through this one function.
void runGuarded(const std::function<void()>& handler) noexcept;

// Called with the text of each error the guard drops (nothing by default); tests and diagnostics use it.
void setDroppedErrorObserver(std::function<void(const char* what)> observer);
