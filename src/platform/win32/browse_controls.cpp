#include "platform/win32/browse_controls.h"

#include "platform/win32/folder_listing.h"
#include "platform/win32/gui_support.h"
#include "platform/win32/text_convert.h"

namespace pravelo::platform::win32 {

namespace {

std::wstring currentFolder() {
    wchar_t buffer[32768];
    const DWORD length = GetCurrentDirectoryW(32768, buffer);
    return std::wstring(buffer, length);
}

std::wstring itemText(HWND window, UINT lengthMessage, UINT textMessage, int index) {
    const LRESULT length = SendMessageW(window, lengthMessage, index, 0);
    if (length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(window, textMessage, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::wstring rootOf(const std::wstring& folder) {
    return folder.size() >= 2 && folder[1] == L':' ? folder.substr(0, 2) + L"\\" : folder;
}

}  // namespace

Win32FileList::Win32FileList(HWND listBox) : window_(listBox), folder_(currentFolder()) {
    rebuild();
}

std::string Win32FileList::path() const {
    return fromWide(folder_);
}

void Win32FileList::setPath(const std::string& path) {
    folder_ = checkedFolder(toWide(path));
    rebuild();
}

std::string Win32FileList::pattern() const {
    return fromWide(pattern_);
}

void Win32FileList::setPattern(const std::string& pattern) {
    pattern_ = toWide(pattern);
    rebuild();
}

int Win32FileList::listCount() const {
    return static_cast<int>(SendMessageW(window_, LB_GETCOUNT, 0, 0));
}

bool Win32FileList::selected(int index) const {
    return SendMessageW(window_, LB_GETSEL, index, 0) > 0;
}

std::string Win32FileList::list(int index) const {
    return fromWide(itemText(window_, LB_GETTEXTLEN, LB_GETTEXT, index));
}

void Win32FileList::setFocus() {
    SetFocus(window_);
}

void Win32FileList::rebuild() {
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(window_, LB_RESETCONTENT, 0, 0);
    try {
        for (const auto& name : listFiles(folder_, pattern_)) {
            SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
    } catch (...) {
        // A folder that went away since it was checked lists nothing.
    }
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
}

Win32FolderList::Win32FolderList(HWND listBox) : window_(listBox), folder_(currentFolder()) {
    rebuild();
}

std::string Win32FolderList::path() const {
    return fromWide(folder_);
}

void Win32FolderList::setPath(const std::string& path) {
    folder_ = checkedFolder(toWide(path));
    rebuild();
}

std::string Win32FolderList::entryPath(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return {};
    return fromWide(entries_[static_cast<std::size_t>(index)]);
}

void Win32FolderList::rebuild() {
    entries_.clear();
    std::vector<std::wstring> lines;
    // The root, then each folder on the way down, each a step further in.
    const std::wstring root = rootOf(folder_);
    entries_.push_back(root);
    lines.push_back(root);
    std::size_t depth = 1;
    for (std::size_t start = root.size(); start < folder_.size(); ++depth) {
        std::size_t end = folder_.find(L'\\', start);
        if (end == std::wstring::npos) end = folder_.size();
        entries_.push_back(folder_.substr(0, end));
        lines.push_back(std::wstring(depth * 2, L' ') + folder_.substr(start, end - start));
        start = end + 1;
    }
    const int current = static_cast<int>(entries_.size()) - 1;
    try {
        const std::wstring base = folder_.back() == L'\\' ? folder_ : folder_ + L"\\";
        for (const auto& name : listSubfolders(folder_)) {
            entries_.push_back(base + name);
            lines.push_back(std::wstring(depth * 2, L' ') + name);
        }
    } catch (...) {
        // The current folder was readable a moment ago; its subfolders are a nicety.
    }
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(window_, LB_RESETCONTENT, 0, 0);
    for (const auto& line : lines) {
        SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SendMessageW(window_, LB_SETCURSEL, current, 0);
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
}

Win32DriveList::Win32DriveList(HWND comboBox) : window_(comboBox) {
    wchar_t buffer[512];
    const DWORD length = GetLogicalDriveStringsW(512, buffer);
    for (const wchar_t* root = buffer; root < buffer + length && *root; root += wcslen(root) + 1) {
        std::wstring line(root, 2);
        line[0] = static_cast<wchar_t>(towlower(line[0]));
        // Removable drives are not asked for their label: one without a medium stalls.
        const UINT type = GetDriveTypeW(root);
        wchar_t label[MAX_PATH + 1] = L"";
        if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
            const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
            if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                                      0) &&
                label[0] != L'\0') {
                line += L" [" + std::wstring(label) + L"]";
            }
            SetErrorMode(previous);
        }
        roots_.push_back(root);
        SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    showDriveOf(fromWide(currentFolder()));
}

std::string Win32DriveList::drive() const {
    const LRESULT index = SendMessageW(window_, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= roots_.size()) return {};
    return fromWide(roots_[static_cast<std::size_t>(index)]);
}

void Win32DriveList::showDriveOf(const std::string& folder) {
    const std::wstring root = rootOf(toWide(folder));
    for (std::size_t i = 0; i < roots_.size(); ++i) {
        if (CompareStringOrdinal(roots_[i].c_str(), -1, root.c_str(), -1, TRUE) == CSTR_EQUAL) {
            SendMessageW(window_, CB_SETCURSEL, i, 0);
            return;
        }
    }
}

std::string Win32PatternCombo::text() const {
    return windowText(window_);
}

void Win32PatternCombo::addItem(const std::string& text) {
    SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(text).c_str()));
}

int Win32PatternCombo::listCount() const {
    return static_cast<int>(SendMessageW(window_, CB_GETCOUNT, 0, 0));
}

std::string Win32PatternCombo::list(int index) const {
    return fromWide(itemText(window_, CB_GETLBTEXTLEN, CB_GETLBTEXT, index));
}

void Win32PatternCombo::takeChoice() {
    const LRESULT index = SendMessageW(window_, CB_GETCURSEL, 0, 0);
    if (index >= 0)
        SetWindowTextW(
            window_,
            itemText(window_, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<int>(index)).c_str());
}

}  // namespace pravelo::platform::win32
