#pragma once

#include <string>
#include <string_view>
#include <vector>

// Writes `content` to a temporary file in the same folder, flushes it to disk and renames it over `path`, so the
// old file stays whole when anything fails. A symbolic link stays and the file it leads to is replaced, unless the
// link or that file belongs to another user. Throws std::runtime_error naming the file and the reason.
void WriteFileAtomically(const std::string& path, std::string_view content);

// Renames an unreadable file to a new name beside it ("<path>.unreadable-YYYYMMDD-HHMMSS", made unique) and gives
// that name. Throws std::runtime_error naming the file and the reason when it cannot.
std::string KeepAside(const std::string& path);

// Why WriteFileAtomically(path, ...) would fail before writing anything (the folder is read-only, missing, not the
// user's to write, or the link is refused), as its error text; empty when a new file can be made there now.
std::string WriteProblem(const std::string& path);

// Removes the temporary files ("<path>.tmp-<digits>") that a save killed half way left beside `path`, and gives
// their paths. Only call it when no other copy of the program may be saving `path`.
std::vector<std::string> RemoveLeftoverTempFiles(const std::string& path);
