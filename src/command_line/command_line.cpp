#include "command_line/command_line.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "command_line/command_options.h"
#include "command_line/console_services.h"
#include "command_line/document_batch.h"
#include "command_line/document_finder.h"
#include "command_line/headless_form.h"
#include "command_line/progress_display.h"
#include "command_line/run_report.h"
#include "common/commen_functions.h"
#include "run_archive/undo_texts.h"
#include "settings/settings.h"
#include "word_engine/doo_with_file.h"
#include "word_engine/log_escape.h"

namespace pravelo::command_line {

namespace fs = std::filesystem;

namespace {

// The window's file list starts with this pattern when the settings file offers
// none.
const std::string kFallbackPattern = "*.doc";

// Empty when a report can be written there; checked before any document is
// touched.
std::string reportPlaceProblem(const std::string& report) {
    if (report.empty()) return {};
    std::error_code ec;
    const fs::path path = fs::absolute(fs::path(std::u8string(report.begin(), report.end())), ec);
    if (fs::is_directory(path, ec))
        return "Rapporten kan ikke skrives: " + report + " er en mappe.";
    if (!fs::is_directory(path.parent_path(), ec))
        return "Rapporten kan ikke skrives: mappen findes ikke: " + report;
    return {};
}

class CommandRun {
  public:
    CommandRun(const CommandLineParts& parts)
        : parts_(parts),
          files_(parts.files),
          messages_(parts.err),
          platform_{parts.version, parts.machine,   files_,         messages_,    form_,
                    parts.office,  parts.processes, parts.registry, parts.archive},
          common_(platform_),
          settings_(platform_, common_),
          engine_(platform_, settings_) {}

    int run(const std::vector<std::string>& arguments) {
        const ParsedCommand parsed = ParseCommandLine(arguments);
        const CommandOptions& options = parsed.options;
        if (options.help) {
            parts_.out << UsageText() << std::flush;
            return kAllEdited;
        }
        if (!parsed.error.empty()) return usageError(parsed.error);
        if (options.undo) return undoLastRun();

        settings_.LoadSettings();
        std::vector<std::string> patterns = options.patterns;
        if (patterns.empty()) {
            settings_.ReadSettingsSection(2);
            patterns = form_.patterns();
        }
        if (patterns.empty()) patterns.push_back(kFallbackPattern);
        settings_.SetMacroName(options.macro);

        const FoundDocuments found = FindDocuments(options.paths, patterns, options.subfolders);
        if (!found.error.empty()) return usageError(found.error);
        if (const std::string problem = reportPlaceProblem(options.report); !problem.empty())
            return usageError(problem);

        if (found.documents.empty()) {
            std::string shown;
            for (const auto& pattern : patterns) shown += (shown.empty() ? "" : ";") + pattern;
            parts_.out << "Ingen dokumenter passer til " << shown << "; intet er editeret.\n";
            return writeReport(options.report, {}, kAllEdited);
        }
        if (parts_.stop.stopRequested()) return stopped();

        // A name no macro answers to is told once, before any document is touched.
        try {
            const std::string missing = parts_.office.checkMacro(options.macro);
            if (!missing.empty()) return refuse(missing);
        } catch (const std::exception& e) {
            return refuse(e.what(), kSomeFailed);
        }
        if (parts_.stop.stopRequested()) return stopped();

        // One run for the whole batch; finished also after a stop, so what was
        // edited until then can be undone.
        struct RunScope {
            run_archive::RunArchive* archive;
            ~RunScope() {
                if (archive != nullptr) archive->finish();
            }
        } scope{engine_.archive()};
        if (scope.archive != nullptr)
            scope.archive->begin(parts_.machine.defaultDateTime(), options.macro);

        ProgressDisplay progress(parts_.out, parts_.terminal,
                                 static_cast<int>(found.documents.size()));
        const BatchSetup setup{.platform = platform_,
                               .settings = settings_,
                               .moreOffices = parts_.moreOffices,
                               .stop = parts_.stop,
                               .concurrent = options.concurrent.value_or(parts_.defaultConcurrent),
                               .archive = scope.archive};
        const std::vector<DocumentOutcome> outcomes =
            RunDocuments(found.documents, setup, progress);
        progress.end();
        return finish(options.report, outcomes);
    }

