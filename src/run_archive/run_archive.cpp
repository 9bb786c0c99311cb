#include "run_archive/run_archive.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "platform/error.h"
#include "run_archive/retention.h"

namespace pravelo::run_archive {

namespace {

constexpr const char* ManifestName = "manifest.txt";

std::string baseName(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string reasonOf(const std::exception& e) {
    return e.what();
}

}  // namespace

RunArchive::RunArchive(platform::ArchiveStore& store, std::function<std::time_t()> clock)
    : store_(store), clock_(std::move(clock)) {}

std::string RunArchive::join(const std::string& folder, const std::string& name) const {
    return folder + store_.pathSeparator() + name;
}

// "2025-03-14 09.41.27": sorts by time and is a valid name on every system.
std::string RunArchive::newFolderName() {
    const std::time_t now = clock_();
    const std::tm* local = std::localtime(&now);
    char text[32] = "";
    if (local != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d %H.%M.%S", local);
    std::string name = text;
    const auto existing = runFolders();
    for (int n = 2; std::find(existing.begin(), existing.end(), name) != existing.end(); ++n) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "-%02d", n);
        name = text + std::string(suffix);
    }
    return name;
}

std::vector<std::string> RunArchive::runFolders() {
    std::vector<std::string> names;
    try {
        names = store_.subfolders(store_.archiveFolder());
    } catch (const std::exception&) {
        return {};
    }
    std::sort(names.begin(), names.end());
    return names;
}

void RunArchive::begin(const std::string& startedText, const std::string& macro) {
    std::lock_guard lock(mutex_);
    active_ = true;
    created_ = false;
    folder_.clear();
    manifest_ = RunManifest{startedText, macro, false, {}};
    pending_.clear();
    copies_ = 0;
}

void RunArchive::keep(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (!active_) return;
    std::string where = "arkivet";
    try {
        if (!created_) {
            const std::string root = store_.archiveFolder();
            where = root;
            folder_ = join(root, newFolderName());
            store_.createFolder(folder_);
            created_ = true;
        }
        where = folder_;
        char number[16];
        std::snprintf(number, sizeof number, "%04d ", ++copies_);
        ArchivedDocument document;
        document.path = path;
        document.copy = number + baseName(path);
        document.original = store_.keepCopy(path, join(folder_, document.copy));
        pending_[path] = document;
    } catch (const std::exception& e) {
        throw platform::Error(NoWayBack, "Ingen vej tilbage: originalen kan ikke gemmes i " +
                                             where + " (" + reasonOf(e) +
                                             "); dokumentet er ikke ændret");
    }
}

void RunArchive::settle(const std::string& path) {
    std::lock_guard lock(mutex_);
    const auto found = pending_.find(path);
    if (found == pending_.end()) return;
    ArchivedDocument document = found->second;
    pending_.erase(found);
    std::optional<platform::FileFacts> now;
    try {
        now = store_.facts(path);
    } catch (const std::exception&) {
    }
    if (now && now->digest == document.original.digest) {
        try {
            store_.removeFile(join(folder_, document.copy));
        } catch (const std::exception&) {
        }
        return;
    }
    // Gone or unreadable after the run: nothing can be put back over it later,
    // but the original is kept, for a person to find.
    document.writtenDigest = now ? now->digest : "-";
    manifest_.documents.push_back(document);
    saveManifest();
}

void RunArchive::saveManifest() {
    try {
        store_.writeText(join(folder_, ManifestName), formatManifest(manifest_));
    } catch (const std::exception&) {
        // The copies stay; only Fortryd cannot find them.
    }
}

void RunArchive::finish() {
    std::lock_guard lock(mutex_);
    if (!active_) return;
    active_ = false;
    if (!created_) return;
    if (manifest_.documents.empty()) {
        try {
            store_.removeFolder(folder_);
        } catch (const std::exception&) {
        }
        return;
    }
    for (const auto& [path, document] : pending_) {
        try {
            store_.removeFile(join(folder_, document.copy));
        } catch (const std::exception&) {
        }
    }
    pending_.clear();
    applyRetention();
}

void RunArchive::applyRetention() {
    std::vector<StoredRun> runs;
    std::string root;
    try {
        root = store_.archiveFolder();
        for (const auto& name : runFolders()) {
            // Only what a run of ours made; anything else in the folder stays.
            if (!store_.readText(join(join(root, name), ManifestName))) continue;
            runs.push_back({name, store_.folderBytes(join(root, name))});
        }
    } catch (const std::exception&) {
        return;
    }
    for (const auto& name : runsToRemove(runs)) {
        try {
            store_.removeFolder(join(root, name));
        } catch (const std::exception&) {
        }
    }
}

std::optional<UndoableRun> RunArchive::lastRun() {
    std::string root;
    try {
        root = store_.archiveFolder();
    } catch (const std::exception&) {
        return std::nullopt;
    }
    auto names = runFolders();
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        const std::string folder = join(root, *name);
        std::optional<std::string> text;
        try {
            text = store_.readText(join(folder, ManifestName));
        } catch (const std::exception&) {
            continue;
        }
        if (!text) continue;
        auto manifest = parseManifest(*text);
        if (!manifest || manifest->undone) continue;
        return UndoableRun{folder, std::move(*manifest)};
    }
    return std::nullopt;
}

UndoOutcome RunArchive::undo(const UndoableRun& run) {
    UndoOutcome outcome;
    for (const auto& document : run.manifest.documents) {
        const auto leave = [&](const std::string& reason) {
            outcome.leftAlone.push_back({document.path, reason});
        };
        try {
            const auto now = store_.facts(document.path);
            if (!now) {
                leave("dokumentet er flyttet eller slettet efter kørslen");
                continue;
            }
            if (now->digest == document.original.digest) {
                ++outcome.putBack;  // an earlier Fortryd got this far
                continue;
            }
            if (now->digest != document.writtenDigest) {
                leave("dokumentet er ændret efter kørslen");
                continue;
            }
            const std::string copy = join(run.folder, document.copy);
            const auto kept = store_.facts(copy);
            if (!kept || kept->digest != document.original.digest) {
                leave("kopien af originalen i " + run.folder + " mangler eller er ændret");
                continue;
            }
            store_.putBack(copy, document.path, document.original.modified, run.folder);
            ++outcome.putBack;
        } catch (const std::exception& e) {
            leave(reasonOf(e));
        }
    }
    RunManifest done = run.manifest;
    done.undone = true;
    store_.writeText(join(run.folder, ManifestName), formatManifest(done));
    return outcome;
}

std::vector<std::string> RunArchive::recover() {
    std::vector<std::string> failures;
    std::string root;
    try {
        root = store_.archiveFolder();
    } catch (const std::exception&) {
        return failures;
    }
    for (const auto& name : runFolders()) {
        const std::string folder = join(root, name);
        try {
            if (!store_.finishInterrupted(folder))
                failures.push_back("En afbrudt fortrydelse i " + folder +
                                   " kunne ikke gøres færdig; se journalen i mappen");
        } catch (const std::exception& e) {
            failures.push_back(folder + ": " + reasonOf(e));
        }
    }
    return failures;
}

}  // namespace pravelo::run_archive
