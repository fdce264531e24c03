#pragma once

#include <string>
#include <string_view>

// Writes `content` to a temporary file in the same folder, flushes it to disk and renames it over `path`, so the
// old file stays whole when anything fails. Throws std::runtime_error naming the file and the reason.
void WriteFileAtomically(const std::string& path, std::string_view content);

// Renames an unreadable file to a new name beside it ("<path>.unreadable-YYYYMMDD-HHMMSS", made unique) and gives
// that name. Throws std::runtime_error naming the file and the reason when it cannot.
std::string KeepAside(const std::string& path);
