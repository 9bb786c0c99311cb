#pragma once

#include <filesystem>
#include <string>

// What the office benchmarks set up alike: whole files, and a user profile
// whose "My Macros" hold the one macro they run.
namespace pravelo::bench {

void writeFile(const std::filesystem::path& path, const std::string& text);
std::string readFile(const std::filesystem::path& path);

// A user profile folder whose Standard library has Module1 with InsertText,
// which puts "EDITED " at the start of the document.
void writeMacroProfile(const std::filesystem::path& user);

}  // namespace pravelo::bench
