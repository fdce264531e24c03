#include "control/DesktopBinding.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <utility>

namespace {
using TEscapes = std::vector<std::pair<char, std::string_view>>;

// One command a key runs, and the name of its binding where the configuration names each one.
struct TKeyCommand {
    THotKey key;
    std::string command;
    std::string name;
};

struct TModifierName {
    unsigned modifier;
    const char* name;
};

// The names a format gives Ctrl, Alt and Shift, in the order it writes them.
using TModifierNames = std::array<TModifierName, 3>;

// The names of the modifiers held, `separator` between them.
std::string ModifierText(unsigned modifiers, const TModifierNames& names, std::string_view separator) {
    std::string text;
    for (const TModifierName& modifier : names)
        if ((modifiers & modifier.modifier) != 0)
            text.append(text.empty() ? "" : separator).append(modifier.name);
    return text;
}

// The modifiers held and F with the key's number, `separator` between them all.
std::string KeyText(THotKey key, const TModifierNames& names, std::string_view separator) {
    std::string text = ModifierText(key.modifiers, names, separator);
    return text.append(text.empty() ? "" : separator).append("F").append(std::to_string(key.functionKey));
}

constexpr unsigned kCtrl = HotKeyModifier::Control, kAlt = HotKeyModifier::Alt, kShift = HotKeyModifier::Shift;

std::string Escaped(const std::string& text, const TEscapes& escapes) {
    std::string result;
    for (const char c : text) {
        const auto escape = std::find_if(escapes.begin(), escapes.end(), [c](const auto& e) { return e.first == c; });
        if (escape == escapes.end())
            result += c;
        else
            result += escape->second;
    }
    return result;
}

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string line;
    for (const std::string_view part : parts)
        line.append(part);
    return line;
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Whether the colon-separated list of desktops holds `desktop`, in any case.
bool ListsDesktop(const char* desktops, const std::string& desktop) {
    if (desktops == nullptr)
        return false;
    const std::string list = Joined({":", Lowered(desktops), ":"});
    return list.find(Joined({":", desktop, ":"})) != std::string::npos;
}

bool IsSet(const char* value) {
    return value != nullptr && *value != '\0';
}

// The program's command for the click; a name that looks like an option follows `--`.
std::string CommandFor(const std::string& program, const char* verb, const std::string& name) {
    std::string command = program;
    command += ' ';
    command += verb;
    command += ' ';
    if (name.size() > 1 && name.front() == '-')
        command += "-- ";
    command += ShellQuoted(name);
    return command;
}

// Ctrl+F(n + 1), the key of the editor lists' item n; its binding is named after its number.
TKeyCommand ClickKeyCommand(int item, std::string command) {
    const THotKey key{HotKeyModifier::Control, item + 1};
    return {key, std::move(command), std::to_string(key.functionKey)};
}

std::vector<TKeyCommand> KeyCommands(const std::string& program, const std::string& name, int startKey, int stopKey) {
    if (startKey == stopKey)
        return startKey < 0 ? std::vector<TKeyCommand>{}
                            : std::vector<TKeyCommand>{ClickKeyCommand(startKey, CommandFor(program, "toggle", name))};
    std::vector<TKeyCommand> commands;
    if (startKey >= 0)
        commands.push_back(ClickKeyCommand(startKey, CommandFor(program, "start", name)));
    if (stopKey >= 0)
        commands.push_back(ClickKeyCommand(stopKey, CommandFor(program, "stop", name)));
    return commands;
}

// sway reads a command twice, when loading its configuration and when the key runs it: each time a backslash escapes
// the next character and $name is a variable ($$ a dollar sign).
std::vector<std::string> SwayLines(const TKeyCommand& bound) {
    const std::string key = KeyText(bound.key, {{{kCtrl, "Ctrl"}, {kAlt, "Alt"}, {kShift, "Shift"}}}, "+");
    return {Joined({"bindsym ", key, " exec ", Escaped(bound.command, {{'\\', "\\\\"}, {'$', "$$$$"}})})};
}

// A # anywhere starts a comment in hyprland.conf; ## is a number sign.
std::vector<std::string> HyprlandLines(const TKeyCommand& bound) {
    const std::string modifiers =
        ModifierText(bound.key.modifiers, {{{kCtrl, "CTRL"}, {kAlt, "ALT"}, {kShift, "SHIFT"}}}, " ");
    const std::string key = std::to_string(bound.key.functionKey);
    return {Joined({"bind = ", modifiers, ", F", key, ", exec, ", Escaped(bound.command, {{'#', "##"}})})};
}

// river's init is a shell script: the command is one double-quoted word of it.
std::vector<std::string> RiverLines(const TKeyCommand& bound) {
    const std::string modifiers =
        ModifierText(bound.key.modifiers, {{{kCtrl, "Control"}, {kAlt, "Alt"}, {kShift, "Shift"}}}, "+");
    const std::string key = std::to_string(bound.key.functionKey);
    const std::string word = Escaped(bound.command, {{'\\', "\\\\"}, {'"', "\\\""}, {'$', "\\$"}, {'`', "\\`"}});
    return {Joined({"riverctl map normal ", modifiers, " F", key, " spawn \"", word, "\""})};
}

std::vector<std::string> LabwcLines(const TKeyCommand& bound) {
    const std::string key = KeyText(bound.key, {{{kCtrl, "C"}, {kAlt, "A"}, {kShift, "S"}}}, "-");
    const std::string attribute =
        Escaped(bound.command, {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}});
    return {Joined({"<keybind key=\"", key, "\"><action name=\"Execute\" command=\"", attribute, "\"/></keybind>"})};
}

