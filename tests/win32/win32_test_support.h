#pragma once

#include <string>

namespace pravelo::platform::win32::testing {

// A fresh folder under the temporary folder, with æøå in its name so every
// path the tests use needs Unicode; removed with its contents at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// Waits up to timeoutMs for a file to exist and to stop growing; its bytes, or "".
std::string awaitFile(const std::string& path, int timeoutMs = 15000);

// The folder this test program runs from.
std::string programFolder();

// The word processor's stand-in (word_stand_in/stand_in_word.h), beside the test programs.
std::string wordStandInPath();
// Registers exePath as the word processor's local server in both registry views, and
// removes that again. Refuses to replace a registration that is not a stand-in's.
void registerWordStandIn(const std::string& exePath);
void unregisterWordStandIn();

}  // namespace pravelo::platform::win32::testing
