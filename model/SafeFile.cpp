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

// A file kept elsewhere through a symbolic link is replaced where it lives, and the link stays.
std::string LinkTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
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
    const std::string target = LinkTarget(path);
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
