#pragma once

#include <cstdint>
#include <string>

namespace pravelo::platform {

// The program's version information, read at run time.
struct VersionRecord {
    std::string productName;
    std::int16_t major = 0;
    std::int16_t minor = 0;
    std::int16_t revision = 0;
    std::string fileVersionText;
    std::string comments;
    std::string legalCopyright;
    std::string companyName;
};

// The record compiled into this program.
const VersionRecord& programVersionRecord();

// The address users write to; the caption, the About dialog and the status bar show it.
const std::string& contactAddress();

}  // namespace pravelo::platform
