#include "command_line/document_finder.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace pravelo::command_line {

namespace fs = std::filesystem;

namespace {

// std::filesystem takes narrow strings in the system's code page on Windows; ours are UTF-8.
fs::path toPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string fromPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Case folding of ASCII and of the two-byte Latin-1 capitals (À-Þ without ×).
std::string folded(const std::string& text) {
    std::string result = text;
    for (std::size_t i = 0; i < result.size(); ++i) {
        auto& byte = reinterpret_cast<unsigned char&>(result[i]);
        if (byte >= 'A' && byte <= 'Z') {
            byte = static_cast<unsigned char>(byte + 32);
        } else if (byte == 0xC3 && i + 1 < result.size()) {
            auto& next = reinterpret_cast<unsigned char&>(result[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                next = static_cast<unsigned char>(next + 32);
            ++i;
        }
    }
    return result;
}

// Classic wildcard matching with one backtrack point; ? takes one UTF-8 character.
bool wildcard(const std::string& name, const std::string& pattern) {
    const auto charLength = [&](std::size_t at) {
        std::size_t length = 1;
        while (at + length < name.size() &&
               (static_cast<unsigned char>(name[at + length]) & 0xC0) == 0x80)
            ++length;
        return length;
    };
    std::size_t n = 0, p = 0;
    std::size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            n += charLength(n);
            ++p;
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++n;
            ++p;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            starN += charLength(starN);
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

class Finder {
  public:
    Finder(const std::vector<std::string>& patterns, bool subfolders) : subfolders_(subfolders) {
        for (const auto& pattern : patterns) patterns_.push_back(folded(pattern));
    }

    void add(const std::string& given) {
        std::error_code ec;
        const fs::path path = fs::absolute(toPath(given), ec).lexically_normal();
        const fs::file_status status = fs::status(path, ec);
        if (!fs::exists(status)) {
            fail("Stien findes ikke: " + given);
        } else if (fs::is_directory(status)) {
            searchFolder(path);
        } else if (fs::is_regular_file(status)) {
            take(path);
        } else {
            fail("Hverken et dokument eller en mappe: " + given);
        }
    }

    FoundDocuments result() { return {std::move(documents_), std::move(error_)}; }

  private:
    bool matches(const std::string& name) const {
        const std::string key = folded(name);
        return std::any_of(patterns_.begin(), patterns_.end(), [&](const std::string& pattern) {
            return pattern == "*.*" ? true : wildcard(key, pattern);
        });
    }

    void take(const fs::path& path) {
        std::error_code ec;
        fs::path identity = fs::weakly_canonical(path, ec);
        if (ec) identity = path;
        if (taken_.insert(identity).second) documents_.push_back(fromPath(path));
    }

    void searchFolder(const fs::path& folder) {
        std::error_code ec;
        const fs::path identity = fs::weakly_canonical(folder, ec);
        if (!visited_.insert(ec ? folder : identity).second) return;

        std::vector<std::pair<std::string, fs::path>> files, folders;
        fs::directory_iterator entries(folder, ec);
        for (; !ec && entries != fs::directory_iterator(); entries.increment(ec)) {
            const fs::directory_entry& entry = *entries;
            const std::string name = fromPath(entry.path().filename());
            // Hidden names hold the office's lock files and the rewrite's backups.
            if (name.empty() || name[0] == '.') continue;
            std::error_code entryEc;
            if (entry.is_symlink(entryEc)) {
                if (entry.is_regular_file(entryEc) && matches(name))
                    files.emplace_back(folded(name), entry.path());
            } else if (entry.is_directory(entryEc)) {
                if (subfolders_) folders.emplace_back(folded(name), entry.path());
            } else if (entry.is_regular_file(entryEc) && matches(name)) {
                files.emplace_back(folded(name), entry.path());
            }
        }
        if (ec) {
            fail("Mappen kan ikke læses: " + fromPath(folder) + " (" + ec.message() + ")");
            return;
        }
        std::sort(files.begin(), files.end());
        std::sort(folders.begin(), folders.end());
        for (const auto& [key, path] : files) take(path);
        for (const auto& [key, path] : folders) searchFolder(path);
    }

    void fail(const std::string& reason) {
        if (error_.empty()) error_ = reason;
    }

    std::vector<std::string> patterns_;
    bool subfolders_;
    std::vector<std::string> documents_;
    std::set<fs::path> taken_;
    std::set<fs::path> visited_;
    std::string error_;
};

}  // namespace

bool MatchesPattern(const std::string& name, const std::string& pattern) {
    const std::string key = folded(pattern);
    return key == "*.*" || wildcard(folded(name), key);
}

FoundDocuments FindDocuments(const std::vector<std::string>& paths,
                             const std::vector<std::string>& patterns, bool subfolders) {
    Finder finder(patterns, subfolders);
    for (const auto& path : paths) finder.add(path);
    return finder.result();
}

}  // namespace pravelo::command_line
