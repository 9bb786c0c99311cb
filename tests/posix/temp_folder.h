#pragma once

#include <string>

namespace pravelo::platform::posix::testing {

// A fresh folder under TMPDIR, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
void writeScript(const std::string& path, const std::string& body);

}  // namespace pravelo::platform::posix::testing
