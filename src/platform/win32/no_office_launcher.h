#pragma once

#include "platform/office_application.h"

namespace pravelo::platform::win32 {

// Stands where the word processor will be driven: every start fails with a
// Danish reason, so a batch logs each document and goes on.
class NoOfficeLauncher : public OfficeLauncher {
  public:
    static constexpr std::int32_t kCannotCreate = 429;

    std::unique_ptr<OfficeApplication> startNew() override;
    // Nothing to ask before a run: each document reports the missing office itself.
    std::string checkMacro(const std::string&) override { return {}; }

    static std::string reason();
};

}  // namespace pravelo::platform::win32
