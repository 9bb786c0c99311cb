#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/archive_store.h"
#include "platform/error.h"

namespace pravelo::fakes {

// Documents and the archive in memory; a file's digest is its content.
class FakeArchiveStore : public platform::ArchiveStore {
  public:
    std::string root = "/home/bruger/.local/share/Pravelo/Kørsler";
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    bool full = false;  // no copy fits
    int putBacks = 0;

    std::string archiveFolder() const override { return root; }
    char pathSeparator() const override { return '/'; }
    void createFolder(const std::string& folder) override {
        if (full) throw platform::Error(28, "Der er ikke mere plads på enheden");
        folders.insert(folder);
    }
    std::vector<std::string> subfolders(const std::string& folder) override {
        std::vector<std::string> names;
        for (const auto& f : folders)
            if (f.starts_with(folder + "/") && f.find('/', folder.size() + 1) == std::string::npos)
                names.push_back(f.substr(folder.size() + 1));
        return names;
    }
    std::uint64_t folderBytes(const std::string& folder) override {
        std::uint64_t total = 0;
        for (const auto& [path, content] : files)
            if (path.starts_with(folder + "/")) total += content.size();
        return total;
    }
    void removeFolder(const std::string& folder) override {
        std::erase_if(files, [&](const auto& f) { return f.first.starts_with(folder + "/"); });
        folders.erase(folder);
    }
    void removeFile(const std::string& path) override { files.erase(path); }
    platform::FileFacts keepCopy(const std::string& document, const std::string& copy) override {
        if (full) throw platform::Error(28, "Der er ikke mere plads på enheden");
        auto found = files.find(document);
        if (found == files.end()) throw platform::Error(53, "Filen findes ikke");
        files[copy] = found->second;
        return factsOf(found->second);
    }
    std::optional<platform::FileFacts> facts(const std::string& path) override {
        auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return factsOf(found->second);
    }
    void writeText(const std::string& path, const std::string& text) override {
        files[path] = text;
    }
    std::optional<std::string> readText(const std::string& path) override {
        auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second;
    }
    void putBack(const std::string& copy, const std::string& document, const std::string&,
                 const std::string&) override {
        files[document] = files.at(copy);
        ++putBacks;
    }
    bool finishInterrupted(const std::string&) override { return true; }

  private:
    static platform::FileFacts factsOf(const std::string& content) {
        platform::FileFacts facts;
        facts.size = content.size();
        facts.digest = "#" + content;
        return facts;
    }
};

}  // namespace pravelo::fakes
