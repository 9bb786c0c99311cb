#include "platform/libreoffice/host/user_rights.h"

#include <linux/capability.h>
#include <linux/securebits.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "platform/posix/system_error.h"

namespace pravelo::platform::libreoffice {
namespace {

struct Sets {
    std::uint64_t effective = 0;
    std::uint64_t permitted = 0;
    std::uint64_t inheritable = 0;
};

bool readSets(Sets& sets) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    const auto join = [](std::uint32_t low, std::uint32_t high) {
        return static_cast<std::uint64_t>(high) << 32 | low;
    };
    sets.effective = join(data[0].effective, data[1].effective);
    sets.permitted = join(data[0].permitted, data[1].permitted);
    sets.inheritable = join(data[0].inheritable, data[1].inheritable);
    return true;
}

bool writeSets(const Sets& sets) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    for (int i = 0; i < 2; ++i) {
        const int shift = 32 * i;
        data[i].effective = static_cast<std::uint32_t>(sets.effective >> shift);
        data[i].permitted = static_cast<std::uint32_t>(sets.permitted >> shift);
        data[i].inheritable = static_cast<std::uint32_t>(sets.inheritable >> shift);
    }
    return ::syscall(SYS_capset, &header, data) == 0;
}

int lastCapability() {
    int last = -1;
    std::ifstream("/proc/sys/kernel/cap_last_cap") >> last;
    return last >= 0 && last < 64 ? last : CAP_LAST_CAP;
}

bool holds(std::uint64_t set, int capability) {
    return (set >> capability & 1) != 0;
}

}  // namespace

std::uint64_t heldCapabilities() {
    Sets sets;
    return readSets(sets) ? sets.permitted : 0;
}

std::string keepOnlyUserRights(std::uint64_t user) {
    Sets now;
    if (!readSets(now)) return posix::danishReason(errno);
    // Both need CAP_SETPCAP, so before the sets shrink. Without it there is
    // nothing to give back in the bounding set either.
    if (holds(now.effective, CAP_SETPCAP)) {
        for (int capability = 0; capability <= lastCapability(); ++capability) {
            if (!holds(user, capability) && ::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) != 0)
                return posix::danishReason(errno);
        }
        if (user == 0) {
            const unsigned long locked = SECBIT_NOROOT | SECBIT_NOROOT_LOCKED |
                                         SECBIT_NO_SETUID_FIXUP | SECBIT_NO_SETUID_FIXUP_LOCKED |
                                         SECBIT_KEEP_CAPS_LOCKED | SECBIT_NO_CAP_AMBIENT_RAISE |
                                         SECBIT_NO_CAP_AMBIENT_RAISE_LOCKED;
            if (::prctl(PR_SET_SECUREBITS, locked, 0, 0, 0) != 0) return posix::danishReason(errno);
        }
    }
    if (::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) != 0 && errno != EINVAL)
        return posix::danishReason(errno);
    const Sets kept{now.permitted & user, now.permitted & user, 0};
    if (!writeSets(kept)) return posix::danishReason(errno);
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return posix::danishReason(errno);
    Sets after;
    if (!readSets(after) || (after.permitted & ~user) != 0 || (after.effective & ~user) != 0 ||
        after.inheritable != 0)
        return "rettighederne kan ikke gives tilbage";
    return {};
}

}  // namespace pravelo::platform::libreoffice
