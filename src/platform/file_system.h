#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace pravelo::platform {

// Sequential reading of a single-byte text file; lines come back as UTF-8.
class TextInput {
  public:
    virtual ~TextInput() = default;
    virtual bool atEnd() = 0;
    // The next line, but never more than maxBytes (> 0) of it: the rest of a
    // longer line comes back from the following calls, so no file, however
    // large, is held in memory. Throws Error (InputPastEnd) when called at the end.
    virtual std::string readLine(std::size_t maxBytes) = 0;
};

// Plain files in the single-byte code page (Windows-1252) with CR LF line ends.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Opens an existing file for reading; throws Error when it cannot.
    virtual std::unique_ptr<TextInput> openForInput(const std::string& path) = 0;

    // Appends the UTF-8 text and a CR LF, converted to the code page (unmappable
    // characters become "?"; a lone LF inside the text is written as CR LF), creating
    // the file when missing; the file is closed before returning. Throws Error.
    virtual void appendLine(const std::string& path, const std::string& text) = 0;

    // An ordinary file (not a folder, not hidden) of that name exists.
    virtual bool isOrdinaryFile(const std::string& path) = 0;

    // This user may create files in the folder.
    virtual bool folderWritable(const std::string& folder) = 0;
    // Creates the folder and any missing folder above it, private to the user
    // where the system has such rights; an existing folder is no failure. Throws Error.
    virtual void createFolder(const std::string& folder) = 0;
    // Copies the file byte for byte to a new file; never replaces one. Throws Error.
    virtual void copyFile(const std::string& from, const std::string& to) = 0;
};

}  // namespace pravelo::platform
