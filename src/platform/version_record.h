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

// The program's own record: on Windows read from its version resource at run
// time, elsewhere the values the build gave.
const VersionRecord& programVersionRecord();

// The values the build gave, which the Windows resource carries too.
const VersionRecord& builtVersionRecord();

// The classic file-version text: 1.3.0.7 is written 1.03.0007.
std::string fileVersionText(int major, int minor, int revision);

// The address users write to; the caption, the About dialog and the status bar show it.
const std::string& contactAddress();

}  // namespace pravelo::platform
