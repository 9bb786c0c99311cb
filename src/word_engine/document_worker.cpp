#include <exception>
#include <memory>

#include "platform/error.h"
#include "word_engine/doo_with_file.h"

namespace pravelo::word_engine {

namespace {

platform::Error asError(const std::exception& e) {
    if (const auto* error = dynamic_cast<const platform::Error*>(&e)) return *error;
    return platform::Error(platform::errnum::Internal, e.what());
}

}  // namespace

DooWithFile::DooWithFile(const platform::Platform& platform, settings::Settings& settings)
    : platform_(platform), settings_(settings) {
    if (platform.archive != nullptr) {
        ownArchive_ = std::make_unique<run_archive::RunArchive>(*platform.archive);
        archive_ = ownArchive_.get();
    }
}

bool DooWithFile::EditDocument(const std::string& fullPath,
                               std::optional<platform::Error>& firstFailure) {
    if (archive_ != nullptr) {
        try {
            archive_->keep(fullPath);
        } catch (const platform::Error& e) {
            firstFailure = e;
            WriteLogLine(std::to_string(e.number()) + ", " + fullPath + ", " + e.description());
            return false;
        }
    }
    const bool done = ProcessDocument(fullPath, "RunMakro", firstFailure);
    // Also after a failure: an office may have written before it failed.
    if (archive_ != nullptr) archive_->settle(fullPath);
    return done;
}

bool DooWithFile::ProcessDocument(const std::string& fullPath, const std::string& mode) {
    std::optional<platform::Error> ignored;
    return ProcessDocument(fullPath, mode, ignored);
}

bool DooWithFile::ProcessDocument(const std::string& fullPath, const std::string& mode,
                                  std::optional<platform::Error>& firstFailure) {
    firstFailure.reset();
    const auto logFailure = [&](const std::exception& e) {
        const platform::Error error = asError(e);
        if (!firstFailure) firstFailure = error;
        WriteLogLine(std::to_string(error.number()) + ", " + fullPath + ", " + error.description());
    };

    bool result = false;
    std::unique_ptr<platform::OfficeApplication> app;
    try {
        app = platform_.office.startNew();
        app->setVisible(false);
        app->setScreenUpdating(false);
        app->options().setCheckSpellingAsYouType(false);
        app->options().setCheckGrammarAsYouType(false);
        const auto document = app->documents().open(fullPath);

        if (mode == "RunMakro") {
            app->run(settings_.GetSettingValue("MNavn"));
        } else if (mode == "RunDokument") {
            app->setVisible(true);
            app->setScreenUpdating(true);
            app->options().setCheckSpellingAsYouType(true);
            app->options().setCheckGrammarAsYouType(true);
            return true;  // the visible instance now belongs to the user
        }

        // Whatever the macro left active is what gets saved.
        app->activeDocument()->close(platform::OfficeDocument::SaveChanges);
        result = true;
    } catch (const std::exception& e) {
        result = false;
        logFailure(e);
    }

    if (app) {
        try {
            app->quit();
        } catch (const std::exception& e) {
            result = false;
            logFailure(e);
        }
    }
    return result;
}

}  // namespace pravelo::word_engine
