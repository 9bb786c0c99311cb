#pragma once

#include <string>
#include <vector>

#include "platform/main_form.h"

namespace pravelo::command_line {

// The window's controls where there is no window: the settings reader fills the
// pattern list as on screen, and everything else is kept and not shown.
class HeadlessForm : public platform::MainForm {
  public:
    // The patterns the settings file offered.
    const std::vector<std::string>& patterns() const { return combo_.items; }

    platform::LabelControl& Label1() override { return label1_; }
    platform::TextBoxControl& Text1() override { return text1_; }
    platform::FileListControl& File1() override { return files_; }
    platform::FolderListControl& Dir1() override { return folders_; }
    platform::ComboControl& Combo1() override { return combo_; }
    platform::DriveListControl& Drive1() override { return drives_; }
    platform::TextBoxControl& Text2() override { return text2_; }
    platform::LabelControl& Label4() override { return label4_; }
    platform::ButtonControl& Command1() override { return command1_; }
    platform::ButtonControl& Command2() override { return command2_; }
    platform::ButtonControl& Command3() override { return command3_; }
    platform::StatusPanelControl& StatusPanel1() override { return status_; }
    void setCaption(const std::string&) override {}
    void unload() override {}
    void refresh() override {}
    void waitFor(const std::function<void()>& work) override { work(); }
    bool closePending() const override { return false; }
    void showAbout() override {}

  private:
    struct Label : platform::LabelControl {
        std::string text;
        std::string caption() const override { return text; }
        void setCaption(const std::string& value) override { text = value; }
        void setForeColor(platform::Rgb) override {}
        void setBold(bool) override {}
    };
    struct TextBox : platform::TextBoxControl {
        std::string value;
        bool shown = true;
        std::string text() const override { return value; }
        void setText(const std::string& text) override { value = text; }
        bool isShown() const override { return shown; }
        void setShown(bool on) override { shown = on; }
        void setFocus() override {}
    };
    struct Button : platform::ButtonControl {
        std::string text;
        std::string caption() const override { return text; }
        void setCaption(const std::string& value) override { text = value; }
        void setFocus() override {}
    };
    struct Combo : platform::ComboControl {
        std::vector<std::string> items;
        std::string text() const override { return items.empty() ? std::string() : items[0]; }
        void addItem(const std::string& text) override { items.push_back(text); }
        int listCount() const override { return static_cast<int>(items.size()); }
        std::string list(int index) const override { return items.at(index); }
    };
    struct Drives : platform::DriveListControl {
        std::string drive() const override { return {}; }
    };
    struct Folders : platform::FolderListControl {
        std::string value;
        std::string path() const override { return value; }
        void setPath(const std::string& path) override { value = path; }
    };
    struct Files : platform::FileListControl {
        std::string folder, filter;
        std::string path() const override { return folder; }
        void setPath(const std::string& path) override { folder = path; }
        std::string pattern() const override { return filter; }
        void setPattern(const std::string& pattern) override { filter = pattern; }
        int listCount() const override { return 0; }
        bool selected(int) const override { return false; }
        std::string list(int) const override { return {}; }
        void setFocus() override {}
    };
    struct Status : platform::StatusPanelControl {
        std::string value;
        std::string text() const override { return value; }
        void setText(const std::string& text) override { value = text; }
    };

    Label label1_, label4_;
    TextBox text1_, text2_;
    Files files_;
    Folders folders_;
    Combo combo_;
    Drives drives_;
    Button command1_, command2_, command3_;
    Status status_;
};

}  // namespace pravelo::command_line
