#include "faults/FilePermissions.h"

#ifdef __linux__

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool GetCapabilities(__user_cap_header_struct& header, __user_cap_data_struct (&data)[2]) {
    header = {_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, data) == 0;
}

} // namespace

FilePermissions::FilePermissions() {
    if (::geteuid() != 0) {
        m_enforced = true;
        return;
    }
    __user_cap_header_struct header{};
    __user_cap_data_struct data[2]{};
    if (!GetCapabilities(header, data)) {
        return;
    }
    m_effective[0] = data[0].effective;
    m_effective[1] = data[1].effective;
    data[0].effective &= ~(CAP_TO_MASK(CAP_DAC_OVERRIDE) | CAP_TO_MASK(CAP_DAC_READ_SEARCH));
    m_dropped = ::syscall(SYS_capset, &header, data) == 0;
    m_enforced = m_dropped;
}

FilePermissions::~FilePermissions() {
    __user_cap_header_struct header{};
    __user_cap_data_struct data[2]{};
    if (m_dropped && GetCapabilities(header, data)) {
        data[0].effective = m_effective[0];
        data[1].effective = m_effective[1];
        ::syscall(SYS_capset, &header, data);
    }
}

#else

// Elsewhere the tests that need permissions to count are skipped.
FilePermissions::FilePermissions() = default;
FilePermissions::~FilePermissions() = default;

#endif
