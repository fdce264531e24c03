#pragma once

#include "platform/HotKeys.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Where no program may take global keys (Wayland), the user binds them in the compositor's configuration (or the
// desktop's settings) to run `tappora toggle NAME`, or `start` and `stop`. These are the lines to paste there for one
// click.

// The compositors whose configuration the lines are written for, and the desktops whose settings take them.
enum class TCompositor { Sway, Hyprland, River, Labwc, Wayfire, Gnome, Kde };

// The compositor the program runs under, from its environment (`variable` answers as getenv does, nullptr for
// unset): the desktop XDG_CURRENT_DESKTOP names, else SWAYSOCK's sway, else HYPRLAND_INSTANCE_SIGNATURE's Hyprland;
// sway when nothing tells.
TCompositor CompositorFromEnvironment(const std::function<const char*(const char*)>& variable);

// The program as a key binding runs it: `tappora` for the copy installed on the PATH, else its full path.
std::string ProgramToRun(const std::string& executable);

// `text` as one word for a POSIX shell: in single quotes, a quote inside written as '"'"' (not '\'', which sway's
// reading of its configuration splits).
std::string ShellQuoted(const std::string& text);

struct TDesktopBinding {
    // Where the lines go, in one sentence ending in a colon.
    std::string where;
    std::vector<std::string> lines;
};

// The lines that make the click's keys run `program` for the click named `name`. The keys are the editor lists'
// items: n for Ctrl+F(n + 1), -1 for none. The same key for start and stop toggles the click; otherwise one line
// starts it and another stops it.
TDesktopBinding DesktopBinding(TCompositor compositor, const std::string& program, const std::string& name,
                               int startKey, int stopKey);

// The lines that make `key` run `program stop --all` (none without a key), and where they go, told as what they are
// for.
TDesktopBinding StopAllBinding(TCompositor compositor, const std::string& program, std::optional<THotKey> key);
