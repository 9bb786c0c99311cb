#pragma once

#include <optional>

#include "platform/version_record.h"

namespace pravelo::platform::win32 {

// The version resource of a loaded module (nullptr: the running program), or
// nothing when it carries none.
std::optional<VersionRecord> readVersionResource(void* module);

}  // namespace pravelo::platform::win32
