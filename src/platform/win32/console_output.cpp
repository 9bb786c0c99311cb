#include "platform/win32/console_output.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

std::size_t wholeCharacters(const std::string& text) {
    // Back over continuation bytes to the last lead byte, if any is near.
    std::size_t at = text.size();
    for (std::size_t back = 0; back < 4 && at > 0; ++back) {
        const auto byte = static_cast<unsigned char>(text[at - 1]);
        if ((byte & 0xC0) != 0x80) {
            const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            return back + 1 >= length ? text.size() : at - 1;
        }
        --at;
    }
    return text.size();
}

class ConsoleOutput::Buffer : public std::streambuf {
  public:
    explicit Buffer(DWORD which) : handle_(GetStdHandle(which)) {
        DWORD mode = 0;
        console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE &&
                   GetConsoleMode(handle_, &mode) != 0;
        codePage_ = GetConsoleOutputCP();
        if (codePage_ == 0) codePage_ = GetOEMCP();
    }
    ~Buffer() override { write(true); }

    bool console() const { return console_; }
    HANDLE handle() const { return handle_; }

  protected:
    int_type overflow(int_type c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        pending_ += static_cast<char>(c);
        if (c == '\n') write(false);
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        if (std::memchr(text, '\n', static_cast<std::size_t>(count)) != nullptr) write(false);
        return count;
    }
    int sync() override {
        write(false);
        return 0;
    }

  private:
    void write(bool all) {
        const std::size_t whole = all ? pending_.size() : wholeCharacters(pending_);
        if (whole == 0 || handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) return;
        const std::string text = pending_.substr(0, whole);
        pending_.erase(0, whole);
        if (console_) {
            const std::wstring wide = toWide(text);
            DWORD written = 0;
            for (std::size_t from = 0; from < wide.size(); from += written) {
                if (WriteConsoleW(handle_, wide.data() + from,
                                  static_cast<DWORD>(wide.size() - from), &written, nullptr) == 0 ||
                    written == 0)
                    return;
            }
            return;
        }
        writeBytes(codePage_ == CP_UTF8 ? text : inCodePage(text));
    }

    std::string inCodePage(const std::string& text) const {
        const std::wstring wide = toWide(text);
        if (wide.empty()) return {};
        const int size = WideCharToMultiByte(
            codePage_, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
        std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
        WideCharToMultiByte(codePage_, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                            size, "?", nullptr);
        return bytes;
    }

    void writeBytes(const std::string& bytes) const {
        DWORD written = 0;
        for (std::size_t from = 0; from < bytes.size(); from += written) {
            if (WriteFile(handle_, bytes.data() + from, static_cast<DWORD>(bytes.size() - from),
                          &written, nullptr) == 0 ||
                written == 0)
                return;
        }
    }

    HANDLE handle_;
    bool console_ = false;
    UINT codePage_ = CP_UTF8;
    std::string pending_;
};

ConsoleOutput::ConsoleOutput(Which which)
    : buffer_(
          std::make_unique<Buffer>(which == Which::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE)),
      stream_(buffer_.get()) {}

ConsoleOutput::~ConsoleOutput() {
    stream_.flush();
}

bool ConsoleOutput::isConsole() const {
    return buffer_->console();
}

bool ConsoleOutput::enableCursorControl() {
    DWORD mode = 0;
    if (!buffer_->console() || GetConsoleMode(buffer_->handle(), &mode) == 0) return false;
    return SetConsoleMode(buffer_->handle(), mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace pravelo::platform::win32
