#pragma once

#include <optional>
#include <string>
#include <string_view>

// The guard's line protocol, spoken by the guard program and by its client:
// requests on the guard's input and answers on its output, one a line, each a
// word and, for some, one blank and a text.
namespace pravelo::platform::libreoffice::guard_protocol {

// Requests.
inline constexpr std::string_view Kill = "kill";        // end the office now
inline constexpr std::string_view Lock = "lock";        // PATH: a lock file the office made
inline constexpr std::string_view Safe = "safe";        // COPY<TAB>FILE: FILE is being rewritten
inline constexpr std::string_view Saved = "saved";      // the rewrite is complete
inline constexpr std::string_view Profile = "profile";  // DIR: as --profile

// Answers.
inline constexpr std::string_view Started = "started";  // PID
inline constexpr std::string_view Failed = "failed";    // TEXT
inline constexpr std::string_view Exit = "exit";        // STATUS: the first process ended
inline constexpr std::string_view Gone = "gone";        // nothing of the office is left

// Options on the guard's command line.
inline constexpr std::string_view ProfileOption = "--profile";
inline constexpr std::string_view RemoveOption = "--remove";

// The separator between the safety copy and the file in a Safe request.
inline constexpr char RewriteSeparator = '\t';

// One line, without its line end.
inline std::string line(std::string_view word, std::string_view text) {
    return std::string(word).append(" ").append(text);
}

// The text after word when the line is a word-and-text line of that word.
inline std::optional<std::string> textOf(std::string_view line, std::string_view word) {
    if (line.size() <= word.size() || !line.starts_with(word) || line[word.size()] != ' ')
        return std::nullopt;
    return std::string(line.substr(word.size() + 1));
}

}  // namespace pravelo::platform::libreoffice::guard_protocol
