#include "platform/version_record.h"

namespace pravelo::platform {

const VersionRecord& programVersionRecord() {
    // Copyright and company read together as the maker's contact address.
    static const VersionRecord record{
        .productName = "Pravelo",
        .major = 1,
        .minor = 3,
        .revision = 7,
        .fileVersionText = "1.03.0007",
        .comments = "Multi Edit Word Files Via Makro's Stored In A Local Your Normal.dot",
        .legalCopyright = "kontakt@",
        .companyName = "pravelo.example",
    };
    return record;
}

}  // namespace pravelo::platform
