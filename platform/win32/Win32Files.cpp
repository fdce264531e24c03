#include "platform/Files.h"

#include <windows.h>

#include <algorithm>

namespace {

bool failWithLastError(std::error_code& error) {
    const DWORD number = ::GetLastError();
    error = number == ERROR_FILE_EXISTS ? std::make_error_code(std::errc::file_exists)
                                        : std::error_code(static_cast<int>(number), std::system_category());
    return false;
}

bool writeAll(HANDLE file, std::string_view content) {
    while (!content.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, content.data(), chunk, &written, nullptr)) {
            return false;
        }
        content.remove_prefix(written);
    }
    return true;
}

} // namespace

// Links are rare on Windows and making one needs a right of its own; a link is followed to where it leads.
std::string writeTarget(const std::string& path) {
    const std::filesystem::path file = pathFromUtf8(path);
    std::error_code error;
    if (!std::filesystem::is_symlink(file, error)) {
        return path;
    }
    const std::filesystem::path target = std::filesystem::weakly_canonical(file, error);
    return error ? path : utf8FromPath(target);
}

// Windows has no permission bits to carry over; a read-only replaced file is refused by the replacement itself.
bool writeNewFile(const std::filesystem::path& path, std::string_view content, const std::filesystem::path&,
                  std::error_code& error) {
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return failWithLastError(error);
    }
    const bool written = writeAll(file, content) && ::FlushFileBuffers(file);
    const DWORD number = written ? ERROR_SUCCESS : ::GetLastError();
    ::CloseHandle(file);
    if (!written) {
        ::DeleteFileW(path.c_str());
        ::SetLastError(number);
        return failWithLastError(error);
    }
    return true;
}

// MOVEFILE_WRITE_THROUGH returns only once the move is on the disk.
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error) {
    if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return failWithLastError(error);
    }
    return true;
}

std::tm localTime(std::time_t when) {
    std::tm local{};
    ::localtime_s(&local, &when);
    return local;
}
