#include "run_archive/retention.h"

#include <algorithm>

namespace pravelo::run_archive {

std::vector<std::string> runsToRemove(std::vector<StoredRun> runs, std::size_t keptRuns,
                                      std::uint64_t keptBytes) {
    // Names begin with the start date and time, so they sort oldest first.
    std::sort(runs.begin(), runs.end(),
              [](const StoredRun& a, const StoredRun& b) { return a.name < b.name; });
    std::uint64_t total = 0;
    for (const auto& run : runs) total += run.bytes;
    std::vector<std::string> removed;
    std::size_t left = runs.size();
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
        if (left <= keptRuns && total <= keptBytes) break;
        removed.push_back(runs[i].name);
        total -= runs[i].bytes;
        --left;
    }
    return removed;
}

}  // namespace pravelo::run_archive