  private:
    // The window's Fortryd without its question: a script has already decided.
    int undoLastRun() {
        settings_.LoadSettings();
        run_archive::RunArchive* archive = engine_.archive();
        int code = kAllPutBack;
        try {
            std::optional<run_archive::UndoableRun> run;
            if (archive != nullptr) {
                for (const auto& failure : archive->recover()) {
                    parts_.err << "pravelo: " << failure << "\n";
                    code = kNotAllPutBack;
                }
                run = archive->lastRun();
            }
            if (!run) {
                parts_.err << "pravelo: " << run_archive::NothingToUndo << "\n" << std::flush;
                return kNotAllPutBack;
            }
            const run_archive::RunManifest& manifest = run->manifest;
            parts_.out << "Fortryder kørslen " << manifest.started << " med makroen "
                       << word_engine::EscapeControls(manifest.macro) << ": "
                       << run_archive::documentCount(manifest.documents.size()) << ".\n"
                       << std::flush;
            const run_archive::UndoOutcome outcome = archive->undo(*run);
            for (const auto& left : outcome.leftAlone) {
                parts_.out << "Ikke sat tilbage: " << word_engine::EscapeControls(left.path) << ": "
                           << left.reason << "\n";
                engine_.WriteLogLine(run_archive::notPutBackLogText(left.path, left.reason));
            }
            parts_.out << run_archive::putBackStatus(outcome.putBack) << "\n";
            if (!outcome.leftAlone.empty()) {
                parts_.out << "Det står også i " << settings_.FilePath(".log") << "\n";
                code = kNotAllPutBack;
            }
            parts_.out << std::flush;
        } catch (const std::exception& e) {
            parts_.out << std::flush;
            parts_.err << "pravelo: " << e.what() << "\n" << std::flush;
            return kNotAllPutBack;
        }
        return code;
    }

    int finish(const std::string& report, const std::vector<DocumentOutcome>& outcomes) {
        int edited = 0, failed = 0, notReached = 0;
        for (const auto& outcome : outcomes) {
            if (outcome.result == DocumentResult::Edited) ++edited;
            if (outcome.result == DocumentResult::Failed) ++failed;
            if (outcome.result == DocumentResult::NotReached) ++notReached;
        }
        parts_.out << edited << " editeret, " << failed << " fejlede";
        if (notReached > 0) parts_.out << ", " << notReached << " ikke nået";
        parts_.out << ".\n";
        if (failed > 0) parts_.out << "Fejlene står i " << settings_.FilePath(".log") << "\n";
        parts_.out << std::flush;

        int code = failed > 0 ? kSomeFailed : kAllEdited;
        if (parts_.stop.stopRequested() || notReached > 0) code = kStopped;
        if (code == kStopped) parts_.err << "Afbrudt: ingen nye dokumenter blev påbegyndt.\n";
        return writeReport(report, outcomes, code);
    }

    int writeReport(const std::string& report, const std::vector<DocumentOutcome>& outcomes,
                    int code) {
        if (report.empty()) return code;
        try {
            WriteReport(report, outcomes);
        } catch (const std::exception& e) {
            parts_.err << "pravelo: " << e.what() << "\n" << std::flush;
            return code == kAllEdited ? kSomeFailed : code;
        }
        return code;
    }

    int usageError(const std::string& reason) {
        parts_.err << "pravelo: " << word_engine::EscapeControls(reason) << "\n"
                   << "Se \"pravelo --hjaelp\".\n"
                   << std::flush;
        return kBadUsage;
    }

    int refuse(const std::string& reason, int code = kBadUsage) {
        std::string line = reason;
        for (auto at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", at))
            line.erase(at, 1);
        parts_.err << "pravelo: " << line << "\nIntet dokument er rørt.\n" << std::flush;
        return code;
    }

    int stopped() {
        parts_.err << "Afbrudt: intet dokument er rørt.\n" << std::flush;
        return kStopped;
    }

    const CommandLineParts& parts_;
    SerialFileSystem files_;
    StreamMessages messages_;
    HeadlessForm form_;
    platform::Platform platform_;
    common::CommenFunctions common_;
    settings::Settings settings_;
    word_engine::DooWithFile engine_;
};

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, const CommandLineParts& parts) {
    return CommandRun(parts).run(arguments);
}

}  // namespace pravelo::command_line
