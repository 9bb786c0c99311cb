#include "platform/posix/posix_machine.h"

#include <iconv.h>
#include <langinfo.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/posix/system_error.h"

namespace pravelo::platform::posix {

namespace {

locale_t openLocale(const std::string& name) {
    constexpr auto none = static_cast<locale_t>(0);
    locale_t locale = newlocale(LC_ALL_MASK, name.c_str(), none);
    // LC_ALL fails when any one category names a missing locale; the time
    // category alone may still be there.
    if (locale == none) locale = newlocale(LC_TIME_MASK, name.c_str(), none);
    if (locale == none) locale = newlocale(LC_ALL_MASK, "C", none);
    return locale;
}

}  // namespace

PosixMachine::PosixMachine(Clock clock, const std::string& localeName)
    : clock_(std::move(clock)), locale_(openLocale(localeName)) {}

PosixMachine::~PosixMachine() {
    if (locale_ != static_cast<locale_t>(0)) freelocale(locale_);
}

PosixMachine::Clock PosixMachine::systemClock() {
    return [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return local;
    };
}

std::string PosixMachine::executableFolder() const {
    std::vector<char> buffer(256);
    ssize_t length;
    while ((length = readlink("/proc/self/exe", buffer.data(), buffer.size())) ==
           static_cast<ssize_t>(buffer.size())) {
        buffer.resize(buffer.size() * 2);
    }
    if (length < 0) throw systemError(errno, "Programmets mappe kan ikke findes");
    std::string_view path(buffer.data(), static_cast<std::size_t>(length));
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) path.remove_suffix(deleted.size());
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos || slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string PosixMachine::workingFolder() const {
    std::vector<char> buffer(256);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) throw systemError(errno, "Den aktuelle mappe kan ikke læses");
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string PosixMachine::userSettingsFolder() const {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return config;
    std::string home;
    if (const char* variable = std::getenv("HOME"); variable != nullptr && variable[0] == '/') {
        home = variable;
    } else {
        std::vector<char> buffer(4096);
        passwd entry{};
        passwd* found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
            found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
            home = found->pw_dir;
        }
    }
    if (home.empty()) {
        throw Error(errnum::PathNotFound, "Brugerens hjemmemappe kan ikke findes");
    }
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    return (home == "/" ? "" : home) + "/.config";
}

std::string PosixMachine::format(const std::tm& time, const char* pattern) const {
    if (*pattern == '\0') return "";
    std::vector<char> buffer(64);
    for (;;) {
        const std::size_t length =
            strftime_l(buffer.data(), buffer.size(), pattern, &time, locale_);
        if (length > 0) return toUtf8(std::string(buffer.data(), length));
        // 0 means too small (or an empty result, which no date format gives).
        if (buffer.size() >= 4096) return "";
        buffer.resize(buffer.size() * 4);
    }
}

// strftime writes in the locale's own character set; the program's texts are UTF-8.
std::string PosixMachine::toUtf8(std::string text) const {
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    const std::string codeset = nl_langinfo_l(CODESET, locale_);
    if (ascii || codeset == "UTF-8") return text;
    iconv_t converter = iconv_open("UTF-8", codeset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return text;
    std::string out(text.size() * 4, '\0');
    char* in = text.data();
    std::size_t inLeft = text.size();
    char* put = out.data();
    std::size_t outLeft = out.size();
    const bool ok = iconv(converter, &in, &inLeft, &put, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    if (!ok) return text;
    out.resize(out.size() - outLeft);
    return out;
}

std::string PosixMachine::dateText(const std::tm& time) const {
    return format(time, nl_langinfo_l(D_FMT, locale_));
}

std::string PosixMachine::timeText(const std::tm& time) const {
    return format(time, nl_langinfo_l(T_FMT, locale_));
}

std::string PosixMachine::shortDate() const {
    return dateText(clock_());
}

std::string PosixMachine::longTime() const {
    return timeText(clock_());
}

std::string PosixMachine::defaultDateTime() const {
    // One reading for both halves, so date and time belong to the same instant.
    const std::tm now = clock_();
    if (now.tm_hour == 0 && now.tm_min == 0 && now.tm_sec == 0) return dateText(now);
    return dateText(now) + " " + timeText(now);
}

std::string PosixMachine::fileDateTime() const {
    const std::tm now = clock_();
    return dateText(now) + ", " + timeText(now);
}

}  // namespace pravelo::platform::posix
