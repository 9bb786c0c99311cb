#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/platform.h"

namespace pravelo::fakes {

using platform::Error;

class FakeMachine : public platform::Machine {
  public:
    std::string exeFolder = "/opt/pravelo";
    std::string cwd = "/home/bruger/dokumenter";
    std::string date = "08-12-2026";
    std::string time = "14:07:09";
    std::string configFolder = "/home/bruger/.config";  // empty: none can be found
    std::string executableFolder() const override { return exeFolder; }
    std::string workingFolder() const override { return cwd; }
    char pathSeparator() const override { return '/'; }
    std::string userSettingsFolder() const override {
        if (configFolder.empty()) throw Error(76, "Brugerens mappe kan ikke findes");
        return configFolder;
    }
    // When set, the date and time texts come from this machine instead.
    const platform::Machine* clock = nullptr;
    std::string shortDate() const override { return clock ? clock->shortDate() : date; }
    std::string longTime() const override { return clock ? clock->longTime() : time; }
    std::string defaultDateTime() const override {
        return clock ? clock->defaultDateTime() : date + " " + time;
    }
    std::string fileDateTime() const override {
        return clock ? clock->fileDateTime() : date + ", " + time;
    }
};

// Files held in memory as UTF-8 text; line ends are split like the real reader does.
class FakeFileSystem : public platform::FileSystem {
  public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::set<std::string> unreadable;
    std::set<std::string> unwritable;  // file paths or folders (with the trailing '/')
    // Folders (with the trailing '/') that hold no file until they are made.
    std::set<std::string> absent{"/home/bruger/.config/Pravelo/"};
    std::vector<std::string> madeFolders;
    int opens = 0;

    std::unique_ptr<platform::TextInput> openForInput(const std::string& path) override;
    void appendLine(const std::string& path, const std::string& text) override;
    bool isOrdinaryFile(const std::string& path) override { return files.count(path) > 0; }
    bool folderWritable(const std::string& folder) override {
        return !unwritable.count(folder) && !absent.count(folder);
    }
    void createFolder(const std::string& folder) override;
    void copyFile(const std::string& from, const std::string& to) override;
};

struct ShownMessage {
    std::string text;
    platform::MessageIcon icon;
    std::string title;
};

class FakeMessageBoxes : public platform::MessageBoxes {
  public:
    std::vector<ShownMessage> shown;
    std::function<void(const ShownMessage&)> onShow;
    void show(const std::string& text, platform::MessageIcon icon,
              const std::string& title) override {
        shown.push_back({text, icon, title});
        if (onShow) onShow(shown.back());
    }
    // Questions asked, and the answer each gets.
    std::vector<std::string> asked;
    bool answer = true;
    bool ask(const std::string& text, const std::string&) override {
        asked.push_back(text);
        return answer;
    }
};

class FakeLabel : public platform::LabelControl {
  public:
    std::string value;
    platform::Rgb color{};
    bool bold = false;
    std::string caption() const override { return value; }
    void setCaption(const std::string& text) override { value = text; }
    void setForeColor(platform::Rgb c) override { color = c; }
    void setBold(bool b) override { bold = b; }
};

class FakeMainForm;

class FakeTextBox : public platform::TextBoxControl {
  public:
    FakeTextBox(FakeMainForm& form, std::string name) : form_(form), name_(std::move(name)) {}
    std::string value;
    bool shown = true;
    int appends = 0;
    std::string text() const override { return value; }
    void setText(const std::string& text) override { value = text; }
    void appendText(const std::string& more) override {
        value += more;
        ++appends;
    }
    bool isShown() const override { return shown; }
    void setShown(bool s) override { shown = s; }
    void setFocus() override;

  private:
    FakeMainForm& form_;
    std::string name_;
};

class FakeButton : public platform::ButtonControl {
  public:
    FakeButton(FakeMainForm& form, std::string name, std::string caption)
        : value(std::move(caption)), form_(form), name_(std::move(name)) {}
    std::string value;
    std::string caption() const override { return value; }
    void setCaption(const std::string& text) override { value = text; }
    void setFocus() override;

