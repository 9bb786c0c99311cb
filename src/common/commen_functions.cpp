#include "common/commen_functions.h"

#include <exception>

namespace pravelo::common {

std::string CommenFunctions::BuildWindowCaption() const {
    const auto& v = platform_.version;
    return v.productName + ". R" + std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
           std::to_string(v.revision) + " by " + v.legalCopyright + v.companyName;
}

void CommenFunctions::CloseProgram() {
    platform_.form.unload();
}

void CommenFunctions::ShowStatus(const std::string& text) {
    platform_.form.StatusPanel1().setText(text);
}

std::string CommenFunctions::StripQuotes(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    std::string result = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (result.size() >= 2 && result.front() == '"' && result.back() == '"') {
        result = result.substr(1, result.size() - 2);
    }
    return result;
}

bool CommenFunctions::FileExists(const std::string& path) const {
    try {
        std::string p = StripQuotes(path);
        if (!p.empty() && p.back() == platform_.machine.pathSeparator()) p.pop_back();
        platform_.files.openForInput(p);  // closed again as the reader goes out of scope
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace pravelo::common
