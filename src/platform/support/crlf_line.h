#pragma once

#include <string>
#include <string_view>

namespace pravelo::platform {

// One line of a text file, already in the file's code page: a lone LF inside
// becomes CR LF, so every editor shows the break, and CR LF ends the line.
std::string crlfLine(std::string_view encoded);

}  // namespace pravelo::platform
