#include "model/SafeFile.h"

#include "platform/Files.h"

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

TProtectedFile::TProtectedFile(std::string path, TFileKind kind) : fPath(std::move(path)), fKind(kind) {}

void TProtectedFile::Read() {
    fUnreadableInPlace = false;
}

std::string TProtectedFile::Unreadable() {
    fUnreadableInPlace = true;
    try {
        fKeptAsidePath = KeepAside(fPath);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    fUnreadableInPlace = false;
    return {};
}

void TProtectedFile::Write(std::string_view content, std::vector<std::string>& messages) {
    if (fUnreadableInPlace) {
        MoveUnreadableAside(messages);
    }
    WriteFileAtomically(fPath, content);
}

void TProtectedFile::MoveUnreadableAside(std::vector<std::string>& messages) {
    if (!Exists(pathFromUtf8(fPath))) {
        fUnreadableInPlace = false;
        return;
    }
    try {
        fKeptAsidePath = KeepAside(fPath);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(std::string(fKind.notSaved) + ": " + fPath +
                                 " could not be read at start and cannot be kept aside (" + error.what() + ")");
    }
    fUnreadableInPlace = false;
    messages.push_back("The unreadable " + std::string(fKind.name) + " " + fPath + " was kept as " + fKeptAsidePath +
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
