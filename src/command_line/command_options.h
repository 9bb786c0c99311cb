#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pravelo::command_line {

// What the command line asked for.
struct CommandOptions {
    std::string macro;
    // Empty: the patterns of the settings file.
    std::vector<std::string> patterns;
    bool subfolders = false;
    std::string report;
    std::optional<int> concurrent;
    bool help = false;
    bool undo = false;
    std::vector<std::string> paths;
};

struct ParsedCommand {
    CommandOptions options;
    // Empty when the arguments make sense; otherwise the Danish reason.
    std::string error;
};

// The arguments after the program's name. Options may come anywhere, as
// "--navn VÆRDI" or "--navn=VÆRDI"; "--" ends them.
ParsedCommand ParseCommandLine(const std::vector<std::string>& arguments);

// "*.doc;*.dot" -> {"*.doc", "*.dot"}; blanks around each pattern and empty ones go.
std::vector<std::string> SplitPatterns(const std::string& text);

// The help text of --hjaelp and --help.
std::string UsageText();

inline constexpr int kMaxConcurrent = 16;

}  // namespace pravelo::command_line
