#pragma once

#include "platform/file_system.h"

namespace pravelo::platform::win32 {

// Files in the system's ANSI code page with CR LF line ends; names are
// Unicode, so a path with æøå opens whatever the code page is.
class Win32FileSystem : public FileSystem {
  public:
    std::unique_ptr<TextInput> openForInput(const std::string& path) override;
    void appendLine(const std::string& path, const std::string& text) override;
    bool isOrdinaryFile(const std::string& path) override;
    bool folderWritable(const std::string& folder) override;
    void createFolder(const std::string& folder) override;
    void copyFile(const std::string& from, const std::string& to) override;
};

}  // namespace pravelo::platform::win32
