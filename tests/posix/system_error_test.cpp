#include "platform/posix/system_error.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <cerrno>
#include <cstring>
#include <set>

namespace pravelo::platform::posix {
namespace {

const int kUsual[] = {EPERM,   ENOENT,       ESRCH,        EINTR,     EIO,    ENXIO,   E2BIG,
                      ENOEXEC, EBADF,        ECHILD,       EAGAIN,    ENOMEM, EACCES,  EBUSY,
                      EEXIST,  EXDEV,        ENODEV,       ENOTDIR,   EISDIR, EINVAL,  ENFILE,
                      EMFILE,  ETXTBSY,      EFBIG,        ENOSPC,    ESPIPE, EROFS,   EMLINK,
                      EPIPE,   ENAMETOOLONG, ENOSYS,       ENOTEMPTY, ELOOP,  ENOTSUP, EDQUOT,
                      ESTALE,  ETIMEDOUT,    ECONNREFUSED, ECONNRESET};

std::string englishReason(int errnum) {
    locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    std::string text = strerror_l(errnum, c);
    freelocale(c);
    return text;
}

TEST(DanishReason, NoUsualReasonIsTheSystemsEnglishText) {
    std::set<std::string> own;
    for (int errnum : kUsual) {
        SCOPED_TRACE(errnum);
        const std::string english = englishReason(errnum);
        EXPECT_NE(danishReason(errnum), english);
        const std::string mine = ownDanishReason(errnum);
        EXPECT_FALSE(mine.empty());
        EXPECT_NE(mine, english);
        own.insert(mine);
    }
    EXPECT_EQ(own.size(), std::size(kUsual));  // no two errors worded alike
}

TEST(DanishReason, AnyOtherNumberStillGetsADanishText) {
    EXPECT_EQ(ownDanishReason(99999), "");
    const std::string reason = danishReason(99999);
    EXPECT_NE(reason.find("99999"), std::string::npos);
    EXPECT_EQ(reason.find("Unknown"), std::string::npos);
}

TEST(DanishReason, SystemErrorJoinsWhatAndWhyAndKeepsTheNumber) {
    const Error error = systemError(ENOENT, "Filen kan ikke åbnes");
    EXPECT_EQ(error.number(), errnum::FileNotFound);
    EXPECT_EQ(error.description(), "Filen kan ikke åbnes: " + danishReason(ENOENT));
    EXPECT_EQ(systemError(EACCES, "x").number(), errnum::PermissionDenied);
}

}  // namespace
}  // namespace pravelo::platform::posix