  private:
    FakeMainForm& form_;
    std::string name_;
};

class FakeCombo : public platform::ComboControl {
  public:
    std::string value = "*.doc";
    std::vector<std::string> items;
    std::string text() const override { return value; }
    void addItem(const std::string& text) override { items.push_back(text); }
    int listCount() const override { return static_cast<int>(items.size()); }
    std::string list(int index) const override { return items.at(index); }
};

class FakeDriveList : public platform::DriveListControl {
  public:
    std::string value = "/";
    std::string drive() const override { return value; }
};

class FakeFolderList : public platform::FolderListControl {
  public:
    std::string value;
    std::set<std::string> unreadable;
    std::string path() const override { return value; }
    void setPath(const std::string& path) override {
        if (unreadable.count(path)) throw Error(68, "Enheden er ikke klar: " + path);
        value = path;
    }
};

// A file list over a fixed listing per folder; pattern matching is the toolkit's business.
class FakeFileList : public platform::FileListControl {
  public:
    FakeFileList(FakeMainForm& form) : form_(form) {}
    std::map<std::string, std::vector<std::string>> listings;
    std::set<std::string> unreadable;
    std::string folder;
    std::string patternText = "*.doc";
    std::vector<std::string> entries;
    std::vector<bool> selection;
    int rebuilds = 0;

    std::string path() const override { return folder; }
    void setPath(const std::string& path) override {
        if (unreadable.count(path)) throw Error(76, "Stien blev ikke fundet: " + path);
        folder = path;
        rebuild();
    }
    std::string pattern() const override { return patternText; }
    void setPattern(const std::string& p) override {
        patternText = p;
        rebuild();
    }
    int listCount() const override { return static_cast<int>(entries.size()); }
    bool selected(int index) const override { return selection.at(index); }
    std::string list(int index) const override { return entries.at(index); }
    void setFocus() override;

    void select(std::initializer_list<int> indexes) {
        for (int i : indexes) selection.at(i) = true;
    }
    void show(std::vector<std::string> names) {
        listings[folder] = std::move(names);
        rebuild();
    }

  private:
    void rebuild() {
        ++rebuilds;
        auto it = listings.find(folder);
        entries = it == listings.end() ? std::vector<std::string>{} : it->second;
        selection.assign(entries.size(), false);
    }
    FakeMainForm& form_;
};

class FakeStatusPanel : public platform::StatusPanelControl {
  public:
    std::string value;
    std::string text() const override { return value; }
    void setText(const std::string& text) override { value = text; }
};

class FakeMainForm : public platform::MainForm {
  public:
    FakeLabel label1, label4;
    FakeTextBox text1{*this, "Text1"}, text2{*this, "Text2"};
    FakeFileList file1{*this};
    FakeFolderList dir1;
    FakeCombo combo1;
    FakeDriveList drive1;
    FakeButton command1{*this, "Command1", "&Kør"};
    FakeButton command2{*this, "Command2", "&Annuller"};
    FakeButton command3{*this, "Command3", "Å&ben"};
    FakeStatusPanel status;
    std::string windowCaption;
    std::string focus = "Dir1";
    bool unloaded = false;
    int refreshes = 0;
    int aboutShown = 0;
    // What the label and status panel showed at each refresh.
    std::vector<std::string> paintedLabels;

    FakeMainForm() { text2.shown = false; }

