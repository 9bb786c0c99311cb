#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace pravelo::platform::posix {

// Text files in Windows-1252 with CR LF line ends; reading also accepts LF and
// CR alone, so files edited on Linux read the same.
class PosixFileSystem : public FileSystem {
  public:
    std::unique_ptr<TextInput> openForInput(const std::string& path) override;
    void appendLine(const std::string& path, const std::string& text) override;
    bool isOrdinaryFile(const std::string& path) override;
    bool folderWritable(const std::string& folder) override;
    void createFolder(const std::string& folder) override;
    void copyFile(const std::string& from, const std::string& to) override;
};

}  // namespace pravelo::platform::posix
