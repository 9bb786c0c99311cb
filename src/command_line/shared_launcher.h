#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/office_application.h"

namespace pravelo::command_line {

// One launcher serving several workers: the offices start one at a time,
// under one lock, and then work side by side.
class SharedLauncher : public platform::OfficeLauncher {
  public:
    SharedLauncher(platform::OfficeLauncher& launcher, std::shared_ptr<std::mutex> lock)
        : launcher_(launcher), lock_(std::move(lock)) {}

    std::unique_ptr<platform::OfficeApplication> startNew() override {
        const std::lock_guard hold(*lock_);
        return launcher_.startNew();
    }
    std::string checkMacro(const std::string& macroName) override {
        const std::lock_guard hold(*lock_);
        return launcher_.checkMacro(macroName);
    }

  private:
    platform::OfficeLauncher& launcher_;
    std::shared_ptr<std::mutex> lock_;
};

}  // namespace pravelo::command_line