    platform::LabelControl& Label1() override { return label1; }
    platform::TextBoxControl& Text1() override { return text1; }
    platform::FileListControl& File1() override { return file1; }
    platform::FolderListControl& Dir1() override { return dir1; }
    platform::ComboControl& Combo1() override { return combo1; }
    platform::DriveListControl& Drive1() override { return drive1; }
    platform::TextBoxControl& Text2() override { return text2; }
    platform::LabelControl& Label4() override { return label4; }
    platform::ButtonControl& Command1() override { return command1; }
    platform::ButtonControl& Command2() override { return command2; }
    platform::ButtonControl& Command3() override { return command3; }
    platform::StatusPanelControl& StatusPanel1() override { return status; }
    void setCaption(const std::string& caption) override { windowCaption = caption; }
    void unload() override { unloaded = true; }
    void refresh() override {
        ++refreshes;
        paintedLabels.push_back(label4.value);
    }
    void showAbout() override { ++aboutShown; }
    // Runs after each piece of work, as user input would arrive during it.
    std::function<void()> duringWait;
    int waits = 0;
    bool closeAsked = false;
    void waitFor(const std::function<void()>& work) override {
        ++waits;
        work();
        if (duringWait) duringWait();
    }
    bool closePending() const override { return closeAsked; }
};

inline void FakeTextBox::setFocus() {
    form_.focus = name_;
}
inline void FakeButton::setFocus() {
    form_.focus = name_;
}
inline void FakeFileList::setFocus() {
    form_.focus = "File1";
}

// Office driven by a script: each call is recorded, and a call named in
// `failAt` throws the given error.
class FakeOffice : public platform::OfficeLauncher {
  public:
    std::vector<std::string> calls;
    std::map<std::string, Error> failAt;  // e.g. "start", "open:/x/b.doc", "run", "close", "quit"
    std::string activeAfterMacro;         // a document the macro leaves active, if any
    std::function<void(const std::string& path)> onSave;  // what saving writes
    int running = 0;
    int handedOver = 0;

    std::unique_ptr<platform::OfficeApplication> startNew() override;
    // Names the check answers as missing, with the reason it gives.
    std::map<std::string, std::string> missingMacros;
    std::string checkMacro(const std::string& macroName) override {
        maybeFail("check:" + macroName);
        auto it = missingMacros.find(macroName);
        return it == missingMacros.end() ? std::string() : it->second;
    }
    void failOn(const std::string& call, std::int32_t number, const std::string& text) {
        failAt.insert_or_assign(call, Error(number, text));
    }
    void maybeFail(const std::string& call) {
        calls.push_back(call);
        if (auto it = failAt.find(call); it != failAt.end()) throw it->second;
    }
};

class FakeProcessStarter : public platform::ProcessStarter {
  public:
    std::vector<std::string> editorPaths, programs;
    bool fail = false;
    void startTextEditor(const std::string& path) override {
        editorPaths.push_back(path);
        if (fail) throw Error(53, "Ingen grafisk teksteditor fundet");
    }
    void startProgram(const std::string& path) override {
        programs.push_back(path);
        if (fail || path.empty()) throw Error(53, "Filen blev ikke fundet");
    }
};

struct FakeRegistryValue {
    std::uint32_t type = platform::Registry::TypeString;
    std::vector<unsigned char> data;
};

class FakeRegistry : public platform::Registry {
  public:
    // key path -> value name -> value
    std::map<std::string, std::map<std::string, FakeRegistryValue>> keys;
    std::set<std::string> denied;  // keys that refuse the requested rights
    std::vector<std::uint32_t> accessAsked;
    int open = 0;

    void setText(const std::string& key, const std::string& name, const std::string& text,
                 bool terminated = true) {
        FakeRegistryValue v;
        v.data.assign(text.begin(), text.end());
        if (terminated) v.data.push_back(0);
        keys[key][name] = v;
    }
    std::int32_t openKey(Key, const std::string& subKey, std::uint32_t, std::uint32_t access,
                         Key& result) override;
    std::int32_t queryValue(Key key, const std::string& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override;
    std::int32_t closeKey(Key) override {
        --open;
        return 0;
    }

  private:
    std::vector<std::string> handles_;
};

// All fakes together, wired as the program wires the real parts.
struct FakePlatform {
    platform::VersionRecord version = platform::programVersionRecord();
    FakeMachine machine;
    FakeFileSystem files;
    FakeMessageBoxes messages;
    FakeMainForm form;
    FakeOffice office;
    FakeProcessStarter processes;
    FakeRegistry registry;
    platform::Platform platform{version, machine, files,     messages,
                                form,    office,  processes, registry};

    std::string settingsPath() const { return machine.exeFolder + "/Pravelo.dll"; }
    std::string logPath() const { return machine.exeFolder + "/Pravelo.log"; }
    std::string userFile(const std::string& extension) const {
        return machine.configFolder + "/Pravelo/Pravelo" + extension;
    }
    // An installed copy: its folder is marked, and no user may write it.
    void installed() {
        files.files[machine.exeFolder + "/Pravelo.installed"] = "";
        files.unwritable.insert(machine.exeFolder + "/");
    }
};

}  // namespace pravelo::fakes
