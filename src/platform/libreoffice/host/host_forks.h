#pragma once

#include <sys/types.h>

#include <chrono>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/libreoffice/host/profile_view.h"
#include "platform/libreoffice/office_options.h"

namespace pravelo::platform::libreoffice {

// The forks of the office host: each a fresh office with a folder and a
// profile view of its own, serving the program on a socket; reaped, and what
// each leaves removed. After each one handed out the next is forked ahead, so
// its start overlaps the document in hand; one not asked for soon is ended.
class HostForks {
  public:
    struct Setup {
        std::filesystem::path root;      // the host's private folder
        std::filesystem::path profile;   // the profile the office started on
        std::filesystem::path snapshot;  // for the copy view
        ProfileView view = ProfileView::Copy;
        LibreOfficeOptions options;
        com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> context;
    };
    explicit HostForks(Setup setup) : setup_(std::move(setup)) {}

    struct Made {
        pid_t pid = -1;
        int socket = -1;  // the program's end, for the caller to pass on and close
        std::string failure{};
    };
    // Forks the office now (the caller makes sure it has one thread). The
    // fork closes `control` and never returns here.
    Made make(int control);
    // The fork made ahead, if there is one; the next is then wanted.
    std::optional<Made> takeAhead();
    // Makes the fork ahead when one is wanted and none may disturb it (the
    // copy view shares the profile path, so only while no fork lives), and
    // ends one left unused too long. Only with one thread.
    void keepAhead(int control);
    // Whether the host should come back soon to do so.
    bool aheadPending() const { return (aheadWanted_ && !ahead_) || ahead_.has_value(); }
    // Only a fork not yet reaped: its pid cannot belong to anyone else.
    void kill(pid_t pid) const;
    // Reaps the forks that ended (or waits for this one) and cleans up after them.
    void reapEnded();
    void reap(pid_t pid);
    void endAll();
    bool inFork() const { return inFork_; }

  private:
    [[noreturn]] void serve(int control, int socket, const std::filesystem::path& folder);
    void finish(const std::filesystem::path& folder, int status);
    void dropAhead();

    Setup setup_;
    std::map<pid_t, std::filesystem::path> forks_;
    int count_ = 0;
    bool inFork_ = false;
    std::optional<Made> ahead_;
    std::chrono::steady_clock::time_point aheadSince_;
    bool aheadWanted_ = false;
};

}  // namespace pravelo::platform::libreoffice
