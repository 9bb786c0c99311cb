#pragma once

#include "app/program_logic.h"
#include "platform/platform.h"
#include "platform/version_record.h"

namespace pravelo::app {

// One platform's real parts, the Platform made of them, and the logic over it,
// connected to the form.
template <typename Machine, typename Files, typename Processes, typename Registry, typename Office,
          typename Archive, typename Messages, typename Form>
struct WiredProgram {
    WiredProgram()
        : platform{platform::programVersionRecord(),
                   machine,
                   files,
                   messages,
                   form,
                   office,
                   processes,
                   registry,
                   &archive},
          logic(platform) {
        logic.connect(form, machine);
    }
    WiredProgram(const WiredProgram&) = delete;
    WiredProgram& operator=(const WiredProgram&) = delete;

    Machine machine;
    Files files;
    Processes processes;
    Registry registry;
    Office office;
    Archive archive;
    Messages messages;
    Form form;
    platform::Platform platform;
    ProgramLogic logic;
};

}  // namespace pravelo::app
