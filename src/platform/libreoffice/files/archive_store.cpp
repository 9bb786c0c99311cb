#include "platform/libreoffice/files/archive_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/error.h"
#include "platform/libreoffice/files/document_file.h"
#include "platform/libreoffice/leftovers.h"
#include "platform/posix/system_error.h"
#include "platform/posix/unique_fd.h"
#include "platform/support/sha256.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {

namespace {

using posix::Fd;
using posix::systemError;

FileFacts factsOf(const struct stat& st) {
    FileFacts facts;
    facts.size = static_cast<std::uint64_t>(st.st_size);
    facts.identity = std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    facts.owner = std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid);
    char mode[16];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    facts.mode = mode;
    facts.modified = std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
    facts.links = std::to_string(st.st_nlink);
    return facts;
}

// Reads all of from, hashing it and writing it to to when to is open; errno or 0.
int pass(int from, int to, Sha256& digest) {
    std::array<char, 65536> buffer;
    while (true) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return 0;
        digest.add(buffer.data(), static_cast<std::size_t>(got));
        for (ssize_t done = 0; to >= 0 && done < got;) {
            const ssize_t put = ::write(to, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) return errno;
            done += put;
        }
    }
}

void syncFolder(const fs::path& folder) {
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir && ::fsync(dir.get()) != 0) throw systemError(errno, "Mappen " + folder.string());
}

}  // namespace

std::string PosixArchiveStore::archiveFolder() const {
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
        base = data;
    } else {
        std::string home;
        if (const char* variable = std::getenv("HOME"); variable != nullptr && variable[0] == '/') {
            home = variable;
        } else if (const passwd* entry = ::getpwuid(::getuid());
                   entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') {
            home = entry->pw_dir;
        }
        if (home.empty())
            throw Error(errnum::PathNotFound, "Brugerens hjemmemappe kan ikke findes");
        while (home.size() > 1 && home.back() == '/') home.pop_back();
        base = (home == "/" ? "" : home) + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/Pravelo/Kørsler";
}

void PosixArchiveStore::createFolder(const std::string& folder) {
    std::string path;
    for (std::size_t at = 0; at != std::string::npos;) {
        at = folder.find('/', at + 1);
        path = folder.substr(0, at);
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
            throw systemError(errno, "Mappen " + path + " kan ikke oprettes");
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw Error(errnum::PathNotFound, "Mappen " + folder + " kan ikke oprettes");
}

std::vector<std::string> PosixArchiveStore::subfolders(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_directory(ec) && !entry.is_symlink(ec))
            names.push_back(entry.path().filename().string());
    }
    return names;
}

std::uint64_t PosixArchiveStore::folderBytes(const std::string& folder) {
    std::uint64_t total = 0;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec) && !entry.is_symlink(ec)) total += entry.file_size(ec);
    }
    return total;
}

void PosixArchiveStore::removeFolder(const std::string& folder) {
    std::error_code ec;
    fs::remove_all(folder, ec);
    if (ec) throw systemError(ec.value(), "Mappen " + folder + " kan ikke fjernes");
}

void PosixArchiveStore::removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw systemError(errno, "Filen " + path + " kan ikke fjernes");
}

FileFacts PosixArchiveStore::keepCopy(const std::string& document, const std::string& copy) {
    Fd from(::open(document.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!from) throw systemError(errno, "Dokumentet kan ikke læses");
    struct stat st {};
    if (::fstat(from.get(), &st) != 0) throw systemError(errno, "Dokumentet kan ikke læses");
    if (!S_ISREG(st.st_mode))
        throw Error(errnum::FileAccess, "Dokumentet er ikke en almindelig fil");
    Fd to(::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!to) throw systemError(errno, "Kopien kan ikke oprettes");
    Sha256 digest;
    int err = pass(from.get(), to.get(), digest);
    if (err == 0 && ::fsync(to.get()) != 0) err = errno;
    if (err != 0) {
        ::unlink(copy.c_str());
        throw systemError(err, "Kopien kan ikke skrives");
    }
    syncFolder(fs::path(copy).parent_path());
    FileFacts facts = factsOf(st);
    facts.digest = digest.hex();
    return facts;
}

std::optional<FileFacts> PosixArchiveStore::facts(const std::string& path) {
    Fd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file && (errno == ENOENT || errno == ENOTDIR)) return std::nullopt;
    if (!file) throw systemError(errno, "Filen " + path + " kan ikke læses");
    struct stat st {};
    if (::fstat(file.get(), &st) != 0)
        throw systemError(errno, "Filen " + path + " kan ikke læses");
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    Sha256 digest;
    if (const int err = pass(file.get(), -1, digest); err != 0)
        throw systemError(err, "Filen " + path + " kan ikke læses");
    FileFacts facts = factsOf(st);
    facts.digest = digest.hex();
    return facts;
}

void PosixArchiveStore::writeText(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".ny";
    {
        Fd out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (!out) throw systemError(errno, "Filen " + path + " kan ikke skrives");
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t put = ::write(out.get(), text.data() + done, text.size() - done);
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) throw systemError(errno, "Filen " + path + " kan ikke skrives");
            done += static_cast<std::size_t>(put);
        }
        if (::fsync(out.get()) != 0)
            throw systemError(errno, "Filen " + path + " kan ikke skrives");
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        throw systemError(errno, "Filen " + path + " kan ikke skrives");
    syncFolder(fs::path(path).parent_path());
}

std::optional<std::string> PosixArchiveStore::readText(const std::string& path) {
    Fd in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in && errno == ENOENT) return std::nullopt;
    if (!in) throw systemError(errno, "Filen " + path + " kan ikke læses");
    std::string text;
    std::array<char, 65536> buffer;
    while (true) {
        const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw systemError(errno, "Filen " + path + " kan ikke læses");
        if (got == 0) return text;
        text.append(buffer.data(), static_cast<std::size_t>(got));
    }
}

void PosixArchiveStore::putBack(const std::string& copy, const std::string& document,
                                const std::string& modified, const std::string& journalFolder) {
    const DocumentFile file = identifyDocument(document);
    const fs::path journal = journalFolder;
    rewriteInPlace(file, copy, journal,
                   {[&](const std::string& safety, const std::string& target) {
                        journalRewrite(journal, safety, target);
                    },
                    [&] { journalRewriteDone(journal); }});
    // The original's time too, so the document looks as it did before the run.
    const auto dot = modified.find('.');
    if (dot == std::string::npos) return;
    timespec times[2]{};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = std::atoll(modified.substr(0, dot).c_str());
    times[1].tv_nsec = std::atol(modified.substr(dot + 1).c_str());
    ::utimensat(AT_FDCWD, file.target.c_str(), times, 0);
}

bool PosixArchiveStore::finishInterrupted(const std::string& journalFolder) {
    return finishRewrite(journalFolder);
}

}  // namespace pravelo::platform::libreoffice
