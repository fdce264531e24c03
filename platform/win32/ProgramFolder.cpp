#include "platform/win32/ProgramFolder.h"

#include <windows.h>

#include <string>

std::filesystem::path programFolder() {
    // Long paths may exceed MAX_PATH; grow until the whole name fits.
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return std::filesystem::current_path();
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}
