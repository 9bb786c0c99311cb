#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/form_controls.h"

namespace pravelo::platform::win32 {

// The drive, folder, pattern and file lists over the system's list box and
// combo box. The form hands each its notices; values set from code raise nothing.

class Win32FileList : public FileListControl {
  public:
    explicit Win32FileList(HWND listBox);
    std::string path() const override;
    void setPath(const std::string& path) override;
    std::string pattern() const override;
    void setPattern(const std::string& pattern) override;
    int listCount() const override;
    bool selected(int index) const override;
    std::string list(int index) const override;
    void setFocus() override;

  private:
    void rebuild();

    HWND window_;
    std::wstring folder_;
    std::wstring pattern_ = L"*.doc";
};

// The folder tree from the drive's root down to the current folder, then the
// current folder's subfolders; a double click makes a folder the current one.
class Win32FolderList : public FolderListControl {
  public:
    explicit Win32FolderList(HWND listBox);
    std::string path() const override;
    void setPath(const std::string& path) override;
    // The folder of the entry double-clicked; empty when none.
    std::string entryPath(int index) const;

  private:
    void rebuild();

    HWND window_;
    std::wstring folder_;
    std::vector<std::wstring> entries_;  // full path of each line
};

class Win32DriveList : public DriveListControl {
  public:
    explicit Win32DriveList(HWND comboBox);
    std::string drive() const override;
    // Shows the drive a folder lies on, as when the folder changed by code.
    void showDriveOf(const std::string& folder);

  private:
    HWND window_;
    std::vector<std::wstring> roots_;
};

// Editable drop-down of patterns: only a choice from its list takes effect.
class Win32PatternCombo : public ComboControl {
  public:
    explicit Win32PatternCombo(HWND comboBox) : window_(comboBox) {}
    std::string text() const override;
    void addItem(const std::string& text) override;
    int listCount() const override;
    std::string list(int index) const override;
    // On a choice from the list: the field shows the entry before the logic reads it.
    void takeChoice();

  private:
    HWND window_;
};

}  // namespace pravelo::platform::win32
