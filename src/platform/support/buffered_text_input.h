#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace pravelo::platform {

// Line splitting over a byte source read in blocks: CR, LF or CR LF end a
// line, and no line is ever held longer than asked for.
class BufferedTextInput : public TextInput {
  public:
    bool atEnd() override { return !available(); }
    std::string readLine(std::size_t maxBytes) override;

  protected:
    BufferedTextInput() : buffer_(64 * 1024) {}
    // Reads up to size bytes into data; 0 at the end. Throws Error.
    virtual std::size_t fill(char* data, std::size_t size) = 0;
    // The line's bytes as UTF-8.
    virtual std::string decode(const std::string& raw) = 0;

  private:
    // At a CR, LF or CR LF: steps over it.
    void skipLineEnd();
    // True when at least one unread byte is in the buffer, refilling it if needed.
    bool available();

    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t length_ = 0;
    bool endReached_ = false;
};

}  // namespace pravelo::platform
