#pragma once

// Makes file permissions count for this thread while it lives, also when the tests run as root: it drops the
// thread's right to override them (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH) and gives it back at the end.
class FilePermissions {
public:
    FilePermissions();
    ~FilePermissions();
    FilePermissions(const FilePermissions&) = delete;
    FilePermissions& operator=(const FilePermissions&) = delete;

    // False when running as root and the override could not be dropped.
    bool Enforced() const { return m_enforced; }

private:
    bool m_enforced = false;
    bool m_dropped = false;
    unsigned m_effective[2] = {0, 0};
};
