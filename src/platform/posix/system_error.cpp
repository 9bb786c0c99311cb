#include "platform/posix/system_error.h"

#include <locale.h>

#include <cerrno>
#include <cstring>

namespace pravelo::platform::posix {

std::string systemReason(int err) {
    // A locale of our own, so the process-wide locale is left as it is.
    locale_t locale = newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0)) {
        locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    }
    std::string reason = locale ? strerror_l(err, locale) : "errno " + std::to_string(err);
    if (locale) freelocale(locale);
    return reason;
}

std::int32_t errnumFor(int err) {
    switch (err) {
        case ENOENT:
            return errnum::FileNotFound;
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
            return errnum::PathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return errnum::PermissionDenied;
        case EIO:
        case ENXIO:
        case ENODEV:
            return errnum::DeviceUnavailable;
        default:
            return errnum::FileAccess;
    }
}

Error systemError(int err, const std::string& what) {
    return Error(errnumFor(err), what + ": " + systemReason(err));
}

}  // namespace pravelo::platform::posix
