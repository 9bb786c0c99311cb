#include "platform/libreoffice/host/profile_view.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/libreoffice/host/user_rights.h"
#include "platform/posix/system_error.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {
namespace {

bool writeFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return written;
}

// Overlay options separate with commas and colons; such paths cannot be said.
bool sayable(const fs::path& path) {
    return path.string().find_first_of(",:\\") == std::string::npos;
}

}  // namespace

std::string profileViewName(ProfileView view) {
    switch (view) {
        case ProfileView::Overlay:
            return "overlay";
        case ProfileView::UserOverlay:
            return "userns";
        case ProfileView::Copy:
            break;
    }
    return "copy";
}

std::string enterOverlay(const fs::path& profile, const fs::path& forkFolder, ProfileView view) {
    const fs::path upper = forkFolder / "upper";
    const fs::path work = forkFolder / "work";
    if (!sayable(profile) || !sayable(forkFolder))
        return "stien kan ikke bruges til en overlejring";
    std::error_code ec;
    fs::create_directories(upper, ec);
    fs::create_directories(work, ec);
    if (ec) return posix::danishReason(ec.value());
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    const std::uint64_t userRights = heldCapabilities();
    if (view == ProfileView::Overlay) {
        if (::unshare(CLONE_NEWNS) != 0) return posix::danishReason(errno);
    } else {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return posix::danishReason(errno);
        if (!writeFile("/proc/self/setgroups", "deny") ||
            !writeFile("/proc/self/uid_map",
                       std::to_string(uid) + " " + std::to_string(uid) + " 1") ||
            !writeFile("/proc/self/gid_map",
                       std::to_string(gid) + " " + std::to_string(gid) + " 1"))
            return posix::danishReason(errno);
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return posix::danishReason(errno);
    const std::string options = "lowerdir=" + profile.string() + ",upperdir=" + upper.string() +
                                ",workdir=" + work.string();
    if (::mount("overlay", profile.c_str(), "overlay", 0, options.c_str()) != 0)
        return posix::danishReason(errno);
    return keepOnlyUserRights(userRights);
}

ProfileView chooseProfileView(const std::string& wanted, const fs::path& root) {
    if (wanted == "copy") return ProfileView::Copy;
    const ProfileView view = wanted == "userns"    ? ProfileView::UserOverlay
                             : wanted == "overlay" ? ProfileView::Overlay
                             : ::geteuid() == 0    ? ProfileView::Overlay
                                                   : ProfileView::UserOverlay;
    const fs::path probe = root / "probe";
    std::error_code ec;
    fs::create_directories(probe / "lower", ec);
    if (ec) return ProfileView::Copy;
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(enterOverlay(probe / "lower", probe, view).empty() ? 0 : 1);
    int status = 1;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    removeTree(probe);
    return pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? view : ProfileView::Copy;
}

void restoreProfile(const fs::path& snapshot, const fs::path& profile, std::error_code& ec) {
    fs::remove_all(profile, ec);
    if (!ec) fs::copy(snapshot, profile, fs::copy_options::recursive, ec);
}

void removeTree(const fs::path& folder) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(
             folder, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::end(it); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    // Directories the walk could not enter before their permission came back.
    fs::permissions(folder / "work" / "work", fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(folder, ec);
}

}  // namespace pravelo::platform::libreoffice
