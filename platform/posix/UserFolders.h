#pragma once

#include <filesystem>
#include <string>

// The user's home folder: `home` (the environment's HOME, may be null) when set, else the password file's entry.
std::string userHome(const char* home);
// The program's per-user state folder (what is kept between runs but is no setting: a list kept when it could not be
// saved, the desktop's leave to click): $XDG_STATE_HOME/tappora, else ~/.local/state/tappora; empty when neither is
// known. `xdgStateHome` and `home` are the environment's values (may be null).
std::filesystem::path stateFolder(const char* xdgStateHome, const char* home);
