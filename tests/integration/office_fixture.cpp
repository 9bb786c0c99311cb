#include "office_fixture.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "platform/libreoffice/private_profile.h"

namespace fs = std::filesystem;

namespace pravelo::testing {
namespace {

const char* kSoffice = PRAVELO_LO_PROGRAM_DIR "/soffice";

std::string xmlEscape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const char* kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string librariesFile(const char* doctype, const Libraries& libraries, const char* suffix) {
    std::string xml = kXmlHead;
    xml += std::string(
               "<!DOCTYPE library:libraries PUBLIC \"-//OpenOffice.org//DTD OfficeDocument "
               "1.0//EN\" \"libraries.dtd\">\n") +
           "<library:libraries xmlns:library=\"http://openoffice.org/2000/library\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n";
    for (const auto& [name, modules] : libraries) {
        xml += " <library:library library:name=\"" + name + "\" xlink:href=\"$(USER)/basic/" +
               name + "/" + suffix + "\" xlink:type=\"simple\" library:link=\"false\"/>\n";
    }
    (void)doctype;
    return xml + "</library:libraries>\n";
}

std::string libraryFile(const std::string& name,
                        const std::map<std::string, std::string>& modules) {
    std::string xml = kXmlHead;
    xml +=
        "<!DOCTYPE library:library PUBLIC \"-//OpenOffice.org//DTD OfficeDocument 1.0//EN\" "
        "\"library.dtd\">\n<library:library xmlns:library=\"http://openoffice.org/2000/library\" "
        "library:name=\"" +
        name +
        "\" library:readonly=\"false\" "
        "library:passwordprotected=\"false\">\n";
    for (const auto& [module, source] : modules) {
        xml += " <library:element library:name=\"" + module + "\"/>\n";
    }
    return xml + "</library:library>\n";
}

std::string moduleFile(const std::string& name, const std::string& source) {
    return std::string(kXmlHead) +
           "<!DOCTYPE script:module PUBLIC \"-//OpenOffice.org//DTD OfficeDocument 1.0//EN\" "
           "\"module.dtd\">\n<script:module xmlns:script=\"http://openoffice.org/2000/script\" "
           "script:name=\"" +
           name + "\" script:language=\"StarBasic\">" + xmlEscape(source) + "</script:module>\n";
}

// Runs a program and returns its standard output; stderr is dropped.
std::string capture(const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::close(out[0]);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    std::array<char, 4096> buffer;
    ssize_t n;
    while ((n = ::read(out[0], buffer.data(), buffer.size())) > 0) text.append(buffer.data(), n);
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return text;
}

// A seeded profile for the office's own command-line conversions.
fs::path conversionProfile(const fs::path& folder) {
    const fs::path user = folder / "user";
    if (!fs::exists(user / "registrymodifications.xcu")) {
        fs::create_directories(user);
        writeFile(user / "registrymodifications.xcu",
                  platform::libreoffice::seededRegistry(
                      platform::libreoffice::installedProductVersion(PRAVELO_LO_PROGRAM_DIR)));
    }
    return folder;
}

std::vector<std::string> conversionArgs(const fs::path& profile) {
    return {kSoffice, "--headless", "--norestore",
            "-env:UserInstallation=" + platform::libreoffice::fileUrl(profile)};
}

}  // namespace

TempFolder::TempFolder(const std::string& prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void writeUserProfile(const fs::path& userFolder, const Libraries& libraries) {
    const fs::path basic = userFolder / "basic";
    fs::create_directories(basic);
    writeFile(basic / "script.xlc", librariesFile("script", libraries, "script.xlb/"));
    writeFile(basic / "dialog.xlc", librariesFile("dialog", libraries, "dialog.xlb/"));
    for (const auto& [library, modules] : libraries) {
        fs::create_directories(basic / library);
        writeFile(basic / library / "script.xlb", libraryFile(library, modules));
        writeFile(basic / library / "dialog.xlb", libraryFile(library, {}));
        for (const auto& [module, source] : modules) {
            writeFile(basic / library / (module + ".xba"), moduleFile(module, source));
        }
    }
}

std::string folderDigest(const fs::path& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string line = fs::relative(entry.path(), folder).string();
        if (entry.is_regular_file())
            line += ":" + std::to_string(std::hash<std::string>{}(readFile(entry.path())));
        entries.push_back(line);
    }
    std::sort(entries.begin(), entries.end());
    std::string all;
    for (const auto& e : entries) all += e + "\n";
    return all;
}

const std::map<std::string, std::string>& fixtureTexts() {
    static const std::map<std::string, std::string> texts{
        {"first", "Første dokument om blåbærgrød."},
        {"second", "Second document."},
    };
    return texts;
}

fs::path wordFixtures() {
    // One conversion per test run: ctest hands every test process the same
    // folder; a lock keeps parallel tests from converting at once.
    static const fs::path folder = [] {
        const char* shared = std::getenv("PRAVELO_TEST_FIXTURES");
        fs::path dir =
            shared != nullptr && *shared != '\0'
                ? fs::path(shared)
                : fs::temp_directory_path() / ("pravelo-fixtures-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        const int lock = ::open((dir / ".lock").c_str(), O_CREAT | O_RDWR, 0600);
        ::flock(lock, LOCK_EX);
        if (!fs::exists(dir / "ready")) {
            std::vector<std::string> args = conversionArgs(conversionProfile(dir / "profile"));
            args.insert(args.end(), {"--convert-to", "doc", "--outdir", dir.string()});
            for (const auto& [name, text] : fixtureTexts()) {
                writeFile(dir / (name + ".txt"), text + "\n");
                args.push_back((dir / (name + ".txt")).string());
            }
            capture(args);
            for (const auto& [name, text] : fixtureTexts()) {
                if (!fs::exists(dir / (name + ".doc"))) {
                    throw std::runtime_error("the office did not convert " + name);
                }
            }
            writeFile(dir / "ready", "");
        }
        ::flock(lock, LOCK_UN);
        ::close(lock);
        return dir;
    }();
    return folder;
}

void writeOdtWithMacros(const fs::path& path, const std::string& text,
                        const std::string& basicSource, const std::string& onLoadMacro) {
    const TempFolder parts("pravelo-odt-");
    const fs::path& p = parts.path();
    fs::create_directories(p / "META-INF");
    fs::create_directories(p / "Basic" / "Standard");
    writeFile(p / "mimetype", "application/vnd.oasis.opendocument.text");
    writeFile(p / "META-INF" / "manifest.xml",
              std::string(kXmlHead) +
                  "<manifest:manifest "
                  "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
                  "manifest:version=\"1.2\">\n"
                  " <manifest:file-entry manifest:full-path=\"/\" "
                  "manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>\n"
                  " <manifest:file-entry manifest:full-path=\"content.xml\" "
                  "manifest:media-type=\"text/xml\"/>\n"
                  " <manifest:file-entry manifest:full-path=\"Basic/script-lc.xml\" "
                  "manifest:media-type=\"text/xml\"/>\n"
                  " <manifest:file-entry manifest:full-path=\"Basic/Standard/script-lb.xml\" "
                  "manifest:media-type=\"text/xml\"/>\n"
                  " <manifest:file-entry manifest:full-path=\"Basic/Standard/Module1.xml\" "
                  "manifest:media-type=\"text/xml\"/>\n"
                  "</manifest:manifest>\n");
    writeFile(p / "content.xml",
              std::string(kXmlHead) +
                  "<office:document-content "
                  "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                  "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
                  "xmlns:script=\"urn:oasis:names:tc:opendocument:xmlns:script:1.0\" "
                  "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                  "xmlns:ooo=\"http://openoffice.org/2004/office\" office:version=\"1.2\">"
                  "<office:scripts><office:event-listeners><script:event-listener "
                  "script:language=\"ooo:script\" script:event-name=\"dom:load\" "
                  "xlink:href=\"vnd.sun.star.script:Standard.Module1." +
                  onLoadMacro +
                  "?language=Basic&amp;location=document\" xlink:type=\"simple\"/>"
                  "</office:event-listeners></office:scripts>"
                  "<office:body><office:text><text:p>" +
                  xmlEscape(text) +
                  "</text:p></office:text></office:body></office:document-content>\n");
    writeFile(p / "Basic" / "script-lc.xml",
              std::string(kXmlHead) +
                  "<library:libraries xmlns:library=\"http://openoffice.org/2000/library\" "
                  "xmlns:xlink=\"http://www.w3.org/1999/xlink\"><library:library "
                  "library:name=\"Standard\" library:link=\"false\"/></library:libraries>\n");
    writeFile(p / "Basic" / "Standard" / "script-lb.xml",
              libraryFile("Standard", {{"Module1", ""}}));
    writeFile(p / "Basic" / "Standard" / "Module1.xml", moduleFile("Module1", basicSource));
    const std::string zip = "cd '" + p.string() + "' && zip -qX0 doc.odt mimetype && " +
                            "zip -qXr doc.odt content.xml META-INF Basic";
    if (std::system(zip.c_str()) != 0) throw std::runtime_error("zip failed");
    fs::copy_file(p / "doc.odt", path);
}

std::string officeText(const fs::path& document) {
    // A profile per process: a second office on a profile in use would hand
    // its work to the first and print nothing.
    static const TempFolder profile("pravelo-cat-");
    auto args = conversionArgs(conversionProfile(profile.path()));
    args.insert(args.end(), {"--cat", document.string()});
    return capture(args);
}

std::vector<pid_t> processesMentioning(const std::string& text) {
    std::vector<pid_t> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const auto name = entry.path().filename().string();
        if (!std::all_of(name.begin(), name.end(), ::isdigit)) continue;
        std::string cmdline = readFile(entry.path() / "cmdline");
        std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
        if (cmdline.find(text) != std::string::npos) found.push_back(std::stoi(name));
    }
    return found;
}

std::string readBytes(const fs::path& path) {
    return readFile(path);
}

std::vector<pid_t> officeHostsOf(const fs::path& tempFolder) {
    std::vector<pid_t> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        std::error_code linkEc;
        if (fs::read_symlink(entry.path() / "exe", linkEc).filename() != "pravelo-office-host")
            continue;
        if (readFile(entry.path() / "environ").find(tempFolder.string()) == std::string::npos)
            continue;
        found.push_back(std::atoi(entry.path().filename().c_str()));
    }
    return found;
}

std::vector<pid_t> officesOf(const fs::path& tempFolder) {
    auto found = processesMentioning(tempFolder.string());
    for (const pid_t host : officeHostsOf(tempFolder)) {
        const auto id = std::to_string(host);
        std::istringstream forks(readFile("/proc/" + id + "/task/" + id + "/children"));
        for (pid_t fork; forks >> fork;) found.push_back(fork);
    }
    return found;
}

}  // namespace pravelo::testing
