#include "platform/support/buffered_text_input.h"

#include "platform/error.h"

namespace pravelo::platform {

std::string BufferedTextInput::readLine(std::size_t maxBytes) {
    if (!available()) throw Error(errnum::InputPastEnd, "Læsning forbi slutningen af filen");
    std::string raw;
    while (available()) {
        const char* begin = buffer_.data() + position_;
        const char* end = buffer_.data() + length_;
        const std::size_t room = maxBytes - raw.size();
        if (static_cast<std::size_t>(end - begin) > room) end = begin + room;
        const char* stop = begin;
        while (stop != end && *stop != '\r' && *stop != '\n') ++stop;
        raw.append(begin, stop);
        position_ += static_cast<std::size_t>(stop - begin);
        if (stop != end) {
            skipLineEnd();
            break;
        }
        if (raw.size() >= maxBytes) {
            // A line exactly maxBytes long is one line, not one and an empty one.
            if (available() && (buffer_[position_] == '\r' || buffer_[position_] == '\n'))
                skipLineEnd();
            break;
        }
    }
    return decode(raw);
}

void BufferedTextInput::skipLineEnd() {
    const char terminator = buffer_[position_];
    ++position_;
    if (terminator == '\r' && available() && buffer_[position_] == '\n') ++position_;
}

bool BufferedTextInput::available() {
    if (position_ < length_) return true;
    if (endReached_) return false;
    const std::size_t count = fill(buffer_.data(), buffer_.size());
    position_ = 0;
    length_ = count;
    endReached_ = count == 0;
    return count > 0;
}

}  // namespace pravelo::platform
