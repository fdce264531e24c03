#include "control/DesktopBinding.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>

namespace {
using TEscapes = std::vector<std::pair<char, std::string_view>>;

// One command a key runs: Ctrl+F`key`.
struct TKeyCommand {
    int key;
    std::string command;
};

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

std::vector<TKeyCommand> KeyCommands(const std::string& program, const std::string& name, int startKey, int stopKey) {
    if (startKey == stopKey)
        return startKey < 0 ? std::vector<TKeyCommand>{}
                            : std::vector<TKeyCommand>{{startKey + 1, CommandFor(program, "toggle", name)}};
    std::vector<TKeyCommand> commands;
    if (startKey >= 0)
        commands.push_back({startKey + 1, CommandFor(program, "start", name)});
    if (stopKey >= 0)
        commands.push_back({stopKey + 1, CommandFor(program, "stop", name)});
    return commands;
}

// sway reads a command twice, when loading its configuration and when the key runs it: each time a backslash escapes
// the next character and $name is a variable ($$ a dollar sign).
std::vector<std::string> SwayLines(const TKeyCommand& bound) {
    const std::string key = std::to_string(bound.key);
    return {Joined({"bindsym Ctrl+F", key, " exec ", Escaped(bound.command, {{'\\', "\\\\"}, {'$', "$$$$"}})})};
}

// A # anywhere starts a comment in hyprland.conf; ## is a number sign.
std::vector<std::string> HyprlandLines(const TKeyCommand& bound) {
    const std::string key = std::to_string(bound.key);
    return {Joined({"bind = CTRL, F", key, ", exec, ", Escaped(bound.command, {{'#', "##"}})})};
}

// river's init is a shell script: the command is one double-quoted word of it.
std::vector<std::string> RiverLines(const TKeyCommand& bound) {
    const std::string key = std::to_string(bound.key);
    const std::string word = Escaped(bound.command, {{'\\', "\\\\"}, {'"', "\\\""}, {'$', "\\$"}, {'`', "\\`"}});
    return {Joined({"riverctl map normal Control F", key, " spawn \"", word, "\""})};
}

std::vector<std::string> LabwcLines(const TKeyCommand& bound) {
    const std::string key = std::to_string(bound.key);
    const std::string attribute =
        Escaped(bound.command, {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}});
    return {Joined({"<keybind key=\"C-F", key, "\"><action name=\"Execute\" command=\"", attribute, "\"/></keybind>"})};
}

// Each binding of the command plugin is a pair of options named after its key, so no two clicks' lines clash; a # in
// wayfire.ini starts a comment unless written \#.
std::vector<std::string> WayfireLines(const TKeyCommand& bound) {
    const std::string key = std::to_string(bound.key);
    return {Joined({"binding_tappora_", key, " = <ctrl> KEY_F", key}),
            Joined({"command_tappora_", key, " = ", Escaped(bound.command, {{'#', "\\#"}})})};
}

// GNOME and KDE Plasma keep their shortcuts in their settings, not in a file: each line is one shortcut to add there.
std::vector<std::string> SettingsLines(const TKeyCommand& bound) {
    return {Joined({"Ctrl+F", std::to_string(bound.key), ": ", bound.command})};
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

TDesktopBinding DesktopBinding(TCompositor compositor, const std::string& program, const std::string& name,
                               int startKey, int stopKey) {
    const TFormat& format = *std::find_if(std::begin(kFormats), std::end(kFormats),
                                          [&](const TFormat& f) { return f.compositor == compositor; });
    TDesktopBinding binding{format.where, {}};
    for (const TKeyCommand& bound : KeyCommands(program, name, startKey, stopKey))
        for (std::string& line : format.lines(bound))
            binding.lines.push_back(std::move(line));
    return binding;
}
