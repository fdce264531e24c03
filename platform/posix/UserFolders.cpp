#include "platform/posix/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

std::string userHome(const char* home) {
    if (home && *home)
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

std::filesystem::path stateFolder(const char* xdgStateHome, const char* home) {
    // As for the configuration folder, a relative $XDG_STATE_HOME is ignored.
    if (xdgStateHome && std::filesystem::path(xdgStateHome).is_absolute())
        return std::filesystem::path(xdgStateHome) / "tappora";
    const std::string homeFolder = userHome(home);
    if (homeFolder.empty())
        return {};
    return std::filesystem::path(homeFolder) / ".local" / "state" / "tappora";
}
