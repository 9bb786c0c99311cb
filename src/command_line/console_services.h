#pragma once

#include <memory>
#include <mutex>
#include <ostream>
#include <string>

#include "platform/file_system.h"
#include "platform/message_boxes.h"

namespace pravelo::command_line {

// Messages the window would show in a box, written as lines on a stream
// (standard error); several workers may write at once.
class StreamMessages : public platform::MessageBoxes {
  public:
    explicit StreamMessages(std::ostream& out) : out_(out) {}
    void show(const std::string& text, platform::MessageIcon icon,
              const std::string& title) override;
    // No one to answer: the command line never asks.
    bool ask(const std::string&, const std::string&) override { return false; }

  private:
    std::mutex mutex_;
    std::ostream& out_;
};

// The files of the platform, one append at a time: workers running at once
// share the run log, and each line must stay whole.
class SerialFileSystem : public platform::FileSystem {
  public:
    explicit SerialFileSystem(platform::FileSystem& files) : files_(files) {}
    std::unique_ptr<platform::TextInput> openForInput(const std::string& path) override;
    void appendLine(const std::string& path, const std::string& text) override;
    bool isOrdinaryFile(const std::string& path) override;
    bool folderWritable(const std::string& folder) override;
    void createFolder(const std::string& folder) override;
    void copyFile(const std::string& from, const std::string& to) override;

  private:
    std::mutex mutex_;
    platform::FileSystem& files_;
};

}  // namespace pravelo::command_line
