#include "settings/build_pravelo.h"

#include "settings/settings.h"

namespace pravelo::settings {

void BuildPravelo::WriteDefaultSettingsFile() {
    const std::string crlf = "\r\n";
    const std::string stamp = platform_.machine.fileDateTime() + ", ";
    // Eight lines here; the line end the file adds makes the ninth, empty one.
    const std::string text = stamp + crlf + "[Makro]" + crlf + "MOLVARIKtilret" + crlf + crlf +
                             "[DocType]" + crlf + "*.doc" + crlf + "*.dot" + crlf + crlf;
    platform_.files.appendLine(settings_.FileToWrite(".dll"), text);
}

}  // namespace pravelo::settings
