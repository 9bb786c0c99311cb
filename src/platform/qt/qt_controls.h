#pragma once

#include <string>

#include "platform/form_controls.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pravelo::platform::qt {

// Thin adapters that let the logic drive plain Qt widgets. None of them
// raises an event: a value set from code is not a user action.

class QtLabel : public LabelControl {
  public:
    explicit QtLabel(QLabel* label);
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& text) override;
    void setForeColor(Rgb color) override;
    void setBold(bool bold) override;

  private:
    QLabel* label_;
    std::string caption_;  // kept as given, line breaks included
};

class QtLineTextBox : public TextBoxControl {
  public:
    explicit QtLineTextBox(QLineEdit* edit) : edit_(edit) {}
    std::string text() const override;
    void setText(const std::string& text) override;
    bool isShown() const override;
    void setShown(bool shown) override;
    void setFocus() override;

  private:
    QLineEdit* edit_;
};

// Read-only multi-line box; the text is the program's, so it is returned
// exactly as it was set.
class QtListTextBox : public TextBoxControl {
  public:
    explicit QtListTextBox(QPlainTextEdit* edit);
    std::string text() const override { return text_; }
    void setText(const std::string& text) override;
    void appendText(const std::string& more) override;
    bool isShown() const override;
    void setShown(bool shown) override;
    void setFocus() override;

  private:
    QPlainTextEdit* edit_;
    std::string text_;
};

class QtButton : public ButtonControl {
  public:
    explicit QtButton(QPushButton* button) : button_(button) {}
    std::string caption() const override;
    void setCaption(const std::string& text) override;
    void setFocus() override;

  private:
    QPushButton* button_;
};

class QtStatusPanel : public StatusPanelControl {
  public:
    explicit QtStatusPanel(QLabel* label);
    std::string text() const override { return text_; }
    void setText(const std::string& text) override;

  private:
    QLabel* label_;
    std::string text_;
};

}  // namespace pravelo::platform::qt
