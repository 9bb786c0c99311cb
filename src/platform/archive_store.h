#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pravelo::platform {

// What a document file was at one moment, as the run archive records it.
// Fields the platform has no notion of stay empty.
struct FileFacts {
    std::uint64_t size = 0;
    std::string digest;    // SHA-256 of the content, lower-case hex
    std::string identity;  // the file itself: device and inode, volume and file index
    std::string owner;     // "uid:gid"
    std::string mode;      // permission bits in octal, or the file attributes
    std::string modified;  // modification time, seconds and nanoseconds since 1970
    std::string links;     // number of hard links
};

// The per-user folder where edit runs keep their way back, and the few file
// operations the archive needs. Paths are UTF-8. Every member throws Error.
class ArchiveStore {
  public:
    virtual ~ArchiveStore() = default;

    // $XDG_DATA_HOME/Pravelo/Kørsler (~/.local/share when unset) on Linux,
    // %LOCALAPPDATA%\Pravelo\Kørsler on Windows; not created here.
    virtual std::string archiveFolder() const = 0;
    virtual char pathSeparator() const = 0;

    // Creates the folder and any missing one above it, private to the user.
    virtual void createFolder(const std::string& folder) = 0;
    // Names of the folders directly inside folder; none when it is missing.
    virtual std::vector<std::string> subfolders(const std::string& folder) = 0;
    // Bytes of the files in folder and below.
    virtual std::uint64_t folderBytes(const std::string& folder) = 0;
    virtual void removeFolder(const std::string& folder) = 0;
    virtual void removeFile(const std::string& path) = 0;

    // Copies document to a new file copy and flushes both the copy and its
    // folder to disk before returning; gives what the document was.
    virtual FileFacts keepCopy(const std::string& document, const std::string& copy) = 0;
    // What the file at path is now; nothing when no regular file is there.
    virtual std::optional<FileFacts> facts(const std::string& path) = 0;

    // A small text file, replaced whole and flushed: a reader sees the old or the new.
    virtual void writeText(const std::string& path, const std::string& text) = 0;
    // Nothing when the file is missing.
    virtual std::optional<std::string> readText(const std::string& path) = 0;

    // Writes the content of copy into document itself, so the file keeps its
    // identity, owner, mode and links, and sets its modification time back to
    // modified (when given). The content being replaced is kept aside under a
    // journal in journalFolder until the write is complete.
    virtual void putBack(const std::string& copy, const std::string& document,
                         const std::string& modified, const std::string& journalFolder) = 0;
    // Puts back a write a kill cut short, as the journal in journalFolder shows it.
    // False when there was one and it could not be undone (the journal is kept).
    virtual bool finishInterrupted(const std::string& journalFolder) = 0;
};

}  // namespace pravelo::platform
