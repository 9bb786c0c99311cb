#pragma once

#include <memory>
#include <string>

namespace pravelo::platform {

// An office application driven by automation. Every member throws Error
// (number and description) when the office reports a failure.

class OfficeDocument {
  public:
    static constexpr int SaveChanges = -1;
    static constexpr int DoNotSaveChanges = 0;

    virtual ~OfficeDocument() = default;
    virtual void close(int saveChanges) = 0;
};

class OfficeOptions {
  public:
    virtual ~OfficeOptions() = default;
    virtual void setCheckSpellingAsYouType(bool on) = 0;
    virtual void setCheckGrammarAsYouType(bool on) = 0;
};

class OfficeDocuments {
  public:
    virtual ~OfficeDocuments() = default;
    // Opens the file and makes it the active document.
    virtual std::shared_ptr<OfficeDocument> open(const std::string& fileName) = 0;
};

// One running instance of its own. Destroying it without quit() leaves a
// visible instance to the user and ends a hidden one, so nothing is left behind
// by accident.
class OfficeApplication {
  public:
    virtual ~OfficeApplication() = default;
    virtual void setVisible(bool visible) = 0;
    virtual void setScreenUpdating(bool on) = 0;
    virtual OfficeOptions& options() = 0;
    virtual OfficeDocuments& documents() = 0;
    // Runs a macro by the name the user gave and returns when it has ended.
    virtual void run(const std::string& macroName) = 0;
    virtual std::shared_ptr<OfficeDocument> activeDocument() = 0;
    virtual void quit() = 0;
};

class OfficeLauncher {
  public:
    virtual ~OfficeLauncher() = default;
    // Starts a new instance; never attaches to one that runs already.
    virtual std::unique_ptr<OfficeApplication> startNew() = 0;
    // Empty when a macro of this name can be run; otherwise why not, for the user.
    virtual std::string checkMacro(const std::string& macroName) = 0;
};

}  // namespace pravelo::platform
