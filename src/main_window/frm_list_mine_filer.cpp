#include "main_window/frm_list_mine_filer.h"

#include <exception>

namespace pravelo::main_window {

using platform::MessageIcon;

void frmListMineFiler::report(const std::string& description, MessageIcon icon) {
    platform_.messages.show(description, icon, platform_.version.productName);
}

// A path set by code raises the folder list's change event when it moves.
void frmListMineFiler::setFolder(const std::string& path) {
    auto& dir = platform_.form.Dir1();
    const std::string before = dir.path();
    dir.setPath(path);
    if (dir.path() != before || platform_.form.File1().path() != dir.path()) Dir1_Change();
}

void frmListMineFiler::Form_Load() {
    auto& form = platform_.form;
    try {
        settings_.LoadSettings();
        form.setCaption(common_.BuildWindowCaption());
        settings_.ReadSettingsSection(2);
        setFolder(platform_.machine.workingFolder());
        form.Label1().setCaption(form.Dir1().path());
        form.File1().setPattern(form.Combo1().text());
        const std::string macro = settings_.GetSettingValue("MNavn");
        if (form.Text1().text() != macro) {
            form.Text1().setText(macro);
            Text1_Change();
        }
        form.Text2().setText("");
        form.Label4().setCaption(platform_.version.comments + " with " +
                                 platform_.version.productName + "!");
        common_.ShowStatus("Velkommen til " + platform_.version.productName + ".");
        worker_.FinishInterruptedUndo();
    } catch (const std::exception& e) {
        report(e.what(), MessageIcon::None);
    }
}

void frmListMineFiler::Drive1_Change() {
    try {
        setFolder(platform_.form.Drive1().drive());
    } catch (const std::exception& e) {
        report(e.what(), MessageIcon::None);
    }
}

void frmListMineFiler::Dir1_Change() {
    auto& form = platform_.form;
    try {
        form.File1().setPath(form.Dir1().path());
        form.Label1().setCaption(form.Dir1().path());
    } catch (const std::exception& e) {
        report(e.what(), MessageIcon::None);
    }
}

void frmListMineFiler::Combo1_Click() {
    platform_.form.File1().setPattern(platform_.form.Combo1().text());
}

void frmListMineFiler::Text1_Change() {
    try {
        settings_.SetMacroName(platform_.form.Text1().text());
    } catch (const std::exception& e) {
        report(e.what(), MessageIcon::None);
    }
}

// A close asked for while a batch ran waits for the batch to stop, then
// closes as the close command does.
void frmListMineFiler::closeIfAsked() {
    if (platform_.form.closePending()) common_.CloseProgram();
}

void frmListMineFiler::Command1_Click() {
    try {
        worker_.EditSelectedFiles();
    } catch (const std::exception& e) {
        report(e.what(), MessageIcon::None);
    }
    common_.ShowStatus("Udført! " + platform_.machine.defaultDateTime());
    closeIfAsked();
}

void frmListMineFiler::mnuVormixStartMakro_Click() {
    worker_.EditSelectedFiles();
    closeIfAsked();
}

// The open batch reports nothing of its own beyond documents; anything else
// that goes wrong is shown here rather than ending the program.
void frmListMineFiler::openSelected() {
    try {
        worker_.OpenSelectedFiles();
    } catch (const std::exception& e) {
        report(e.what(), MessageIcon::Critical);
    }
    closeIfAsked();
}

void frmListMineFiler::Command3_Click() {
    openSelected();
}
void frmListMineFiler::mnuVormixOpenMyFileFil_Click() {
    openSelected();
}

void frmListMineFiler::Command2_Click() {
    common_.CloseProgram();
}
void frmListMineFiler::mnuVormixAfslut_Click() {
    common_.CloseProgram();
}

void frmListMineFiler::mnuVormixErrLog_Click() {
    try {
        worker_.OpenInNotepad(settings_.FilePath(".log"));
    } catch (const std::exception& e) {
        report(e.what(), MessageIcon::Critical);
    }
}

void frmListMineFiler::mnuAddButtonToWord_Click() {
    report("Comming up!", MessageIcon::None);
}

void frmListMineFiler::mnuVormixSettings_Click() {
    worker_.OpenInNotepad(settings_.SettingsFileToEdit());
}

void frmListMineFiler::mnuVormixAbout_Click() {
    platform_.form.showAbout();
}

void frmListMineFiler::mnuVormixFortryd_Click() {
    worker_.UndoLastRun();
    closeIfAsked();
}

}  // namespace pravelo::main_window
