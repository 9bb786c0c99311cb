#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>

// The document on disk, apart from the office: which file was opened, and how
// new content replaces its old content without losing what the file was.
namespace pravelo::platform::libreoffice {

// The file a document name leads to when it is opened.
struct DocumentFile {
    std::string name;              // as the caller gave it
    std::filesystem::path target;  // symbolic links resolved
    dev_t device = 0;
    ino_t inode = 0;
};

// Throws Error when the name leads to nothing, or to something other than a
// regular file (a folder, a FIFO, a device).
DocumentFile identifyDocument(const std::string& name);

// Throws Error when the name no longer leads to the file that was opened.
void checkStillSame(const DocumentFile& opened);

// Whether the office can write a document back in the format it read it in
// without losing anything (the import filter's name).
bool faithfulFormat(const std::string& filterName);

// Told about a rewrite in progress, so it can be undone if we die during it.
struct RewriteJournal {
    std::function<void(const std::string& copy, const std::string& target)> started;
    std::function<void()> finished;
};

// Writes the content of newContent into the opened file itself, so its inode,
// owner, group, mode, ACLs, extended attributes and hard links stay. The old
// content goes to a safety copy first (beside the file, or in fallbackFolder
// when its folder takes no new file), flushed to disk; a failure puts it back.
void rewriteInPlace(const DocumentFile& file, const std::filesystem::path& newContent,
                    const std::filesystem::path& fallbackFolder, const RewriteJournal& journal);

// Puts a safety copy's content back into its file and removes the copy.
// Returns false when that could not be done (the copy is then kept).
bool restoreFromSafetyCopy(const std::string& copy, const std::string& target);

}  // namespace pravelo::platform::libreoffice
