#include "about/frm_about.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "platform/error.h"

namespace pravelo::about {

using platform::Registry;

void frmAbout::Form_Load() {
    const auto& v = platform_.version;
    form_.setCaption("Om " + v.productName);
    form_.setVersion("Version " + std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
                     std::to_string(v.revision));
    form_.setTitle(v.productName);
}

void frmAbout::cmdOK_Click() {
    form_.unload();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::StartSysInfo() {
    try {
        std::string path;
        if (GetKeyValue(Registry::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                        path)) {
            platform_.processes.startProgram(path);
            return;
        }
        if (GetKeyValue(Registry::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location",
                        "MSINFO", path)) {
            path += platform_.machine.pathSeparator();
            path += "MSINFO32.EXE";
            if (platform_.files.isOrdinaryFile(path)) {
                platform_.processes.startProgram(path);
                return;
            }
        }
    } catch (const std::exception&) {
        // every failure ends in the one message below
    }
    platform_.messages.show("System Information Is Unavailable At This Time",
                            platform::MessageIcon::None, platform_.version.productName);
}

bool frmAbout::GetKeyValue(Registry::Key KeyRoot, const std::string& KeyName,
                           const std::string& SubKeyRef, std::string& KeyVal) {
    auto& registry = platform_.registry;
    Registry::Key key = 0;
    if (registry.openKey(KeyRoot, KeyName, 0, KeyAllAccess, key) != 0) {
        KeyVal.clear();
        return false;
    }

    std::vector<unsigned char> buffer(BufferSize, 0);
    std::uint32_t type = 0;
    std::uint32_t size = BufferSize;
    if (registry.queryValue(key, SubKeyRef, type, buffer.data(), size) != 0) {
        KeyVal.clear();
        registry.closeKey(key);
        return false;
    }
    if (size == 0 || size > BufferSize) {
        registry.closeKey(key);
        throw platform::Error(5, "Invalid procedure call or argument");
    }

    buffer.resize(size);
    if (buffer.back() == 0) buffer.pop_back();

    if (type == Registry::TypeString) {
        KeyVal.assign(buffer.begin(), buffer.end());
    } else if (type == Registry::TypeDword) {
        // Most significant byte first, two digits each, so the number reads back exactly.
        std::string hex = "&h";
        for (auto it = buffer.rbegin(); it != buffer.rend(); ++it) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(*it));
            hex += digits;
        }
        KeyVal = hex;
    }
    registry.closeKey(key);
    return true;
}

}  // namespace pravelo::about
