#pragma once

#include <string>

#include "platform/platform.h"

namespace pravelo::common {

// Small services the main window's handlers share: caption, close, status
// line and the file test the settings loader needs.
class CommenFunctions {
  public:
    explicit CommenFunctions(const platform::Platform& platform) : platform_(platform) {}

    std::string BuildWindowCaption() const;
    void CloseProgram();
    void ShowStatus(const std::string& text);

    static std::string StripQuotes(const std::string& text);
    // True when the file can be opened for reading; never raises, never reports.
    bool FileExists(const std::string& path) const;

  private:
    const platform::Platform& platform_;
};

}  // namespace pravelo::common
