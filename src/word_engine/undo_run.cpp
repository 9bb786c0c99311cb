#include <exception>

#include "run_archive/undo_texts.h"
#include "word_engine/doo_with_file.h"
#include "word_engine/log_escape.h"

namespace pravelo::word_engine {

namespace {
const std::string kCrLf = "\r\n";
}

void DooWithFile::FinishInterruptedUndo() {
    if (archive_ == nullptr) return;
    for (const auto& failure : archive_->recover())
        platform_.messages.show(failure, platform::MessageIcon::Critical,
                                platform_.version.productName);
}

void DooWithFile::UndoLastRun() {
    auto& form = platform_.form;
    const std::string title = platform_.version.productName;
    try {
        std::optional<run_archive::UndoableRun> run;
        std::vector<std::string> unfinished;
        if (archive_ != nullptr) {
            form.waitFor([&] {
                unfinished = archive_->recover();
                run = archive_->lastRun();
            });
        }
        for (const auto& failure : unfinished)
            platform_.messages.show(failure, platform::MessageIcon::Critical, title);
        if (!run) {
            platform_.messages.show(run_archive::NothingToUndo, platform::MessageIcon::Information,
                                    title);
            return;
        }
        if (!platform_.messages.ask(run_archive::undoQuestion(run->manifest),
                                    run_archive::UndoTitle))
            return;

        auto& label = form.Label4();
        auto& errors = form.Text2();
        errors.setShown(false);
        label.setBold(false);
        label.setForeColor(platform::kRed);
        label.setCaption("Fortryder kørslen " + run->manifest.started + kCrLf + "Vent venligst!");
        form.StatusPanel1().setText("Der fortrydes!");
        form.refresh();

        run_archive::UndoOutcome outcome;
        form.waitFor([&] { outcome = archive_->undo(*run); });

        const std::string status = run_archive::putBackStatus(outcome.putBack);
        for (const auto& left : outcome.leftAlone) {
            errors.appendText(platform_.machine.defaultDateTime() + ", Ikke sat tilbage: " +
                              EscapeControls(left.path) + ": " + left.reason + kCrLf);
            WriteLogLine(run_archive::notPutBackLogText(left.path, left.reason));
        }
        label.setCaption("Kørslen " + run->manifest.started + " er fortrudt." + kCrLf + status);
        if (outcome.leftAlone.empty()) {
            label.setForeColor(platform::kBlue);
        } else {
            errors.appendText(status + kCrLf);
            errors.setShown(true);
        }
        form.StatusPanel1().setText(status);
    } catch (const std::exception& e) {
        platform_.messages.show(e.what(), platform::MessageIcon::Critical, title);
    }
}

}  // namespace pravelo::word_engine
