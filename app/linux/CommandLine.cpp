#include "app/linux/CommandLine.h"

#include "app/linux/FilesFolder.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace {
struct QtOption {
    const char* name; // without its leading dashes
    bool takesValue;
};
constexpr std::array kQtOptions{QtOption{"session", true}, QtOption{"style", true}, QtOption{"stylesheet", true},
                                QtOption{"reverse", false}};

// Qt reads its options with one dash or two, and a value either after '=' or as the next argument.
const QtOption* qtOption(const std::string& argument) {
    if (argument.size() < 2 || argument[0] != '-')
        return nullptr;
    std::string name = argument.substr(argument[1] == '-' ? 2 : 1);
    const bool hasValue = name.find('=') != std::string::npos;
    name = name.substr(0, name.find('='));
    const auto found =
        std::find_if(kQtOptions.begin(), kQtOptions.end(), [&](const QtOption& option) { return name == option.name; });
    if (found == kQtOptions.end() || (hasValue && !found->takesValue))
        return nullptr;
    return &*found;
}

CommandLine lineOf(CommandLine::Action action, std::string message = {}) {
    CommandLine line;
    line.action = action;
    line.message = std::move(message);
    return line;
}

CommandLine refuse(const std::string& sentence) {
    return lineOf(CommandLine::Refuse, "tappora: " + sentence + " (\"tappora --help\" lists the options).");
}

CommandLine parseCommand(const std::vector<std::string>& arguments) {
    const TParsedArguments parsed = ParseArguments(arguments);
    if (!parsed.request)
        return lineOf(CommandLine::Refuse,
                      "tappora: " + parsed.badUsage.lines.front() + " \"tappora --help\" lists the commands.");
    CommandLine line = lineOf(CommandLine::Command);
    line.request = *parsed.request;
    return line;
}

// `--backend NAME` or `--backend=NAME`; `i` moves past a value given apart. Empty when the argument is another.
std::optional<std::string> backendOption(const std::vector<std::string>& arguments, std::size_t& i) {
    const std::string& argument = arguments[i];
    if (argument.starts_with("--backend="))
        return argument.substr(std::string_view("--backend=").size());
    if (argument != "--backend")
        return std::nullopt;
    return ++i < arguments.size() ? arguments[i] : std::string();
}

bool knownBackend(const std::string& name) {
    return name == "x11" || name == "wlroots" || name == "portal";
}
} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    const bool check = !arguments.empty() && arguments.front() == "check";
    if (!arguments.empty() && !arguments.front().starts_with("-") && !check)
        return parseCommand(arguments);
    CommandLine line;
    if (check)
        line.action = CommandLine::Check;
    for (std::size_t i = check ? 1 : 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h")
            return lineOf(CommandLine::ShowHelp);
        if (const std::optional<std::string> backend = backendOption(arguments, i)) {
            if (backend->empty())
                return refuse("the option \"--backend\" needs a value");
            if (!knownBackend(*backend))
                return refuse("--backend takes x11, wlroots or portal, not \"" + *backend + "\"");
            line.backend = *backend;
        } else if (argument == "--version")
            line.action = CommandLine::ShowVersion;
        else if (argument == "--hidden")
            line.hidden = true;
        else if (const QtOption* option = qtOption(argument)) {
            if (option->takesValue && argument.find('=') == std::string::npos && ++i == arguments.size())
                return refuse("the option \"" + argument + "\" needs a value");
        } else if (argument.starts_with("-"))
            return refuse("unknown option \"" + argument + "\"");
        else
            return refuse("unexpected argument \"" + argument + "\", since Tappora opens no files");
    }
    return line;
}

std::string helpText(const FilesFolder& files) {
    return "Usage: tappora [--hidden] [--backend x11|wlroots|portal]\n"
           "       tappora COMMAND [NAME...]\n"
           "       tappora check [--backend x11|wlroots|portal]\n"
           "       tappora --help | --version\n"
           "A mouse auto-clicker for X11 and Wayland desktops: a list of clicks, each started and stopped with the\n"
           "toolbar or the hotkeys Ctrl+F1 to Ctrl+F12, or with the commands below.\n"
           "\n"
           "  --hidden           start in the notification area (for autostart)\n"
           "  --backend NAME     click and read the screen through x11, wlroots or portal (GNOME, KDE) instead of\n"
           "                     the one chosen\n"
           "  -h, --help         show this help and exit\n"
           "  --version          show the version and exit\n"
           "  check              tell which backend would run here and whether clicks, captures, hotkeys and the\n"
           "                     pointer position work with it\n"
           "\n"
           "Commands, answered by the copy already running with the same files:\n"
           "  start NAME...    start the clicks named as the list shows them; #N is the N-th row\n"
           "  stop NAME...     stop them; stop --all stops every click\n"
           "  toggle NAME...   start those that are stopped and stop those that run\n"
           "  list [--json]    one line a click: row, name, state, clicks counted, hotkeys, last search\n"
           "  find NAME [--json]  search once for the click's colour or picture on the screen as it is, without\n"
           "                   clicking: where it is, or how near it came (the closest pixel, the best place)\n"
           "  show             bring the window forward\n"
           "  quit             close the program as Exit does, saving\n"
           "Examples: tappora toggle \"Farm gold\"   tappora start '#2'   tappora stop --all\n"
           "          until tappora find \"OK button\"; do sleep 1; done\n"
           "Exit status: 0 done, 1 a named click is not in the list (the others are still acted on),\n"
           "2 bad usage, 3 no copy running with these files, 4 find found nothing (or could not search).\n"
           "\n"
           "Files: the click list \"tapporas.xml\" and the settings \"TapporaConfig.xml\".\n" +
           files.reason +
           "\n"
           "A copy whose folder already holds either file, or that you own and can write, keeps them beside itself;\n"
           "an installed copy keeps them in $XDG_CONFIG_HOME/tappora (by default ~/.config/tappora).\n"
           "\n"
           "Tappora runs on X11 and on Wayland compositors built on wlroots (sway, Hyprland, river, labwc, Wayfire);\n"
           "there it takes no keys itself: bind them in the compositor to \"tappora toggle NAME\". On other Wayland\n"
           "desktops it runs under XWayland, where its clicks and captures reach X11 programs only.\n";
}

std::string versionText() {
    return std::string("tappora ") + TAPPORA_VERSION + "\n";
}
