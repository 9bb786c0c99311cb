#include <exception>

#include "word_engine/doo_with_file.h"
#include "word_engine/log_escape.h"

namespace pravelo::word_engine {

namespace {
const std::string kCrLf = "\r\n";
}

// What tells the two batches apart.
struct DooWithFile::BatchTexts {
    bool edit;
    std::string startText;
    std::string documentPrefix;
    std::string mode;
    std::string nothingSelectedLine;
    std::string oneStatus, severalStatus;
    std::string oneLabel, severalLabel;
    std::string failureStatus;
    std::string summary;
};

void DooWithFile::EditSelectedFiles() {
    static const BatchTexts texts{
        .edit = true,
        .startText = "Der editeres!",
        .documentPrefix = "Editerer ",
        .mode = "RunMakro",
        .nothingSelectedLine = "Vælg fil(er) der skal editeres",
        .oneStatus = {},
        .severalStatus = {},
        .oneLabel = " fil er editeret!" + kCrLf + "Kontroler dokumentet!",
        .severalLabel = " filer er editeret!" + kCrLf + "Kontroler dokumenterne!",
        .failureStatus = "Fejl ved editering!",
        .summary = " fil(er) er editeret!",
    };
    try {
        std::string missing = CheckRunInputs("MakroName");
        if (missing.empty() && anySelected()) {
            // One look for the macro here costs one office start, instead of a
            // start and a log line for every selected document.
            const std::string macro = settings_.GetSettingValue("MNavn");
            platform_.form.waitFor([&] { missing = platform_.office.checkMacro(macro); });
            if (platform_.form.closePending()) return;
        }
        if (!missing.empty()) {
            platform_.messages.show(missing, platform::MessageIcon::Information,
                                    "Opps somthing is missing");
            return;
        }
        runBatch(texts);
    } catch (const std::exception& e) {
        platform_.messages.show(e.what(), platform::MessageIcon::Critical,
                                platform_.version.productName);
        writeEndStamp();
    }
}

void DooWithFile::OpenSelectedFiles() {
    static const BatchTexts texts{
        .edit = false,
        .startText = "Åbner i Word!",
        .documentPrefix = "Åbner ",
        .mode = "RunDokument",
        .nothingSelectedLine = "Vælg fil(er) der skal åbnes.",
        .oneStatus = " Fil åbnet!",
        .severalStatus = " Filer åbnet!",
        .oneLabel = " fil er åbnet!",
        .severalLabel = " filer er åbnet!",
        .failureStatus = "Fejl ved åbning!",
        .summary = " fil(er) er åbnet!",
    };
    runBatch(texts);
}

bool DooWithFile::anySelected() {
    auto& files = platform_.form.File1();
    for (int i = 0; i < files.listCount(); ++i) {
        if (files.selected(i)) return true;
    }
    return false;
}

void DooWithFile::writeEndStamp() {
    platform_.form.StatusPanel1().setText("Udført! " + platform_.machine.defaultDateTime());
}

void DooWithFile::runBatch(const BatchTexts& texts) {
    auto& form = platform_.form;
    auto& label = form.Label4();
    auto& errors = form.Text2();
    auto& files = form.File1();

    std::string folder = form.Dir1().path();
    const char separator = platform_.machine.pathSeparator();
    if (folder.empty() || folder.back() != separator) folder += separator;

    int successes = 0;
    int failures = 0;

    errors.setShown(false);
    label.setForeColor(platform::kRed);
    label.setCaption(texts.startText);
    form.StatusPanel1().setText(texts.startText);
    form.refresh();

    // Only an edit that reaches a document keeps a way back.
    struct RunScope {
        run_archive::RunArchive* archive;
        ~RunScope() {
            if (archive != nullptr) archive->finish();
        }
    } run{texts.edit && anySelected() ? archive_ : nullptr};
    if (run.archive != nullptr)
        run.archive->begin(platform_.machine.defaultDateTime(), settings_.GetSettingValue("MNavn"));

    for (int i = 0; i < files.listCount(); ++i) {
        if (!files.selected(i)) continue;
        // The window closes when the batch returns; documents not reached stay as they are.
        if (form.closePending()) return;
        const std::string fullPath = folder + files.list(i);
        const std::string shownPath = EscapeControls(fullPath);
        label.setBold(false);
        label.setForeColor(platform::kRed);
        label.setCaption(texts.documentPrefix + shownPath + kCrLf + "Vent venligst!");
        form.refresh();

        bool done = false;
        form.waitFor([&] {
            std::optional<platform::Error> failure;
            done = texts.edit ? EditDocument(fullPath, failure)
                              : ProcessDocument(fullPath, texts.mode);
        });
        if (done) {
            ++successes;
        } else {
            errors.appendText(platform_.machine.defaultDateTime() + ", Err: " + shownPath + kCrLf);
            ++failures;
        }
    }
    if (form.closePending()) return;

    const std::string count = std::to_string(successes);
    if (failures == 0 && successes == 0) {
        label.setBold(true);
        form.StatusPanel1().setText("Vælg fil(er)!");
        label.setCaption("Der er ingen valgte filer" + kCrLf + texts.nothingSelectedLine);
        files.setFocus();
    } else if (failures == 0) {
        label.setForeColor(platform::kBlue);
        const bool one = successes == 1;
        if (!texts.edit)
            form.StatusPanel1().setText(count + (one ? texts.oneStatus : texts.severalStatus));
        label.setCaption(count + (one ? texts.oneLabel : texts.severalLabel));
        if (texts.edit) {
            form.Command2().setCaption("&Luk");
            form.Command2().setFocus();
            writeEndStamp();
        }
    } else {
        form.StatusPanel1().setText(texts.failureStatus);
        errors.appendText(count + texts.summary + kCrLf);
        errors.setShown(true);
    }
}

}  // namespace pravelo::word_engine
