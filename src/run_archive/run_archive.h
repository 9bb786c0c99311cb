#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/archive_store.h"
#include "run_archive/manifest.h"

namespace pravelo::run_archive {

// Numbers of the log lines the archive causes.
inline constexpr std::int32_t NoWayBack = 1101;
inline constexpr std::int32_t NotPutBack = 1102;

// A document that a Fortryd left as it is, and why.
struct LeftAlone {
    std::string path;
    std::string reason;
};

struct UndoOutcome {
    int putBack = 0;
    std::vector<LeftAlone> leftAlone;
};

// A run that can still be undone, and its folder in the archive.
struct UndoableRun {
    std::string folder;
    RunManifest manifest;
};

// The edit runs' way back: each run's originals in a folder of their own,
// named by its start, with a manifest; and putting a run back. Documents of
// one run may be kept from several threads at once.
class RunArchive {
  public:
    explicit RunArchive(
        platform::ArchiveStore& store,
        std::function<std::time_t()> clock = [] { return std::time(nullptr); });

    // A new run; nothing is written before its first document is kept.
    void begin(const std::string& startedText, const std::string& macro);
    // Copies the document's original into the run's folder, flushed to disk.
    // Throws Error (NoWayBack) with the reason, in Danish, when it cannot: the
    // document must then not be edited.
    void keep(const std::string& path);
    // After the office is done with a kept document: records what it wrote,
    // or drops the copy when the document did not change.
    void settle(const std::string& path);
    // Ends the run: a run that changed nothing leaves no folder; the oldest
    // runs beyond the limits go.
    void finish();

    // The newest run not undone yet.
    std::optional<UndoableRun> lastRun();
    // Writes back every original whose document still holds what the run wrote,
    // and marks the run undone.
    UndoOutcome undo(const UndoableRun& run);
    // Puts back writes of an earlier undo that a kill cut short; the reasons
    // for those that could not be.
    std::vector<std::string> recover();

  private:
    std::string join(const std::string& folder, const std::string& name) const;
    std::string newFolderName();
    void saveManifest();
    void applyRetention();
    std::vector<std::string> runFolders();

    platform::ArchiveStore& store_;
    std::function<std::time_t()> clock_;
    std::mutex mutex_;
    bool active_ = false;
    bool created_ = false;
    std::string folder_;
    RunManifest manifest_;
    std::map<std::string, ArchivedDocument> pending_;
    int copies_ = 0;
};

}  // namespace pravelo::run_archive
