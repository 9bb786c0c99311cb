#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pravelo::run_archive {

struct StoredRun {
    std::string name;
    std::uint64_t bytes = 0;
};

inline constexpr std::size_t KeptRuns = 10;
inline constexpr std::uint64_t KeptBytes = std::uint64_t(1) << 30;

// The runs to remove, oldest first, so that at most keptRuns remain and they
// hold at most keptBytes together. The newest run always stays: it is the one
// just made, and without it that run would have no way back.
std::vector<std::string> runsToRemove(std::vector<StoredRun> runs, std::size_t keptRuns = KeptRuns,
                                      std::uint64_t keptBytes = KeptBytes);

}  // namespace pravelo::run_archive
