#include "model/SafeFile.h"

#include "platform/Files.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void ThrowFileError(const std::string& action, const std::string& path, const std::error_code& error) {
    throw std::runtime_error("Cannot " + action + " '" + path + "': " + error.message());
}

bool Exists(const fs::path& path) {
    std::error_code ignored;
    return fs::symlink_status(path, ignored).type() != fs::file_type::not_found;
}

// A new file beside `target` holding `content`, under a name nobody else uses; empty with `error` set when none
// could be made.
fs::path WriteTempFile(const fs::path& target, std::string_view content, std::error_code& error) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path tempPath = target;
        tempPath += ".tmp-" + std::to_string(random() % 1000000000u);
        if (writeNewFile(tempPath, content, target, error)) {
            return tempPath;
        }
        if (error != std::errc::file_exists) {
            return {};
        }
    }
    return {};
}

std::string TimeStamp() {
    const std::tm local = localTime(std::time(nullptr));
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view content) {
    const fs::path target = pathFromUtf8(writeTarget(path));
    std::error_code error;
    const fs::path tempPath = WriteTempFile(target, content, error);
    if (tempPath.empty()) {
        ThrowFileError("write", path, error);
    }
    if (!replaceFile(tempPath, target, error)) {
        std::error_code ignored;
        fs::remove(tempPath, ignored);
        ThrowFileError("write", path, error);
    }
}

std::string WriteNumberedNewFile(const std::string& path, std::string_view content) {
    const fs::path first = pathFromUtf8(path);
    std::error_code error;
    for (int number = 1;; ++number) {
        fs::path candidate = first;
        if (number > 1) {
            // Appended in steps: GCC 12 warns wrongly (-Wrestrict) about a literal added to a temporary string.
            fs::path name = first.stem();
            name += "-";
            name += std::to_string(number);
            name += first.extension();
            candidate.replace_filename(name);
        }
        if (writeNewFile(candidate, content, {}, error)) {
            return utf8FromPath(candidate);
        }
        if (error != std::errc::file_exists) {
            std::error_code ignored;
            fs::remove(candidate, ignored);
            ThrowFileError("write", utf8FromPath(candidate), error);
        }
    }
}

std::vector<std::string> NumberedFiles(const std::string& path) {
    const fs::path first = pathFromUtf8(path);
    const std::string stem = utf8FromPath(first.stem()) + "-";
    const std::string extension = utf8FromPath(first.extension());
    std::vector<std::pair<unsigned long, std::string>> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(first.parent_path(), error)) {
        const std::string name = utf8FromPath(entry.path().filename());
        const std::string number =
            name.size() > stem.size() + extension.size() && name.starts_with(stem) && name.ends_with(extension)
                ? name.substr(stem.size(), name.size() - stem.size() - extension.size())
                : std::string();
        if (!entry.is_regular_file(error)) {
            continue;
        }
        if (entry.path() == first) {
            found.emplace_back(1, utf8FromPath(entry.path()));
        } else if (!number.empty() && number.size() <= 9 &&
                   number.find_first_not_of("0123456789") == std::string::npos) {
            found.emplace_back(std::stoul(number), utf8FromPath(entry.path()));
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& [number, name] : found) {
        paths.push_back(std::move(name));
    }
    return paths;
}

std::string KeepAside(const std::string& path) {
    const std::string base = path + ".unreadable-" + TimeStamp();
    std::string aside = base;
    for (int number = 2; Exists(pathFromUtf8(aside)); ++number) {
        aside = base + "-" + std::to_string(number);
    }
    std::error_code error;
    fs::rename(pathFromUtf8(path), pathFromUtf8(aside), error);
    if (error) {
        ThrowFileError("keep aside", path, error);
    }
    return aside;
}

TProtectedFile::TProtectedFile(std::string path, TFileKind kind) : m_path(std::move(path)), m_kind(kind) {}

void TProtectedFile::Read() {
    m_unreadableInPlace = false;
}

std::string TProtectedFile::Unreadable() {
    m_unreadableInPlace = true;
    try {
        m_keptAsidePath = KeepAside(m_path);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    m_unreadableInPlace = false;
    return {};
}

void TProtectedFile::Write(std::string_view content, std::vector<std::string>& messages) {
    if (m_unreadableInPlace) {
        MoveUnreadableAside(messages);
    }
    WriteFileAtomically(m_path, content);
}

void TProtectedFile::MoveUnreadableAside(std::vector<std::string>& messages) {
    if (!Exists(pathFromUtf8(m_path))) {
        m_unreadableInPlace = false;
        return;
    }
    try {
        m_keptAsidePath = KeepAside(m_path);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(std::string(m_kind.notSaved) + ": " + m_path +
                                 " could not be read at start and cannot be kept aside (" + error.what() + ")");
    }
    m_unreadableInPlace = false;
    messages.push_back("The unreadable " + std::string(m_kind.name) + " " + m_path + " was kept as " + m_keptAsidePath +
                       ".");
}

std::string WriteProblem(const std::string& path) {
    try {
        std::error_code error;
        const fs::path probe = WriteTempFile(pathFromUtf8(writeTarget(path)), {}, error);
        if (probe.empty()) {
            ThrowFileError("write", path, error);
        }
        fs::remove(probe, error);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return {};
}

std::vector<std::string> RemoveLeftoverTempFiles(const std::string& path) {
    const fs::path file = pathFromUtf8(path);
    const std::string prefix = utf8FromPath(file.filename()) + ".tmp-";
    std::vector<std::string> removed;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(file.parent_path(), error)) {
        const std::string name = utf8FromPath(entry.path().filename());
        const bool leftover = name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
                              name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
        std::error_code ignored;
        if (leftover && entry.is_regular_file(ignored) && !entry.is_symlink(ignored) &&
            fs::remove(entry.path(), ignored)) {
            removed.push_back(utf8FromPath(entry.path()));
        }
    }
    return removed;
}
