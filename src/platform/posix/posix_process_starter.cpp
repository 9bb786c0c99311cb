#include "platform/posix/posix_process_starter.h"

#include <cstdlib>

#include "platform/error.h"
#include "platform/posix/spawn.h"
#include "platform/posix/system_error.h"

namespace pravelo::platform::posix {

namespace {

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

void startDetached(const std::string& program, const std::vector<std::string>& arguments) {
    spawnProgram(program, arguments, {.detached = true});
}

std::vector<std::string> PosixProcessStarter::defaultEditors() {
    return {"gnome-text-editor", "gedit",   "kate",    "kwrite", "mousepad", "pluma", "xed",
            "featherpad",        "leafpad", "l3afpad", "geany",  "scite",    "gvim"};
}

bool PosixProcessStarter::environmentHasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

void PosixProcessStarter::startTextEditor(const std::string& path) {
    if (!options_.hasDisplay()) {
        throw Error(errnum::DeviceUnavailable,
                    "Ingen grafisk skærm fundet (hverken DISPLAY eller WAYLAND_DISPLAY er sat), "
                    "så teksteditoren kan ikke startes");
    }
    // A name beginning with "-" would be read as an option by the editor.
    const std::string argument = path.starts_with('-') ? "./" + path : path;
    std::string tried;
    std::string lastFailure;
    std::int32_t lastNumber = errnum::FileNotFound;
    for (const auto& editor : options_.editors) {
        tried += (tried.empty() ? "" : ", ") + editor;
        const std::string program = options_.lookup(editor);
        if (program.empty()) continue;
        try {
            startDetached(program, {argument});
            return;
        } catch (const Error& e) {
            lastFailure = e.description();
            lastNumber = e.number();
        }
    }
    if (!lastFailure.empty()) throw Error(lastNumber, lastFailure);
    throw Error(errnum::FileNotFound,
                "Ingen grafisk teksteditor fundet (søgte efter " + tried + ")");
}

void PosixProcessStarter::startProgram(const std::string& path) {
    if (path.empty()) throw Error(errnum::FileNotFound, "Intet program angivet");
    std::string program = path;
    if (path.find('/') == std::string::npos) {
        program = options_.lookup(path);
        if (program.empty()) {
            throw Error(errnum::FileNotFound, "Programmet " + quoted(path) + " findes ikke");
        }
    }
    startDetached(program, {});
}

}  // namespace pravelo::platform::posix
