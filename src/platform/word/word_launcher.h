#pragma once

#include <chrono>
#include <string>

#include "platform/office_application.h"

namespace pravelo::platform::word {

struct WordOptions {
    // For opening the document and for the macro: the calls that do real work.
    std::chrono::milliseconds timeLimit = std::chrono::minutes(3);
    // How long a Word that was told to quit may take to end before it is ended.
    std::chrono::milliseconds quitGrace = std::chrono::seconds(15);
    // For every other call, starting Word included: a Word that takes longer
    // is most likely showing a prompt no one sees.
    std::chrono::milliseconds stepLimit = std::chrono::minutes(1);
};

// Starts a new Word of its own for every document, through Word's automation
// interface bound late (IDispatch by name).
class WordLauncher : public OfficeLauncher {
  public:
    explicit WordLauncher(WordOptions options = {}) : options_(options) {}
    std::unique_ptr<OfficeApplication> startNew() override;
    // Word cannot be asked whether a macro exists without running it; each
    // document reports a missing macro itself.
    std::string checkMacro(const std::string&) override { return {}; }

  private:
    WordOptions options_;
};

}  // namespace pravelo::platform::word
