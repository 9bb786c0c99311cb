#include "platform/version_record.h"

#include <cstdio>

#include "platform/build_info.h"

namespace pravelo::platform {

std::string fileVersionText(int major, int minor, int revision) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d.%04d", major, minor, revision);
    return text;
}

const std::string& contactAddress() {
    static const std::string address = build::kContactAddress;
    return address;
}

const VersionRecord& builtVersionRecord() {
    // The caption runs copyright and company together, so the two halves of
    // the contact address read as the address itself.
    static const VersionRecord record = [] {
        const std::string& address = contactAddress();
        const std::size_t at = address.find('@');
        const std::size_t split = at == std::string::npos ? address.size() : at + 1;
        return VersionRecord{
            .productName = "Pravelo",
            .major = build::kVersionMajor,
            .minor = build::kVersionMinor,
            .revision = build::kVersionRevision,
            .fileVersionText = fileVersionText(build::kVersionMajor, build::kVersionMinor,
                                               build::kVersionRevision),
            .comments = "Multi Edit Word Files Via Makro's Stored In A Local Your Normal.dot",
            .legalCopyright = address.substr(0, split),
            .companyName = address.substr(split),
        };
    }();
    return record;
}

}  // namespace pravelo::platform
