#include <exception>

#include "word_engine/doo_with_file.h"
#include "word_engine/log_escape.h"

namespace pravelo::word_engine {

void DooWithFile::WriteLogLine(const std::string& text) {
    try {
        const std::string line = platform_.machine.fileDateTime() + ", " + EscapeControls(text);
        platform_.files.appendLine(settings_.FileToWrite(".log"), line);
    } catch (const std::exception& e) {
        platform_.messages.show(e.what(), platform::MessageIcon::None,
                                platform_.version.productName);
    }
}

void DooWithFile::OpenInNotepad(const std::string& path) {
    try {
        platform_.processes.startTextEditor(path);
    } catch (const std::exception& e) {
        platform_.messages.show(e.what(), platform::MessageIcon::Critical,
                                platform_.version.productName);
    }
}

std::string DooWithFile::CheckRunInputs(const std::string& check) {
    if (check == "MakroName" && platform_.form.Text1().text().empty()) {
        platform_.form.Text1().setFocus();
        return "Indtast makronavn";
    }
    return {};
}

}  // namespace pravelo::word_engine
