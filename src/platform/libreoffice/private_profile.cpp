#include "platform/libreoffice/private_profile.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/libreoffice/office_errors.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {
namespace {

std::string item(const char* path, const char* prop, const char* value) {
    return std::string("<item oor:path=\"") + path + "\"><prop oor:name=\"" + prop +
           "\" oor:op=\"fuse\"><value>" + value + "</value></prop></item>\n";
}

}  // namespace

std::string seededRegistry(const std::string& productVersion) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
        "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n";
    // Marks the profile as set up, so the office neither copies its presets over
    // the seeded macros nor repeats its first-start checks.
    xml += item("/org.openoffice.Setup/Office", "ooSetupInstCompleted", "true");
    xml += item("/org.openoffice.Setup/Office", "FirstRun", "false");
    xml += item("/org.openoffice.Setup/Product", "ooSetupLastVersion", productVersion.c_str());
    xml += item("/org.openoffice.Office.Common/Misc", "FirstRun", "false");
    xml += item("/org.openoffice.Office.Common/Misc", "ShowTipOfTheDay", "false");
    // Macros stored in a document are refused without asking.
    xml += item("/org.openoffice.Office.Common/Security/Scripting", "MacroSecurityLevel", "3");
    xml += item("/org.openoffice.Office.Common/Security/Scripting", "WarnAlienFormat", "false");
    xml += item("/org.openoffice.Office.Linguistic/SpellChecking", "IsSpellAuto", "false");
    xml += item("/org.openoffice.Office.Linguistic/GrammarChecking", "IsAutoCheck", "false");
    xml += item("/org.openoffice.Office.Recovery/AutoSave", "Enabled", "false");
    xml += item("/org.openoffice.Office.Recovery/RecoveryInfo", "Enabled", "false");
    xml += item("/org.openoffice.Office.Common/Save/Document", "CreateBackup", "false");
    xml += "</oor:items>\n";
    return xml;
}

std::string fileUrl(const fs::path& absolute) {
    static const char* hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char ch : absolute.string()) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '~' ||
                           c == '/';
        if (plain) {
            url += ch;
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 0xF];
        }
    }
    return url;
}

PrivateProfile::PrivateProfile(const fs::path& tempParent, const fs::path& userProfile,
                               const std::string& productVersion,
                               const PrivateProfile* warmTemplate) {
    std::string pattern = (tempParent / "pravelo-office-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw Error(errors::CannotStartOffice, "Cannot create a private office profile in " +
                                                   tempParent.string() + ": " +
                                                   std::strerror(errno));
    }
    root_ = pattern;
    try {
        const fs::path user = root_ / "user";
        fs::create_directories(user);
        if (warmTemplate != nullptr) {
            for (const auto& entry : fs::directory_iterator(warmTemplate->root() / "user")) {
                if (entry.path().filename() == "basic") continue;
                fs::copy(entry.path(), user / entry.path().filename(), fs::copy_options::recursive);
            }
        } else {
            std::ofstream registry(user / "registrymodifications.xcu", std::ios::binary);
            registry << seededRegistry(productVersion);
            registry.close();
            if (!registry) throw fs::filesystem_error("cannot write", user, std::error_code());
        }
        const fs::path macros = userProfile / "basic";
        if (!userProfile.empty() && fs::is_directory(macros)) {
            fs::copy(macros, user / "basic", fs::copy_options::recursive);
        }
    } catch (const fs::filesystem_error& e) {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        throw Error(errors::CannotStartOffice,
                    "Cannot copy My Macros from " + userProfile.string() + ": " + e.what());
    }
}

std::string installedProductVersion(const fs::path& programDir) {
    std::ifstream in(programDir / ".." / "share" / "registry" / "main.xcd", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto prop = text.find("<prop oor:name=\"ooSetupVersion\">");
    if (prop == std::string::npos) return {};
    const auto open = text.find("<value>", prop);
    const auto close = text.find("</value>", open);
    if (open == std::string::npos || close == std::string::npos || close - open > 40) return {};
    return text.substr(open + 7, close - open - 7);
}

PrivateProfile::~PrivateProfile() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string PrivateProfile::url() const {
    return fileUrl(root_);
}

}  // namespace pravelo::platform::libreoffice
