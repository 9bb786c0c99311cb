#pragma once

#include <string>

namespace pravelo::word_engine {

// The text with every control character written as a visible escape ("\n",
// "\r", "\t", "\x1B", "\u0085", "\u2028"), so a file name or an office message
// can never break or forge a line of the run log or the error list.
std::string EscapeControls(const std::string& text);

}  // namespace pravelo::word_engine
