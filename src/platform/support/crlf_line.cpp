#include "platform/support/crlf_line.h"

namespace pravelo::platform {

std::string crlfLine(std::string_view encoded) {
    std::string bytes;
    bytes.reserve(encoded.size() + 2);
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\n' && (i == 0 || encoded[i - 1] != '\r')) bytes.push_back('\r');
        bytes.push_back(encoded[i]);
    }
    bytes += "\r\n";
    return bytes;
}

}  // namespace pravelo::platform
