#pragma once

#include <memory>
#include <string>

#include "platform/libreoffice/uno/office_documents.h"
#include "platform/office_application.h"

namespace pravelo::platform::libreoffice {

class Session;

// As-you-type checking in the hidden office's own settings.
class LoOptions : public OfficeOptions {
  public:
    explicit LoOptions(std::shared_ptr<Session>& session) : session_(session) {}
    void setCheckSpellingAsYouType(bool on) override;
    void setCheckGrammarAsYouType(bool on) override;

  private:
    void set(const char* node, const char* name, bool on, bool& current);

    std::shared_ptr<Session>& session_;
    // The private profile starts with both off; only a change costs a call.
    bool spelling_ = false;
    bool grammar_ = false;
};

// One hidden office of our own. Handing it to the user (setVisible) replaces
// it with a visible office of the user's on the same document.
class LoApplication : public OfficeApplication {
  public:
    explicit LoApplication(std::shared_ptr<Session> session);
    ~LoApplication() override;

    void setVisible(bool visible) override;
    void setScreenUpdating(bool on) override;
    OfficeOptions& options() override { return options_; }
    OfficeDocuments& documents() override { return documents_; }
    void run(const std::string& macroName) override;
    std::shared_ptr<OfficeDocument> activeDocument() override;
    void quit() override;

  private:
    std::shared_ptr<Session> session_;
    LoOptions options_;
    LoDocuments documents_;
};

}  // namespace pravelo::platform::libreoffice
