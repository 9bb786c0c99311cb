#pragma once

#include <string>
#include <vector>

namespace pravelo::command_line {

struct FoundDocuments {
    // Absolute paths, each document once, in the order the paths were given;
    // a folder's documents sorted by name, before those of its subfolders.
    std::vector<std::string> documents;
    // Empty when every path could be read; otherwise the Danish reason.
    std::string error;
};

// Paths are UTF-8. A path naming a file is taken whatever its name; a folder
// gives its ordinary, not hidden files whose names match one of the patterns.
// Subfolders are searched only when asked, and never through a symbolic link,
// so a search cannot leave the tree or go round in a loop.
FoundDocuments FindDocuments(const std::vector<std::string>& paths,
                             const std::vector<std::string>& patterns, bool subfolders);

// A file-name pattern with * and ?, ignoring case (also of æ, ø, å and the other
// Latin-1 letters); "*.*" matches every name, as in the window's file list.
bool MatchesPattern(const std::string& name, const std::string& pattern);

}  // namespace pravelo::command_line