// Each binding of the command plugin is a pair of options named after its key (the stop-all key's after what it
// does), so no two lines clash; a # in wayfire.ini starts a comment unless written \#.
std::vector<std::string> WayfireLines(const TKeyCommand& bound) {
    const std::string modifiers =
        ModifierText(bound.key.modifiers, {{{kCtrl, "<ctrl>"}, {kAlt, "<alt>"}, {kShift, "<shift>"}}}, " ");
    const std::string key = std::to_string(bound.key.functionKey);
    return {Joined({"binding_tappora_", bound.name, " = ", modifiers, " KEY_F", key}),
            Joined({"command_tappora_", bound.name, " = ", Escaped(bound.command, {{'#', "\\#"}})})};
}

// GNOME and KDE Plasma keep their shortcuts in their settings, not in a file: each line is one shortcut to add there.
std::vector<std::string> SettingsLines(const TKeyCommand& bound) {
    const std::string key = KeyText(bound.key, {{{kCtrl, "Ctrl"}, {kAlt, "Alt"}, {kShift, "Shift"}}}, "+");
    return {Joined({key, ": ", bound.command})};
}

struct TFormat {
    TCompositor compositor;
    const char* where;
    std::vector<std::string> (*lines)(const TKeyCommand&);
};

const TFormat kFormats[] = {
    {TCompositor::Sway, "Add to ~/.config/sway/config, then reload sway:", SwayLines},
    {TCompositor::Hyprland, "Add to ~/.config/hypr/hyprland.conf:", HyprlandLines},
    {TCompositor::River, "Add to river's init, ~/.config/river/init:", RiverLines},
    {TCompositor::Labwc, "Add inside <keyboard> in ~/.config/labwc/rc.xml, then reconfigure labwc:", LabwcLines},
    {TCompositor::Wayfire, "Add to the [command] section of ~/.config/wayfire.ini:", WayfireLines},
    {TCompositor::Gnome,
     "In Settings, Keyboard, View and Customise Shortcuts, Custom Shortcuts, add each line's command with its key:",
     SettingsLines},
    {TCompositor::Kde,
     "In System Settings, Shortcuts, Add New, Command or Script, add each line's command with its key:", SettingsLines},
};
} // namespace

TCompositor CompositorFromEnvironment(const std::function<const char*(const char*)>& variable) {
    const char* desktops = variable("XDG_CURRENT_DESKTOP");
    const std::pair<const char*, TCompositor> named[] = {
        {"sway", TCompositor::Sway},   {"hyprland", TCompositor::Hyprland}, {"river", TCompositor::River},
        {"labwc", TCompositor::Labwc}, {"wayfire", TCompositor::Wayfire},   {"gnome", TCompositor::Gnome},
        {"kde", TCompositor::Kde},
    };
    for (const auto& [desktop, compositor] : named)
        if (ListsDesktop(desktops, desktop))
            return compositor;
    if (!IsSet(variable("SWAYSOCK")) && IsSet(variable("HYPRLAND_INSTANCE_SIGNATURE")))
        return TCompositor::Hyprland;
    return TCompositor::Sway;
}

std::string ProgramToRun(const std::string& executable) {
    if (executable == "/usr/bin/tappora")
        return "tappora";
    const bool plain = !executable.empty() && std::all_of(executable.begin(), executable.end(), [](unsigned char c) {
        return std::isalnum(c) || std::string_view("/._+-,:@%=").find(char(c)) != std::string_view::npos;
    });
    return plain ? executable : ShellQuoted(executable);
}

std::string ShellQuoted(const std::string& text) {
    return Joined({"'", Escaped(text, {{'\'', "'\"'\"'"}}), "'"});
}

namespace {
TDesktopBinding Binding(TCompositor compositor, const std::vector<TKeyCommand>& commands) {
    const TFormat& format = *std::find_if(std::begin(kFormats), std::end(kFormats),
                                          [&](const TFormat& f) { return f.compositor == compositor; });
    TDesktopBinding binding{format.where, {}};
    for (const TKeyCommand& bound : commands)
        for (std::string& line : format.lines(bound))
            binding.lines.push_back(std::move(line));
    return binding;
}
} // namespace

TDesktopBinding DesktopBinding(TCompositor compositor, const std::string& program, const std::string& name,
                               int startKey, int stopKey) {
    return Binding(compositor, KeyCommands(program, name, startKey, stopKey));
}

TDesktopBinding StopAllBinding(TCompositor compositor, const std::string& program, std::optional<THotKey> key) {
    std::string command = program;
    TDesktopBinding binding =
        Binding(compositor, key ? std::vector<TKeyCommand>{{*key, command.append(" stop --all"), "stop_all"}}
                                : std::vector<TKeyCommand>{});
    binding.where.front() = char(std::tolower(static_cast<unsigned char>(binding.where.front())));
    binding.where.insert(0, "To stop all clicks with the key, ");
    return binding;
}
