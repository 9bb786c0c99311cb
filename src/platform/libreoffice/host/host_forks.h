#pragma once

#include <sys/types.h>

#include <com/sun/star/uno/XComponentContext.hpp>
#include <filesystem>
#include <map>
#include <string>

#include "platform/libreoffice/host/profile_view.h"
#include "platform/libreoffice/office_options.h"

namespace pravelo::platform::libreoffice {

// The forks of the office host: each a fresh office with a folder and a
// profile view of its own, serving the program on a socket; reaped, and what
// each leaves removed.
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

    Setup setup_;
    std::map<pid_t, std::filesystem::path> forks_;
    int count_ = 0;
    bool inFork_ = false;
};

}  // namespace pravelo::platform::libreoffice
