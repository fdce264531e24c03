#include "platform/win32/Win32Shell.h"

#include "platform/win32/Utf16.h"

#include <windows.h>

#include <shellapi.h>

void Win32Shell::openUrl(const std::string& url) {
    ShellExecuteW(nullptr, L"open", toUtf16(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
