#include "command_line/console_services.h"

namespace pravelo::command_line {

void StreamMessages::show(const std::string& text, platform::MessageIcon,
                          const std::string& title) {
    std::string line = title + ": " + text;
    for (auto at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", at))
        line.erase(at, 1);
    std::lock_guard lock(mutex_);
    out_ << line << '\n' << std::flush;
}

std::unique_ptr<platform::TextInput> SerialFileSystem::openForInput(const std::string& path) {
    std::lock_guard lock(mutex_);
    return files_.openForInput(path);
}

void SerialFileSystem::appendLine(const std::string& path, const std::string& text) {
    std::lock_guard lock(mutex_);
    files_.appendLine(path, text);
}

bool SerialFileSystem::isOrdinaryFile(const std::string& path) {
    std::lock_guard lock(mutex_);
    return files_.isOrdinaryFile(path);
}

bool SerialFileSystem::folderWritable(const std::string& folder) {
    std::lock_guard lock(mutex_);
    return files_.folderWritable(folder);
}

void SerialFileSystem::createFolder(const std::string& folder) {
    std::lock_guard lock(mutex_);
    files_.createFolder(folder);
}

void SerialFileSystem::copyFile(const std::string& from, const std::string& to) {
    std::lock_guard lock(mutex_);
    files_.copyFile(from, to);
}

}  // namespace pravelo::command_line
