#pragma once

#include <cstdint>
#include <string>

namespace pravelo::platform {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};

// The window controls as the logic sees them. Setting a value from code raises
// no event; the logic calls the follow-up handler itself where one is due.
// Texts are UTF-8 and carry CR LF line breaks, which the controls show as breaks.

class LabelControl {
  public:
    virtual ~LabelControl() = default;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setForeColor(Rgb color) = 0;
    virtual void setBold(bool bold) = 0;
};

class TextBoxControl {
  public:
    virtual ~TextBoxControl() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    // Adds text behind what is there; a long error list should not be rebuilt each time.
    virtual void appendText(const std::string& more) { setText(text() + more); }
    virtual bool isShown() const = 0;  // as the program set it, whether or not the window is up
    virtual void setShown(bool shown) = 0;
    virtual void setFocus() = 0;
};

class ButtonControl {
  public:
    virtual ~ButtonControl() = default;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setFocus() = 0;
};

// Editable drop-down of file-name patterns.
class ComboControl {
  public:
    virtual ~ComboControl() = default;
    virtual std::string text() const = 0;
    virtual void addItem(const std::string& text) = 0;
    virtual int listCount() const = 0;
    virtual std::string list(int index) const = 0;
};

class DriveListControl {
  public:
    virtual ~DriveListControl() = default;
    // Root folder of the chosen drive.
    virtual std::string drive() const = 0;
};

class FolderListControl {
  public:
    virtual ~FolderListControl() = default;
    virtual std::string path() const = 0;
    // Throws Error when the folder cannot be read; the list then keeps its folder.
    virtual void setPath(const std::string& path) = 0;
};

// File list with extended multiple selection. Setting the folder or the
// pattern rebuilds the list and clears the selection.
class FileListControl {
  public:
    virtual ~FileListControl() = default;
    virtual std::string path() const = 0;
    virtual void setPath(const std::string& path) = 0;  // throws Error
    virtual std::string pattern() const = 0;
    virtual void setPattern(const std::string& pattern) = 0;
    virtual int listCount() const = 0;
    virtual bool selected(int index) const = 0;
    virtual std::string list(int index) const = 0;
    virtual void setFocus() = 0;
};

class StatusPanelControl {
  public:
    virtual ~StatusPanelControl() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

}  // namespace pravelo::platform
