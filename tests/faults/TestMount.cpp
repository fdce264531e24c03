#include "faults/TestMount.h"

#include <utility>

#ifdef __linux__

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

TestMount TestMount::Tmpfs(const std::string& path, const std::string& size) {
    TestMount mount;
    const std::string options = "size=" + size + ",mode=0755";
    if (::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0) {
        mount.m_path = path;
    } else {
        mount.m_failure = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    }
    return mount;
}

TestMount TestMount::ReadOnly(const std::string& path) {
    TestMount mount;
    if (::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        mount.m_failure = std::string("cannot bind the folder: ") + std::strerror(errno);
        return mount;
    }
    mount.m_path = path;
    // A bind mount takes the read-only flag only on a remount.
    if (::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        mount.m_failure = std::string("cannot make the folder read-only: ") + std::strerror(errno);
        ::umount2(path.c_str(), MNT_DETACH);
        mount.m_path.clear();
    }
    return mount;
}

TestMount::~TestMount() {
    if (Mounted()) {
        ::umount2(m_path.c_str(), MNT_DETACH);
    }
}

#else

TestMount TestMount::Tmpfs(const std::string&, const std::string&) {
    TestMount mount;
    mount.m_failure = "needs Linux: mounting a tmpfs";
    return mount;
}

TestMount TestMount::ReadOnly(const std::string&) {
    TestMount mount;
    mount.m_failure = "needs Linux: read-only bind mounts";
    return mount;
}

TestMount::~TestMount() = default;

#endif

TestMount::TestMount(TestMount&& other) noexcept
    : m_path(std::exchange(other.m_path, {})), m_failure(std::move(other.m_failure)) {}
