#pragma once

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace pravelo::platform::win32 {

// Standard output or error as a stream of the program's UTF-8 text. On a
// console it is written as UTF-16 (WriteConsoleW), so æøå show whatever the
// console's code page; redirected to a file or a pipe it is converted to the
// console's output code page (the OEM one unless changed with chcp), which is
// what cmd and PowerShell decode a program's output with. Characters the code
// page lacks become "?". Callers serialize their writes.
class ConsoleOutput {
  public:
    enum class Which { Output, Error };
    explicit ConsoleOutput(Which which);
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    std::ostream& stream() { return stream_; }
    bool isConsole() const;
    // Cursor control ("\r\x1B[K") for a live line; false when it is not a
    // console or the console cannot do it.
    bool enableCursorControl();

  private:
    class Buffer;
    std::unique_ptr<Buffer> buffer_;
    std::ostream stream_;
};

// The complete UTF-8 characters at the front of text: a character cut at the
// end waits for the rest.
std::size_t wholeCharacters(const std::string& text);

}  // namespace pravelo::platform::win32
