#include "platform/posix/system_error.h"

#include <locale.h>

#include <cerrno>
#include <cstring>

namespace pravelo::platform::posix {

namespace {

constexpr auto kNoLocale = static_cast<locale_t>(0);

// Opened once and kept: strerror_l needs the locale for as long as its text is used.
locale_t localeNamed(const char* name) {
    return newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, name, kNoLocale);
}

// The system's Danish text, or "" where the system would answer in English
// (Danish not installed, or LANGUAGE asking for another language first).
std::string systemDanishReason(int errnum) {
    static const locale_t danish = localeNamed("da_DK.UTF-8");
    static const locale_t plain = localeNamed("C");
    if (danish == kNoLocale || plain == kNoLocale) return "";
    const std::string text = strerror_l(errnum, danish);
    if (text == strerror_l(errnum, plain)) return "";
    return text;
}

}  // namespace

std::string ownDanishReason(int errnum) {
    switch (errnum) {
        case EPERM:
            return "Handlingen er ikke tilladt";
        case ENOENT:
            return "Filen eller mappen findes ikke";
        case ESRCH:
            return "Processen findes ikke";
        case EINTR:
            return "Systemkaldet blev afbrudt";
        case EIO:
            return "Fejl ved læsning eller skrivning på enheden";
        case ENXIO:
            return "Enheden eller adressen findes ikke";
        case E2BIG:
            return "Argumentlisten er for lang";
        case ENOEXEC:
            return "Filen er ikke et program, der kan køres";
        case EBADF:
            return "Ugyldig filbeskriver";
        case ECHILD:
            return "Der er ingen underprocesser";
        case EAGAIN:
            return "Ressourcen er midlertidigt utilgængelig";
        case ENOMEM:
            return "Der er ikke nok hukommelse";
        case EACCES:
            return "Adgang nægtet";
        case EBUSY:
            return "Enheden eller ressourcen er optaget";
        case EEXIST:
            return "Filen findes allerede";
        case EXDEV:
            return "Kan ikke flyttes mellem to filsystemer";
        case ENODEV:
            return "Enheden findes ikke";
        case ENOTDIR:
            return "Ikke en mappe";
        case EISDIR:
            return "Er en mappe";
        case EINVAL:
            return "Ugyldigt argument";
        case ENFILE:
            return "Systemet har for mange åbne filer";
        case EMFILE:
            return "Programmet har for mange åbne filer";
        case ETXTBSY:
            return "Programfilen er i brug";
        case EFBIG:
            return "Filen er for stor";
        case ENOSPC:
            return "Der er ikke mere plads på enheden";
        case ESPIPE:
            return "Ugyldig søgning i filen";
        case EROFS:
            return "Filsystemet er skrivebeskyttet";
        case EMLINK:
            return "For mange henvisninger til filen";
        case EPIPE:
            return "Forbindelsen til den anden ende er brudt";
        case ENAMETOOLONG:
            return "Filnavnet er for langt";
        case ENOSYS:
            return "Funktionen findes ikke i systemet";
        case ENOTEMPTY:
            return "Mappen er ikke tom";
        case ELOOP:
            return "For mange niveauer af symbolske henvisninger";
        case ENOTSUP:
            return "Handlingen understøttes ikke";
        case EDQUOT:
            return "Diskkvoten er opbrugt";
        case ESTALE:
            return "Filhåndtaget er forældet";
        case ETIMEDOUT:
            return "Tidsfristen udløb";
        case ECONNREFUSED:
            return "Forbindelsen blev afvist";
        case ECONNRESET:
            return "Forbindelsen blev nulstillet";
        default:
            return "";
    }
}

std::string danishReason(int errnum) {
    if (std::string text = systemDanishReason(errnum); !text.empty()) return text;
    if (std::string text = ownDanishReason(errnum); !text.empty()) return text;
    return "Ukendt systemfejl nr. " + std::to_string(errnum);
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
    return Error(errnumFor(err), what + ": " + danishReason(err));
}

}  // namespace pravelo::platform::posix
