#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "command_line/progress_display.h"
#include "command_line/run_report.h"
#include "platform/platform.h"
#include "platform/stop_requests.h"
#include "run_archive/run_archive.h"
#include "settings/settings.h"

namespace pravelo::command_line {

struct BatchSetup {
    // Its office launcher serves the first worker.
    const platform::Platform& platform;
    settings::Settings& settings;
    // A launcher of its own for every further worker, so no two documents share an office.
    std::function<std::unique_ptr<platform::OfficeLauncher>()> moreOffices;
    const platform::StopRequests& stop;
    int concurrent = 1;
    // The run every worker keeps its originals in, begun and finished by the
    // caller; none edits without a way back.
    run_archive::RunArchive* archive = nullptr;
};

// Edits the documents with the window's document worker (a document whose
// original the archive cannot take is not edited), up to `concurrent`
// at once, each worker taking the next document not yet begun. After a stop
// request no document is begun; those in hand are finished. The outcomes come
// back in the documents' order, unreached ones as such.
std::vector<DocumentOutcome> RunDocuments(const std::vector<std::string>& documents,
                                          const BatchSetup& setup, ProgressDisplay& progress);

}  // namespace pravelo::command_line
