#pragma once

#include <optional>
#include <string>

#include "platform/error.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace pravelo::word_engine {

// The office work: one document at a time, the batch runs over the file
// list's selection, the run log and the text viewer.
class DooWithFile {
  public:
    DooWithFile(const platform::Platform& platform, settings::Settings& settings)
        : platform_(platform), settings_(settings) {}

    // Mode "RunMakro" edits and saves, "RunDokument" leaves the document open for the
    // user. Never raises: a failure is logged and gives false.
    bool ProcessDocument(const std::string& fullPath, const std::string& mode);
    // The same, also handing back the first failure logged, for callers that report it.
    bool ProcessDocument(const std::string& fullPath, const std::string& mode,
                         std::optional<platform::Error>& firstFailure);

    void EditSelectedFiles();
    // Errors that are not a document's own pass to the caller.
    void OpenSelectedFiles();

    std::string CheckRunInputs(const std::string& check);

    void WriteLogLine(const std::string& text);
    void OpenInNotepad(const std::string& path);

  private:
    struct BatchTexts;
    void runBatch(const BatchTexts& texts);
    void writeEndStamp();
    // Nothing selected starts no office at all, not even to look for the macro.
    bool anySelected();

    const platform::Platform& platform_;
    settings::Settings& settings_;
};

}  // namespace pravelo::word_engine
