#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/office_application.h"

namespace pravelo::platform::word {

// A Word's process is known as the one Word process that appeared while it
// started, so two Words starting at once in one program cannot be told apart:
// launchers sharing one lock start theirs one after the other. Only the start
// waits; the Words then work at the same time.
class SerialWordStarts : public OfficeLauncher {
  public:
    SerialWordStarts(std::unique_ptr<OfficeLauncher> launcher, std::shared_ptr<std::mutex> lock)
        : launcher_(std::move(launcher)), lock_(std::move(lock)) {}

    std::unique_ptr<OfficeApplication> startNew() override {
        const std::lock_guard hold(*lock_);
        return launcher_->startNew();
    }
    std::string checkMacro(const std::string& macroName) override {
        return launcher_->checkMacro(macroName);
    }

  private:
    std::unique_ptr<OfficeLauncher> launcher_;
    std::shared_ptr<std::mutex> lock_;
};

}  // namespace pravelo::platform::word
