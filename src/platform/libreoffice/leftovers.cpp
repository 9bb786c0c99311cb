#include "platform/libreoffice/leftovers.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/libreoffice/files/document_file.h"
#include "platform/libreoffice/host/profile_view.h"
#include "platform/libreoffice/private_profile.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {
namespace {

constexpr const char* ProfilePrefix = "pravelo-office-";

// Field 22 of /proc/PID/stat: with the pid, it names one process for good.
std::string startTime(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos) return {};
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    return field;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void killOfficesOn(const fs::path& profile) {
    const std::string marker = "-env:UserInstallation=" + fileUrl(profile);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        struct stat st {};
        if (::stat(entry.path().c_str(), &st) != 0 || st.st_uid != ::getuid()) continue;
        std::string cmdline = readFile(entry.path() / "cmdline");
        for (auto& c : cmdline)
            if (c == '\0') c = ' ';
        if (cmdline.find(marker) != std::string::npos) ::kill(std::stoi(name), SIGKILL);
    }
}

}  // namespace

void journalRewrite(const fs::path& folder, const std::string& copy, const std::string& target) {
    std::ofstream(folder / "rewrite") << copy << '\t' << target << '\n';
}

void journalRewriteDone(const fs::path& folder) {
    std::error_code ignored;
    fs::remove(folder / "rewrite", ignored);
}

void journalLockFile(const fs::path& folder, const fs::path& lockFile) {
    std::ofstream(folder / "locks", std::ios::app) << lockFile.string() << '\n';
}

void undoUnfinished(const fs::path& folder, bool locks) {
    std::istringstream rewrite(readFile(folder / "rewrite"));
    std::string copy, target;
    if (std::getline(rewrite, copy, '\t') && std::getline(rewrite, target))
        restoreFromSafetyCopy(copy, target);
    if (!locks) return;
    std::istringstream list(readFile(folder / "locks"));
    std::error_code ignored;
    for (std::string lock; std::getline(list, lock);) fs::remove(lock, ignored);
}

bool finishRewrite(const fs::path& folder) {
    if (!fs::exists(folder / "rewrite")) return true;
    std::istringstream rewrite(readFile(folder / "rewrite"));
    std::string copy, target;
    if (std::getline(rewrite, copy, '\t') && std::getline(rewrite, target) &&
        !restoreFromSafetyCopy(copy, target)) {
        return false;
    }
    journalRewriteDone(folder);
    return true;
}

void markOwner(const fs::path& profile) {
    std::ofstream(profile / "owner") << ::getpid() << ' ' << startTime(::getpid()) << '\n';
}

bool ownerAlive(const fs::path& profile) {
    std::istringstream owner(readFile(profile / "owner"));
    pid_t pid = 0;
    std::string started;
    // A profile still being made has no mark yet: leave it be.
    if (!(owner >> pid >> started)) return fs::exists(profile);
    return startTime(pid) == started;
}

void sweepLeftovers(const fs::path& tempFolder) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(tempFolder, ec)) {
        const fs::path profile = entry.path();
        struct stat st {};
        if (!profile.filename().string().starts_with(ProfilePrefix) ||
            ::lstat(profile.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
            !fs::exists(profile / "owner") || ownerAlive(profile)) {
            continue;
        }
        killOfficesOn(profile);
        undoUnfinished(profile, false);
        // The forks of an office host that was killed too.
        for (const auto& fork : fs::directory_iterator(profile / "forks", ec))
            undoUnfinished(fork.path(), true);
        std::istringstream sockets(readFile(profile / "sockets"));
        std::error_code ignored;
        for (std::string socket; std::getline(sockets, socket);) fs::remove(socket, ignored);
        removeTree(profile);
    }
}

bool staleOwnLock(const fs::path& lockFile, const fs::path& tempFolder) {
    // "name,host,user,date,profile URL;" as the office writes it.
    const std::string text = readFile(lockFile);
    const std::string prefix = fileUrl(tempFolder / ProfilePrefix);
    const auto at = text.find(prefix);
    if (at == std::string::npos) return false;
    const auto from = at + prefix.size();
    const auto end = text.find_first_of("/;,\r\n", from);
    const std::string name = ProfilePrefix + text.substr(from, end - from);
    const fs::path profile = tempFolder / name;
    return !fs::exists(profile) || !ownerAlive(profile);
}

}  // namespace pravelo::platform::libreoffice
