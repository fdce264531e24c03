#include "model/SafeFile.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowFileError(const std::string& action, const std::string& path, int error) {
    throw std::runtime_error("Cannot " + action + " '" + path + "': " + std::strerror(error));
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool Exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

[[noreturn]] void RefuseLink(const std::string& path, const std::string& link, const std::string& whose) {
    throw std::runtime_error("Cannot write '" + path + "': it leads through the symbolic link '" + link + "' to " +
                             whose + " of another user");
}

std::string LinkText(const std::string& link) {
    std::string text(4096, '\0');
    const ssize_t length = ::readlink(link.c_str(), text.data(), text.size());
    if (length < 0 || static_cast<std::size_t>(length) >= text.size()) {
        ThrowFileError("follow the link", link, length < 0 ? errno : ENAMETOOLONG);
    }
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The file a write to `path` replaces. A symbolic link is followed and stays (a user's own dotfiles set-up relies on
// that), but only a link of the user running the program to a file of that user, or for a new file into a folder of
// that user: a folder others may write must not turn a copy run by root into a tool that overwrites any file.
std::string WriteTarget(const std::string& path) {
    const uid_t user = ::geteuid();
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
            if (status.st_uid != user) {
                RefuseLink(path, current, "a link");
            }
            const std::string text = LinkText(current);
            current = text.front() == '/' ? text : FolderOf(current) + "/" + text;
            continue;
        }
        if (hop == 0) {
            return path;
        }
        const bool exists = ::lstat(current.c_str(), &status) == 0;
        if (!exists && ::stat(FolderOf(current).c_str(), &status) != 0) {
            return current;
        }
        if (status.st_uid != user) {
            RefuseLink(path, path, exists ? "the file '" + current + "'" : "the folder of '" + current + "'");
        }
        return current;
    }
    ThrowFileError("write", path, ELOOP);
}

// Like mkstemp, but with the usual permissions of a new file (mkstemp makes it private to its owner).
int CreateTempFile(const std::string& path, std::string& tempPath) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + ".tmp-" + std::to_string(random() % 1000000000u);
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// A replaced file keeps its permissions.
bool KeepPermissionsOf(const std::string& path, int fd) {
    struct stat status {};
    return ::stat(path.c_str(), &status) != 0 || ::fchmod(fd, status.st_mode & 07777) == 0;
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Gives 0 or the first error number; the descriptor is closed either way.
int WriteAndClose(int fd, std::string_view content, const std::string& path) {
    int error = 0;
    if (!WriteAll(fd, content) || !KeepPermissionsOf(path, fd) || ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

// Makes the rename itself durable; a failure here leaves a complete file either way, so it is not reported.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string TimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view content) {
    const std::string target = WriteTarget(path);
    std::string tempPath;
    const int fd = CreateTempFile(target, tempPath);
    if (fd < 0) {
        ThrowFileError("write", path, errno);
    }
    int error = WriteAndClose(fd, content, target);
    if (error == 0 && ::rename(tempPath.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(tempPath.c_str());
        ThrowFileError("write", path, error);
    }
    SyncFolder(FolderOf(target));
}

std::string KeepAside(const std::string& path) {
    const std::string base = path + ".unreadable-" + TimeStamp();
    std::string aside = base;
    for (int number = 2; Exists(aside); ++number) {
        aside = base + "-" + std::to_string(number);
    }
    if (::rename(path.c_str(), aside.c_str()) != 0) {
        ThrowFileError("keep aside", path, errno);
    }
    return aside;
}

std::string WriteProblem(const std::string& path) {
    try {
        std::string probe;
        const int fd = CreateTempFile(WriteTarget(path), probe);
        if (fd < 0) {
            ThrowFileError("write", path, errno);
        }
        ::close(fd);
        ::unlink(probe.c_str());
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return {};
}

std::vector<std::string> RemoveLeftoverTempFiles(const std::string& path) {
    const std::filesystem::path file(path);
    const std::string prefix = file.filename().string() + ".tmp-";
    std::vector<std::string> removed;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        const bool leftover = name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
                              name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
        std::error_code ignored;
        if (leftover && entry.is_regular_file(ignored) && !entry.is_symlink(ignored) &&
            std::filesystem::remove(entry.path(), ignored)) {
            removed.push_back(entry.path().string());
        }
    }
    return removed;
}
