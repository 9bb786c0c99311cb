#pragma once

#include "platform/archive_store.h"
#include "platform/file_system.h"
#include "platform/machine.h"
#include "platform/main_form.h"
#include "platform/message_boxes.h"
#include "platform/office_application.h"
#include "platform/process_starter.h"
#include "platform/registry.h"
#include "platform/version_record.h"

namespace pravelo::platform {

// Everything the logic reaches outside itself; the app wires the real parts,
// tests wire fakes.
struct Platform {
    const VersionRecord& version;
    Machine& machine;
    FileSystem& files;
    MessageBoxes& messages;
    MainForm& form;
    OfficeLauncher& office;
    ProcessStarter& processes;
    Registry& registry;
    // Where edit runs keep their way back; none keeps no archive.
    ArchiveStore* archive = nullptr;
};

}  // namespace pravelo::platform
