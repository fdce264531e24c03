#include "app/CommandLine.h"

#include "app/FilesFolder.h"

#include <algorithm>
#include <array>

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

CommandLine refuse(const std::string& sentence) {
    return {CommandLine::Refuse, "tappora: " + sentence + " (\"tappora --help\" lists the options)."};
}
} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h")
            return {CommandLine::ShowHelp, {}};
        if (argument == "--version")
            line.action = CommandLine::ShowVersion;
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
    return "Usage: tappora [--help | --version]\n"
           "A mouse auto-clicker for X11 desktops: a list of clicks, each started and stopped with the toolbar or\n"
           "the hotkeys Ctrl+F1 to Ctrl+F12.\n"
           "\n"
           "  -h, --help   show this help and exit\n"
           "  --version    show the version and exit\n"
           "\n"
           "Files: the click list \"tapporas.xml\" and the settings \"TapporaConfig.xml\".\n" +
           files.reason +
           "\n"
           "A copy whose folder already holds either file, or that you own and can write, keeps them beside itself;\n"
           "an installed copy keeps them in $XDG_CONFIG_HOME/tappora (by default ~/.config/tappora).\n"
           "\n"
           "Tappora needs an X11 session or XWayland; under XWayland its clicks and captures reach X11 programs "
           "only.\n";
}

std::string versionText() {
    return std::string("tappora ") + TAPPORA_VERSION + "\n";
}
