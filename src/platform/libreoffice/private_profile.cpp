#include "platform/libreoffice/private_profile.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/libreoffice/leftovers.h"
#include "platform/libreoffice/office_errors.h"
#include "platform/posix/system_error.h"

namespace fs = std::filesystem;

namespace pravelo::platform::libreoffice {
namespace {

std::string item(const char* path, const char* prop, const char* value) {
    return std::string("<item oor:path=\"") + path + "\"><prop oor:name=\"" + prop +
           "\" oor:op=\"fuse\"><value>" + value + "</value></prop></item>\n";
}

std::string attribute(const std::string& element, const std::string& name) {
    const auto at = element.find(" " + name + "=\"");
    if (at == std::string::npos) return {};
    const auto from = at + name.size() + 3;
    return element.substr(from, element.find('"', from) - from);
}

std::string withAttribute(std::string element, const std::string& name, const std::string& value) {
    const auto at = element.find(" " + name + "=\"");
    if (at == std::string::npos) return element;
    const auto from = at + name.size() + 3;
    return element.replace(from, element.find('"', from) - from, value);
}

std::string urlDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A library the user links from a folder of their own would be written back
// there when the office ends. Each one becomes a plain library of the private
// copy, so the user's folders are only ever read.
void adoptLinkedLibraries(const fs::path& basic, const char* index, const char* libraryFile) {
    const fs::path indexPath = basic / index;
    std::ifstream in(indexPath, std::ios::binary);
    if (!in) return;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::string out;
    std::size_t pos = 0;
    bool changed = false;
    while (true) {
        const auto start = text.find("<library:library ", pos);
        if (start == std::string::npos) break;
        const auto end = text.find('>', start);
        if (end == std::string::npos) break;
        std::string element = text.substr(start, end + 1 - start);
        const std::string name = attribute(element, "library:name");
        const std::string href = attribute(element, "xlink:href");
        if (attribute(element, "library:link") == "true" && href.starts_with("file://") &&
            !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..") {
            fs::path source = urlDecoded(href.substr(7));
            if (source.filename().empty()) source = source.parent_path();
            if (source.filename() == libraryFile) source = source.parent_path();
            const fs::path copy = basic / name;
            std::error_code ec;
            if (!fs::exists(copy)) fs::copy(source, copy, fs::copy_options::recursive, ec);
            // A link to a folder that is gone stays as it is: the office skips it.
            if (ec) {
                out += text.substr(pos, end + 1 - pos);
                pos = end + 1;
                continue;
            }
            element = withAttribute(element, "xlink:href",
                                    "$(USER)/basic/" + name + "/" + libraryFile + "/");
            element = withAttribute(element, "library:link", "false");
            changed = true;
        }
        // Our copy takes the helper module that runs a macro.
        if (attribute(element, "library:readonly") == "true") {
            element = withAttribute(element, "library:readonly", "false");
            changed = true;
        }
        out += text.substr(pos, start - pos) + element;
        pos = end + 1;
    }
    if (!changed) return;
    out += text.substr(pos);
    std::ofstream(indexPath, std::ios::binary | std::ios::trunc) << out;
}

// The folders of the libraries an index links from elsewhere.
std::vector<fs::path> linkedFolders(const fs::path& indexPath) {
    std::ifstream in(indexPath, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<fs::path> folders;
    for (auto start = text.find("<library:library "); start != std::string::npos;
         start = text.find("<library:library ", start + 1)) {
        const std::string element = text.substr(start, text.find('>', start) - start);
        const std::string href = attribute(element, "xlink:href");
        if (attribute(element, "library:link") == "true" && href.starts_with("file://"))
            folders.emplace_back(urlDecoded(href.substr(7)));
    }
    return folders;
}

// Name, size, and both times of every file below the folder: a rewrite moves
// the change time even when size and modification time are put back.
void stampTree(const fs::path& folder, std::string& stamp) {
    std::error_code ec;
    stamp += folder.string() + '\n';
    for (auto it = fs::recursive_directory_iterator(
             folder, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::end(it); it.increment(ec)) {
        struct stat st {};
        if (::stat(it->path().c_str(), &st) != 0) continue;
        stamp += it->path().lexically_relative(folder).string() + '\t' +
                 std::to_string(st.st_size) + '\t' + std::to_string(st.st_mtim.tv_sec) + '.' +
                 std::to_string(st.st_mtim.tv_nsec) + '\t' + std::to_string(st.st_ctim.tv_sec) +
                 '.' + std::to_string(st.st_ctim.tv_nsec) + '\n';
    }
}

}  // namespace

std::string macroSourcesStamp(const fs::path& userProfile) {
    std::string stamp;
    if (userProfile.empty()) return stamp;
    const fs::path basic = userProfile / "basic";
    stampTree(basic, stamp);
    for (const char* index : {"script.xlc", "dialog.xlc"}) {
        for (fs::path folder : linkedFolders(basic / index)) {
            // The href names the index file of the library, or its folder.
            if (folder.filename().empty()) folder = folder.parent_path();
            if (!fs::is_directory(folder)) folder = folder.parent_path();
            stampTree(folder, stamp);
        }
    }
    return stamp;
}

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
        throw Error(errors::CannotStartOffice, "Kontorpakkens egen profil kan ikke oprettes i " +
                                                   tempParent.string() + ": " +
                                                   posix::danishReason(errno));
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
            if (!registry)
                throw fs::filesystem_error("write", user,
                                           std::make_error_code(std::errc::io_error));
        }
        const fs::path macros = userProfile / "basic";
        if (!userProfile.empty() && fs::is_directory(macros)) {
            fs::copy(macros, user / "basic", fs::copy_options::recursive);
            adoptLinkedLibraries(user / "basic", "script.xlc", "script.xlb");
            adoptLinkedLibraries(user / "basic", "dialog.xlc", "dialog.xlb");
            for (const auto& entry : fs::recursive_directory_iterator(user / "basic"))
                fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write,
                                fs::perm_options::add);
        }
        // The office's own temporary files, gone with the profile.
        fs::create_directory(root_ / "tmp");
        markOwner(root_);
    } catch (const fs::filesystem_error& e) {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
        throw Error(errors::CannotStartOffice, "Mine makroer kan ikke kopieres fra " +
                                                   userProfile.string() + ": " +
                                                   posix::danishReason(e.code().value()));
    }
}

std::string installedProductVersion(const fs::path& programDir) {
    // Read whole in one go: a few megabytes, taken character by character, cost
    // every start tens of milliseconds.
    const fs::path file = programDir / ".." / "share" / "registry" / "main.xcd";
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec) return {};
    std::string text(size, '\0');
    std::ifstream in(file, std::ios::binary);
    in.read(text.data(), static_cast<std::streamsize>(size));
    text.resize(static_cast<std::size_t>(in.gcount()));
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
