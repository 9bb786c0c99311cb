#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/error.h"
#include "platform/platform.h"
#include "run_archive/run_archive.h"
#include "settings/settings.h"

namespace pravelo::word_engine {

// The office work: one document at a time, the batch runs over the file
// list's selection, the run log and the text viewer.
class DooWithFile {
  public:
    DooWithFile(const platform::Platform& platform, settings::Settings& settings);

    // Mode "RunMakro" edits and saves, "RunDokument" leaves the document open for the
    // user. Never raises: a failure is logged and gives false.
    bool ProcessDocument(const std::string& fullPath, const std::string& mode);
    // The same, also handing back the first failure logged, for callers that report it.
    bool ProcessDocument(const std::string& fullPath, const std::string& mode,
                         std::optional<platform::Error>& firstFailure);

    // "RunMakro" with a way back: the original goes to the run's archive first,
    // and a document whose original cannot be kept is not edited.
    bool EditDocument(const std::string& fullPath, std::optional<platform::Error>& firstFailure);

    void EditSelectedFiles();
    // Errors that are not a document's own pass to the caller.
    void OpenSelectedFiles();

    std::string CheckRunInputs(const std::string& check);

    // Puts the newest run not undone yet back, after asking.
    void UndoLastRun();
    // Finishes or reports what a kill left of an earlier undo.
    void FinishInterruptedUndo();
    // Workers of one batch share one run's archive; none keeps no archive.
    run_archive::RunArchive* archive() const { return archive_; }
    void shareArchive(run_archive::RunArchive* archive) { archive_ = archive; }

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
    std::unique_ptr<run_archive::RunArchive> ownArchive_;
    run_archive::RunArchive* archive_ = nullptr;
};

}  // namespace pravelo::word_engine
