#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/archive_store.h"

namespace pravelo::run_archive {

// One document of a run: where it is, the copy of its original in the run's
// folder, what it was and what the run wrote.
struct ArchivedDocument {
    std::string path;
    std::string copy;  // file name inside the run's folder
    platform::FileFacts original;
    std::string writtenDigest;
};

struct RunManifest {
    std::string started;  // date and time as the user's locale writes them
    std::string macro;
    bool undone = false;
    std::vector<ArchivedDocument> documents;
};

// A text file of tab-separated lines; any tab, line break or backslash in a
// field is escaped, so every path survives.
std::string formatManifest(const RunManifest& manifest);
// Nothing when the text is not a manifest of ours.
std::optional<RunManifest> parseManifest(const std::string& text);

}  // namespace pravelo::run_archive
