#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/office_application.h"

namespace pravelo::platform::libreoffice {

class OfficeHost;

// The socket to one fork of the office host. Every call waits at most the
// time limit; past it the host ends the fork.
class ForkLink {
  public:
    ForkLink(OfficeHost& host, pid_t pid, int socket, std::chrono::milliseconds limit,
             std::string soffice);
    ForkLink(const ForkLink&) = delete;
    ForkLink& operator=(const ForkLink&) = delete;
    ~ForkLink() { end(true); }

    // Sends a request and returns the fork's answer; throws Error with what
    // was being done at the front of its description.
    std::string call(const std::string& what, const std::vector<std::string>& request);
    // Ends the fork, by a quit first when asked to, and returns once nothing
    // of it is left.
    void end(bool politely);
    bool ended() const { return socket_ < 0; }
    const std::string& soffice() const { return soffice_; }

  private:
    [[noreturn]] void lost(const std::string& what, bool expired);

    OfficeHost& host_;
    pid_t pid_;
    int socket_;
    std::chrono::milliseconds limit_;
    std::string soffice_;
};

class ForkDocument : public OfficeDocument {
  public:
    ForkDocument(std::shared_ptr<ForkLink> link, std::string id)
        : link_(std::move(link)), id_(std::move(id)) {}
    void close(int saveChanges) override;

  private:
    std::shared_ptr<ForkLink> link_;
    std::string id_;
};

class ForkOptions : public OfficeOptions {
  public:
    explicit ForkOptions(std::shared_ptr<ForkLink>& link) : link_(link) {}
    void setCheckSpellingAsYouType(bool on) override;
    void setCheckGrammarAsYouType(bool on) override;

  private:
    std::shared_ptr<ForkLink>& link_;
};

class ForkDocuments : public OfficeDocuments {
  public:
    explicit ForkDocuments(std::shared_ptr<ForkLink>& link) : link_(link) {}
    std::shared_ptr<OfficeDocument> open(const std::string& fileName) override;

  private:
    std::shared_ptr<ForkLink>& link_;
    friend class ForkApplication;
    std::string lastOpened_;
};

// One fresh office: a fork of the warm host.
class ForkApplication : public OfficeApplication {
  public:
    explicit ForkApplication(std::shared_ptr<ForkLink> link);
    ~ForkApplication() override;

    void setVisible(bool visible) override;
    void setScreenUpdating(bool on) override;
    OfficeOptions& options() override { return options_; }
    OfficeDocuments& documents() override { return documents_; }
    void run(const std::string& macroName) override;
    std::shared_ptr<OfficeDocument> activeDocument() override;
    void quit() override;

  private:
    std::shared_ptr<ForkLink> link_;
    ForkOptions options_;
    ForkDocuments documents_;
};

}  // namespace pravelo::platform::libreoffice
