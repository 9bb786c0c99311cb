#include "word_engine/log_escape.h"

#include <cstdio>

namespace pravelo::word_engine {

namespace {

std::string hexEscape(const char* format, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

std::string EscapeControls(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = [&](std::size_t n) {
            return i + n < text.size() ? static_cast<unsigned char>(text[i + n]) : 0u;
        };
        if (byte == '\n') {
            result += "\\n";
        } else if (byte == '\r') {
            result += "\\r";
        } else if (byte == '\t') {
            result += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            result += hexEscape("\\x%02X", byte);
        } else if (byte == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) {
            // C1 controls; U+0085 is a line break to some readers.
            result += hexEscape("\\u%04X", next(1));
            ++i;
        } else if (byte == 0xE2 && next(1) == 0x80 && (next(2) == 0xA8 || next(2) == 0xA9)) {
            // Line and paragraph separators break lines in the window's text boxes.
            result += hexEscape("\\u%04X", 0x2000u + next(2) - 0x80u);
            i += 2;
        } else {
            result += static_cast<char>(byte);
        }
    }
    return result;
}

}  // namespace pravelo::word_engine
