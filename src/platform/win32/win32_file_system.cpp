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

}  // namespace pravelo::platform::win32
