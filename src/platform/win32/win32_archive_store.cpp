#include "platform/win32/win32_archive_store.h"

#include <shlobj.h>
#include <windows.h>

#include <array>

#include "platform/error.h"
#include "platform/support/sha256.h"
#include "platform/win32/system_error.h"
#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

namespace {

constexpr std::uint64_t EpochTicks = 116444736000000000ULL;  // 1601 to 1970 in 100 ns

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

HANDLE openRead(const std::string& path) {
    return CreateFileW(toWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Reads all of from, hashing it, and writes it to to when given; the error or 0.
DWORD pass(HANDLE from, HANDLE to, Sha256& digest) {
    std::array<char, 65536> buffer;
    while (true) {
        DWORD got = 0;
        if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return GetLastError();
        if (got == 0) return 0;
        digest.add(buffer.data(), got);
        DWORD put = 0;
        if (to != INVALID_HANDLE_VALUE &&
            (!WriteFile(to, buffer.data(), got, &put, nullptr) || put != got))
            return GetLastError();
    }
}

FileFacts factsOf(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info))
        throw systemError(GetLastError(), "Filen kan ikke læses");
    FileFacts facts;
    facts.size = (std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    facts.identity =
        std::to_string(info.dwVolumeSerialNumber) + ":" +
        std::to_string((std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
    facts.mode = std::to_string(info.dwFileAttributes);
    const std::uint64_t ticks = (std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                info.ftLastWriteTime.dwLowDateTime;
    if (ticks >= EpochTicks) {
        const std::uint64_t since = ticks - EpochTicks;
        facts.modified =
            std::to_string(since / 10000000) + "." + std::to_string((since % 10000000) * 100);
    }
    facts.links = std::to_string(info.nNumberOfLinks);
    return facts;
}

// Writes from's content over to's and cuts to's rest off, flushed; the error or 0.
DWORD overwrite(HANDLE from, HANDLE to) {
    Sha256 ignored;
    if (SetFilePointer(to, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return GetLastError();
    if (const DWORD err = pass(from, to, ignored); err != 0) return err;
    if (!SetEndOfFile(to) || !FlushFileBuffers(to)) return GetLastError();
    return 0;
}

void copyInto(const std::string& from, const std::string& to, const std::string& what) {
    Handle source(openRead(from));
    if (!source) throw systemError(GetLastError(), what);
    Handle target(CreateFileW(toWide(to).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target) throw systemError(GetLastError(), what);
    if (const DWORD err = overwrite(source.get(), target.get()); err != 0)
        throw systemError(err, what);
}

}  // namespace

std::string Win32ArchiveStore::archiveFolder() const {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path);
    std::string folder;
    if (SUCCEEDED(result)) folder = fromWide(path);
    CoTaskMemFree(path);
    if (folder.empty())
        throw systemError(static_cast<DWORD>(result),
                          "Brugerens lokale programdata-mappe kan "
                          "ikke findes");
    return folder + "\\Pravelo\\Kørsler";
}

void Win32ArchiveStore::createFolder(const std::string& folder) {
    const int result = SHCreateDirectoryExW(nullptr, toWide(folder).c_str(), nullptr);
    if (result != ERROR_SUCCESS && result != ERROR_ALREADY_EXISTS && result != ERROR_FILE_EXISTS)
        throw systemError(static_cast<DWORD>(result), "Mappen " + folder + " kan ikke oprettes");
    const DWORD attributes = GetFileAttributesW(toWide(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw Error(errnum::PathNotFound, "Mappen " + folder + " kan ikke oprettes");
}

std::vector<std::string> Win32ArchiveStore::subfolders(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(toWide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            names.push_back(fromWide(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::uint64_t Win32ArchiveStore::folderBytes(const std::string& folder) {
    std::uint64_t total = 0;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(toWide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            total += folderBytes(folder + "\\" + fromWide(name));
        else
            total += (std::uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return total;
}

void Win32ArchiveStore::removeFolder(const std::string& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(toWide(folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::string path = folder + "\\" + fromWide(name);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeFolder(path);
            else
                removeFile(path);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    if (!RemoveDirectoryW(toWide(folder).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        throw systemError(GetLastError(), "Mappen " + folder + " kan ikke fjernes");
}

void Win32ArchiveStore::removeFile(const std::string& path) {
    if (!DeleteFileW(toWide(path).c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        throw systemError(GetLastError(), "Filen " + path + " kan ikke fjernes");
}

FileFacts Win32ArchiveStore::keepCopy(const std::string& document, const std::string& copy) {
    Handle from(openRead(document));
    if (!from) throw systemError(GetLastError(), "Dokumentet kan ikke læses");
    FileFacts facts = factsOf(from.get());
    Handle to(CreateFileW(toWide(copy).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!to) throw systemError(GetLastError(), "Kopien kan ikke oprettes");
    Sha256 digest;
    DWORD err = pass(from.get(), to.get(), digest);
    if (err == 0 && !FlushFileBuffers(to.get())) err = GetLastError();
    if (err != 0) {
        CloseHandle(to.get());
        DeleteFileW(toWide(copy).c_str());
        throw systemError(err, "Kopien kan ikke skrives");
    }
    facts.digest = digest.hex();
    return facts;
}

std::optional<FileFacts> Win32ArchiveStore::facts(const std::string& path) {
    Handle file(openRead(path));
    if (!file) {
        const DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return std::nullopt;
        throw systemError(err, "Filen " + path + " kan ikke læses");
    }
    FileFacts facts = factsOf(file.get());
    Sha256 digest;
    if (const DWORD err = pass(file.get(), INVALID_HANDLE_VALUE, digest); err != 0)
        throw systemError(err, "Filen " + path + " kan ikke læses");
    facts.digest = digest.hex();
    return facts;
}

void Win32ArchiveStore::writeText(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".ny";
    {
        Handle out(CreateFileW(toWide(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD put = 0;
        if (!out ||
            !WriteFile(out.get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr) ||
            put != text.size() || !FlushFileBuffers(out.get()))
            throw systemError(GetLastError(), "Filen " + path + " kan ikke skrives");
    }
    if (!MoveFileExW(toWide(temporary).c_str(), toWide(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw systemError(GetLastError(), "Filen " + path + " kan ikke skrives");
}

std::optional<std::string> Win32ArchiveStore::readText(const std::string& path) {
    Handle in(openRead(path));
    if (!in) {
        const DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return std::nullopt;
        throw systemError(err, "Filen " + path + " kan ikke læses");
    }
    std::string text;
    std::array<char, 65536> buffer;
    DWORD got = 0;
    while (ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) &&
           got > 0)
        text.append(buffer.data(), got);
    return text;
}

void Win32ArchiveStore::putBack(const std::string& copy, const std::string& document,
                                const std::string& modified, const std::string& journalFolder) {
    const std::string what = "Dokumentet " + document + " kan ikke skrives tilbage";
    const std::string safety = journalFolder + "\\fortryd.bak";
    const std::string journal = journalFolder + "\\rewrite";
    removeFile(safety);
    {
        Handle current(openRead(document));
        if (!current) throw systemError(GetLastError(), what);
        Handle aside(CreateFileW(toWide(safety).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!aside) throw systemError(GetLastError(), what);
        Sha256 ignored;
        if (const DWORD err = pass(current.get(), aside.get(), ignored); err != 0)
            throw systemError(err, what);
        if (!FlushFileBuffers(aside.get())) throw systemError(GetLastError(), what);
    }
    writeText(journal, safety + "\t" + document + "\n");
    try {
        copyInto(copy, document, what);
    } catch (const Error&) {
        finishInterrupted(journalFolder);
        throw;
    }
    const auto dot = modified.find('.');
    if (dot != std::string::npos) {
        const std::uint64_t ticks = std::stoull(modified.substr(0, dot)) * 10000000 +
                                    std::stoull(modified.substr(dot + 1)) / 100 + EpochTicks;
        FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        Handle file(CreateFileW(toWide(document).c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) SetFileTime(file.get(), nullptr, nullptr, &time);
    }
    removeFile(journal);
    removeFile(safety);
}

bool Win32ArchiveStore::finishInterrupted(const std::string& journalFolder) {
    const std::string journal = journalFolder + "\\rewrite";
    const auto text = readText(journal);
    if (!text) return true;
    const auto tab = text->find('\t');
    const auto end = text->find('\n');
    if (tab != std::string::npos && end != std::string::npos) {
        try {
            copyInto(text->substr(0, tab), text->substr(tab + 1, end - tab - 1),
                     "Afbrudt fortrydelse");
        } catch (const Error&) {
            return false;
        }
        removeFile(text->substr(0, tab));
    }
    removeFile(journal);
    return true;
}

}  // namespace pravelo::platform::win32
