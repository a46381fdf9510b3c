#include "PermissionsBind.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Capabilities that let root read, write and search past permission bits.
constexpr unsigned OverrideMask = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool SetOverride(bool Raised) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    if (Raised)
        data[0].effective |= data[0].permitted & OverrideMask;
    else
        data[0].effective &= ~OverrideMask;
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace

PermissionsBind::PermissionsBind() {
    if (geteuid() == 0)
        FDropped = SetOverride(false);
}

PermissionsBind::~PermissionsBind() {
    if (FDropped)
        SetOverride(true);
}
