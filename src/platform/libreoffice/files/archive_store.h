#pragma once

#include "platform/archive_store.h"

namespace pravelo::platform::libreoffice {

// The run archive on Linux. Putting an original back is the rewrite a document
// gets after its macro, under the same journal.
class PosixArchiveStore : public ArchiveStore {
  public:
    std::string archiveFolder() const override;
    char pathSeparator() const override { return '/'; }
    void createFolder(const std::string& folder) override;
    std::vector<std::string> subfolders(const std::string& folder) override;
    std::uint64_t folderBytes(const std::string& folder) override;
    void removeFolder(const std::string& folder) override;
    void removeFile(const std::string& path) override;
    FileFacts keepCopy(const std::string& document, const std::string& copy) override;
    std::optional<FileFacts> facts(const std::string& path) override;
    void writeText(const std::string& path, const std::string& text) override;
    std::optional<std::string> readText(const std::string& path) override;
    void putBack(const std::string& copy, const std::string& document, const std::string& modified,
                 const std::string& journalFolder) override;
    bool finishInterrupted(const std::string& journalFolder) override;
};

}  // namespace pravelo::platform::libreoffice
