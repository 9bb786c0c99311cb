#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <vector>

#include "platform/support/buffered_text_input.h"
#include "platform/support/crlf_line.h"
#include "platform/win32/system_error.h"
#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

namespace {

std::string quoted(const std::string& path) {
    return "\"" + path + "\"";
}

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    // Closes now, so a failure to flush is seen; true when it went well.
    bool close() {
        const bool ok = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE handle_;
};

// Only ordinary files: a folder or a device would hang or fail later in odd ways.
HANDLE openOrdinary(const std::string& path, DWORD access, DWORD disposition,
                    const std::string& what) {
    if (path.empty()) throw Error(errnum::PathNotFound, what + ": intet filnavn");
    const std::wstring name = toWide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw Error(errnum::FileAccess, what + " " + quoted(path) + ": det er en mappe");
    }
    const HANDLE handle = CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        throw Error(errnumFor(code), what + " " + quoted(path) + ": " + danishReason(code));
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        throw Error(errnum::FileAccess, what + " " + quoted(path) + ": ikke en almindelig fil");
    }
    return handle;
}

class Win32TextInput : public BufferedTextInput {
  public:
    Win32TextInput(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}

  private:
    std::size_t fill(char* data, std::size_t size) override {
        DWORD count = 0;
        if (!ReadFile(handle_.get(), data, static_cast<DWORD>(size), &count, nullptr)) {
            const DWORD code = GetLastError();
            throw Error(errnumFor(code),
                        "Filen " + quoted(path_) + " kan ikke læses: " + danishReason(code));
        }
        return count;
    }

    std::string decode(const std::string& raw) override { return ansiToUtf8(raw); }

    Handle handle_;
    std::string path_;
};

}  // namespace

std::unique_ptr<TextInput> Win32FileSystem::openForInput(const std::string& path) {
    const HANDLE handle = openOrdinary(path, GENERIC_READ, OPEN_EXISTING, "Filen kan ikke åbnes");
    return std::make_unique<Win32TextInput>(handle, path);
}

void Win32FileSystem::appendLine(const std::string& path, const std::string& text) {
    // Converted before the CR LF pass, so a lone LF that came in as UTF-8 is caught too.
    const std::string bytes = crlfLine(utf8ToAnsi(text));

    const std::string what = "Der kan ikke skrives til filen";
    Handle file(openOrdinary(path, GENERIC_WRITE, OPEN_ALWAYS, what));
    LARGE_INTEGER before{};
    SetFilePointerEx(file.get(), LARGE_INTEGER{}, &before, FILE_END);
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        const DWORD code =
            written != bytes.size() && GetLastError() == 0 ? ERROR_DISK_FULL : GetLastError();
        // A half line (disk full) would run into the next line appended.
        SetFilePointerEx(file.get(), before, nullptr, FILE_BEGIN);
        SetEndOfFile(file.get());
        throw Error(errnumFor(code), what + " " + quoted(path) + ": " + danishReason(code));
    }
    if (!file.close()) {
        const DWORD code = GetLastError();
        throw Error(errnumFor(code), what + " " + quoted(path) + ": " + danishReason(code));
    }
}

bool Win32FileSystem::isOrdinaryFile(const std::string& path) {
    if (path.empty() || path.back() == '\\' || path.back() == '/') return false;
    const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    constexpr DWORD excluded =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributes & excluded) == 0;
}

// Rights come from ACLs, and a folder's read-only flag means nothing for
// writing into it, so only trying tells: a hidden file that goes when closed.
bool Win32FileSystem::folderWritable(const std::string& folder) {
    if (folder.empty()) return false;
    std::wstring probe = toWide(folder);
    if (probe.back() != L'\\' && probe.back() != L'/') probe += L'\\';
    probe += L"~pravelo-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(GetTickCount64()) + L".tmp";
    const HANDLE handle = CreateFileW(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

void Win32FileSystem::createFolder(const std::string& folder) {
    const std::string what = "Mappen kan ikke oprettes";
    if (folder.empty()) throw Error(errnum::PathNotFound, what + ": intet mappenavn");
    const std::wstring name = toWide(folder);
    // A drive (C:) or a share (\\server\share) is there or not: only the folders
    // below it are made.
    std::size_t end = name.size() >= 2 && name[1] == L':' ? 2 : 0;
    if (name.rfind(L"\\\\", 0) == 0) {
        end = name.find_first_of(L"\\/", 2);
        if (end != std::wstring::npos) end = name.find_first_of(L"\\/", end + 1);
    }
    while (end != std::wstring::npos) {
        end = name.find_first_of(L"\\/", end + 1);
        const std::wstring step = name.substr(0, end);
        if (step.back() == L'\\' || step.back() == L'/') continue;
        if (CreateDirectoryW(step.c_str(), nullptr)) continue;
        const DWORD code = GetLastError();
        const DWORD attributes = GetFileAttributesW(step.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            continue;
        }
        throw Error(errnumFor(code), what + " " + quoted(folder) + ": " + danishReason(code));
    }
}

void Win32FileSystem::copyFile(const std::string& from, const std::string& to) {
    if (!CopyFileW(toWide(from).c_str(), toWide(to).c_str(), TRUE)) {
        const DWORD code = GetLastError();
        throw Error(errnumFor(code), "Filen " + quoted(from) + " kan ikke kopieres til " +
                                         quoted(to) + ": " + danishReason(code));
    }
}

}  // namespace pravelo::platform::win32
