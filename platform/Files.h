#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// The file services the core needs beyond the standard library. One implementation per system (platform/posix,
// platform/win32), chosen by the build. Failures give false and set `error`, whose message names the reason.

// Creates `path`, which must not exist yet (else false with std::errc::file_exists), writes `content` into it and
// flushes it to the disk. It takes the permissions of `like` when that file exists, so that a file replaced by it
// keeps them; rules about what a replacement inherits belong here, in each system's implementation.
bool writeNewFile(const std::filesystem::path& path, std::string_view content, const std::filesystem::path& like,
                  std::error_code& error);

// The file that a write to the UTF-8 path `path` replaces, as UTF-8: links are followed as far as the system's rules
// allow. Throws std::runtime_error naming `path` and the reason when the write must not happen.
std::string writeTarget(const std::string& path);

// Puts `from` in place of `to` in one step, replacing `to` if it exists, and makes the change durable.
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error);

// The local calendar time of `when`.
std::tm localTime(std::time_t when);

// The path that the UTF-8 text names. (A narrow text given to std::filesystem::path as it is means the ANSI code
// page on Windows, so folders with non-ASCII names would be missed there.)
inline std::filesystem::path pathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The path as UTF-8 text.
inline std::string utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
