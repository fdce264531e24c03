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

// Writes `content` into a new file: `path` when that name is free, else "<stem>-2<extension>", "-3"..., so that two
// writers never write over each other. Gives the name written; throws std::runtime_error naming the file and the
// reason when it cannot.
std::string WriteNumberedNewFile(const std::string& path, std::string_view content);

// The files WriteNumberedNewFile(path, ...) may have written that are there, `path` first, then by number.
std::vector<std::string> NumberedFiles(const std::string& path);

// Why WriteFileAtomically(path, ...) would fail before writing anything (the folder is read-only, missing, not the
// user's to write, or the link is refused), as its error text; empty when a new file can be made there now.
std::string WriteProblem(const std::string& path);

// How a protected file is named in the messages about it.
struct TFileKind {
    // "The unreadable <name> <path> was kept as <aside>."
    const char* name;
    // What a refused write costs: "<notSaved>: <path> could not be read at start and cannot be kept aside (...)".
    const char* notSaved;
};

// A file the program rewrites whole, of which nothing may be lost. Writes replace it atomically. A file that could
// not be read is kept aside at once; when it cannot be moved it stays in place and is never written over: the next
// write moves it first, or writes nothing. Until its reading is over, the file counts as unreadable in place, since
// it may hold what the program does not have yet.
class TProtectedFile {
public:
    TProtectedFile(std::string path, TFileKind kind);
    const std::string& Path() const { return m_path; }
    // The file was read whole, or is missing: writes may replace it.
    void Read();
    // The file could not be read: keeps it aside now. Gives why that failed (the file then stays in place), else
    // nothing.
    std::string Unreadable();
    // Where the unreadable file went; empty while it was not kept aside.
    const std::string& KeptAsidePath() const { return m_keptAsidePath; }
    // An unreadable, or not yet read, file is still in place: no write goes over it.
    bool UnreadableInPlace() const { return m_unreadableInPlace; }
    // Writes `content` atomically. An unreadable file still in place is kept aside first, and `messages` gets where it
    // went, also when the write then fails. Throws std::runtime_error naming the file and the reason when it cannot
    // be kept aside (nothing is written then) or written.
    void Write(std::string_view content, std::vector<std::string>& messages);

private:
    void MoveUnreadableAside(std::vector<std::string>& messages);

    std::string m_path;
    TFileKind m_kind;
    std::string m_keptAsidePath;
    bool m_unreadableInPlace = true;
};

// Removes the temporary files ("<path>.tmp-<digits>") that a save killed half way left beside `path`, and gives
// their paths. Only call it when no other copy of the program may be saving `path`.
std::vector<std::string> RemoveLeftoverTempFiles(const std::string& path);
