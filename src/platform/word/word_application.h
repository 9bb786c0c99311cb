#pragma once

#include <memory>
#include <string>

#include "platform/office_application.h"
#include "platform/word/word_launcher.h"

namespace pravelo::platform::word {

struct WordInstance;

class WordOptionsObject : public OfficeOptions {
  public:
    explicit WordOptionsObject(std::shared_ptr<WordInstance> word) : word_(std::move(word)) {}
    void setCheckSpellingAsYouType(bool on) override;
    void setCheckGrammarAsYouType(bool on) override;

  private:
    std::shared_ptr<WordInstance> word_;
};

class WordDocuments : public OfficeDocuments {
  public:
    explicit WordDocuments(std::shared_ptr<WordInstance> word) : word_(std::move(word)) {}
    std::shared_ptr<OfficeDocument> open(const std::string& fileName) override;

  private:
    std::shared_ptr<WordInstance> word_;
};

// One Word process of our own. Destroyed without quit() while hidden, it is
// ended; made visible, it stays with the user.
class WordApplication : public OfficeApplication {
  public:
    WordApplication(const WordOptions& options);
    ~WordApplication() override;

    void setVisible(bool visible) override;
    void setScreenUpdating(bool on) override;
    OfficeOptions& options() override { return options_; }
    OfficeDocuments& documents() override { return documents_; }
    void run(const std::string& macroName) override;
    std::shared_ptr<OfficeDocument> activeDocument() override;
    void quit() override;

  private:
    std::shared_ptr<WordInstance> word_;
    WordOptionsObject options_;
    WordDocuments documents_;
};

}  // namespace pravelo::platform::word
