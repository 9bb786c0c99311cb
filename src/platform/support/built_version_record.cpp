#include "platform/version_record.h"

namespace pravelo::platform {

const VersionRecord& programVersionRecord() {
    return builtVersionRecord();
}

}  // namespace pravelo::platform
