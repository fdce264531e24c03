#pragma once

#include <filesystem>

// The folder of the running executable, where the click list and the settings live: found from the module's own
// wide file name, so folders whose names are outside the ANSI code page work.
std::filesystem::path programFolder();
