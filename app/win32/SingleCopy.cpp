#include "app/win32/SingleCopy.h"

#include <chrono>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <thread>

namespace {
// The folder as the file system names it, whatever path reached it (short names, links, letter case), upper case.
std::wstring folderKey(const std::filesystem::path& folder) {
    std::wstring path = folder.wstring();
    const HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        std::wstring final(32768, L'\0');
        const DWORD length = GetFinalPathNameByHandleW(handle, final.data(), DWORD(final.size()), 0);
        if (length > 0 && length < final.size())
            path = final.substr(0, length);
        CloseHandle(handle);
    }
    std::wstring upper(path.size(), L'\0');
    const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.c_str(), int(path.size()),
                                     upper.data(), int(upper.size()), nullptr, nullptr, 0);
    return length > 0 ? upper.substr(0, std::size_t(length)) : path;
}

// "Tappora-" and 16 hexadecimal digits of the key's FNV-1a hash.
std::wstring nameFor(const std::filesystem::path& folder) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const wchar_t unit : folderKey(folder))
        hash = (hash ^ std::uint16_t(unit)) * 1099511628211ull;
    wchar_t name[32];
    std::swprintf(name, std::size(name), L"Tappora-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

struct WindowSearch {
    const wchar_t* property;
    HWND found;
};

BOOL CALLBACK findMarked(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    if (GetPropW(window, search.property) == nullptr)
        return TRUE;
    search.found = window;
    return FALSE;
}
} // namespace

std::wstring commandPipeName(const std::filesystem::path& folder) {
    return L"\\\\.\\pipe\\" + nameFor(folder);
}

TSingleCopy::TSingleCopy(const std::filesystem::path& folder) : m_name(nameFor(folder)) {
    m_mutex = CreateMutexW(nullptr, FALSE, (L"Local\\" + m_name).c_str());
    // A mutex this user may not open belongs to a copy of the same folder too (run elevated, say).
    m_first = m_mutex == nullptr ? GetLastError() != ERROR_ACCESS_DENIED : GetLastError() != ERROR_ALREADY_EXISTS;
}

TSingleCopy::~TSingleCopy() {
    if (m_mutex)
        CloseHandle(m_mutex);
}

void TSingleCopy::markWindow(HWND window) const {
    SetPropW(window, m_name.c_str(), HANDLE(1));
}

// The running copy may be a moment away from marking its window (it takes the mutex first): try for a while.
bool TSingleCopy::showOther() const {
    for (int attempt = 0; attempt < 20; ++attempt) {
        WindowSearch search{m_name.c_str(), nullptr};
        EnumWindows(findMarked, LPARAM(&search));
        if (search.found == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        DWORD process = 0;
        GetWindowThreadProcessId(search.found, &process);
        // This start has the user's attention; it hands it on to the running copy.
        AllowSetForegroundWindow(process);
        ShowWindow(search.found, IsIconic(search.found) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(GetLastActivePopup(search.found));
        return true;
    }
    return false;
}
