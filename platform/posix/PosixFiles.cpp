#include "platform/Files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fail(std::error_code& error, int number) {
    error = std::error_code(number, std::generic_category());
    return false;
}

// A new file gets the usual permissions (0666 less the umask); a replacement keeps those of the file it replaces.
bool takePermissionsOf(const std::filesystem::path& like, int fd) {
    struct stat status {};
    return ::stat(like.c_str(), &status) != 0 || ::fchmod(fd, status.st_mode & 07777) == 0;
}

bool writeAll(int fd, std::string_view content) {
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

// Makes a rename in the folder durable; a failure leaves a complete file either way, so it is not reported.
void syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

[[noreturn]] void throwFileError(const std::string& action, const std::string& path, int error) {
    throw std::runtime_error("Cannot " + action + " '" + path + "': " + std::strerror(error));
}

std::filesystem::path folderOf(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

[[noreturn]] void refuseLink(const std::string& path, const std::string& link, const std::string& whose) {
    throw std::runtime_error("Cannot write '" + path + "': it leads through the symbolic link '" + link + "' to " +
                             whose + " of another user");
}

std::string linkText(const std::string& link) {
    std::string text(4096, '\0');
    const ssize_t length = ::readlink(link.c_str(), text.data(), text.size());
    if (length < 0 || static_cast<std::size_t>(length) >= text.size()) {
        throwFileError("follow the link", link, length < 0 ? errno : ENAMETOOLONG);
    }
    text.resize(static_cast<std::size_t>(length));
    return text;
}

} // namespace

// A symbolic link is followed and stays (a user's own dotfiles set-up relies on that), but only a link of the user
// running the program to a file of that user, or for a new file into a folder of that user: a folder others may
// write must not turn a copy run by root into a tool that overwrites any file.
std::string writeTarget(const std::string& path) {
    const uid_t user = ::geteuid();
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
            if (status.st_uid != user) {
                refuseLink(path, current, "a link");
            }
            // A link's absolute text replaces the folder it is joined to.
            current = (folderOf(current) / linkText(current)).string();
            continue;
        }
        if (hop == 0) {
            return path;
        }
        const bool exists = ::lstat(current.c_str(), &status) == 0;
        if (!exists && ::stat(folderOf(current).c_str(), &status) != 0) {
            return current;
        }
        if (status.st_uid != user) {
            refuseLink(path, path, exists ? "the file '" + current + "'" : "the folder of '" + current + "'");
        }
        return current;
    }
    throwFileError("write", path, ELOOP);
}

bool writeNewFile(const std::filesystem::path& path, std::string_view content, const std::filesystem::path& like,
                  std::error_code& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return fail(error, errno);
    }
    int number = 0;
    if (!writeAll(fd, content) || !takePermissionsOf(like, fd) || ::fsync(fd) != 0) {
        number = errno;
    }
    if (::close(fd) != 0 && number == 0) {
        number = errno;
    }
    if (number != 0) {
        ::unlink(path.c_str());
        return fail(error, number);
    }
    return true;
}

bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return fail(error, errno);
    }
    syncFolder(to.parent_path());
    return true;
}

std::tm localTime(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    return local;
}
