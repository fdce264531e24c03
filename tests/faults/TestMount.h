#pragma once

#include <string>

// A file system mounted over a test's folder for as long as the object lives; needs the right to mount (root in
// CI). When mounting is not permitted the object is inert and Mounted() is false, so the test can skip.
class TestMount {
public:
    // A tmpfs of `size` (as mount(8) takes it, e.g. "64k") over `path`: a disk that fills up.
    static TestMount Tmpfs(const std::string& path, const std::string& size);
    // `path` bound onto itself read-only: a folder nobody may write to, root included.
    static TestMount ReadOnly(const std::string& path);

    TestMount(TestMount&& other) noexcept;
    TestMount& operator=(TestMount&&) = delete;
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;
    ~TestMount();

    bool Mounted() const { return !m_path.empty(); }
    // Why mounting failed, for the skip message.
    const std::string& Failure() const { return m_failure; }

private:
    TestMount() = default;

    std::string m_path;
    std::string m_failure;
};
