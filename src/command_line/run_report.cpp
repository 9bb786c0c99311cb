#include "command_line/run_report.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "platform/error.h"
#include "word_engine/log_escape.h"

namespace pravelo::command_line {

namespace fs = std::filesystem;

std::string ResultText(DocumentResult result) {
    switch (result) {
        case DocumentResult::Edited:
            return "Editeret";
        case DocumentResult::Failed:
            return "Fejl";
        case DocumentResult::NotReached:
            break;
    }
    return "Ikke nået";
}

std::string SecondsText(double seconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", std::isfinite(seconds) ? seconds : 0.0);
    std::string text = buffer;
    for (char& c : text)
        if (c == '.') c = ',';
    return text;
}

std::string AsSpreadsheetText(const std::string& text) {
    // A spreadsheet takes a field that starts like a formula for one, quoted
    // or not; a macro's error text is not the user's to run.
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string::npos)
        return "'" + text;
    return text;
}

std::string ReportRow(const std::vector<std::string>& fields) {
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) row += ';';
        row += '"';
        for (const char c : word_engine::EscapeControls(fields[i])) {
            if (c == '"') row += '"';
            row += c;
        }
        row += '"';
    }
    return row + "\r\n";
}

std::string ReportText(const std::vector<DocumentOutcome>& outcomes) {
    std::string text = "\xEF\xBB\xBF";
    text += ReportRow({"Sti", "Resultat", "Fejlnummer", "Beskrivelse", "Sekunder"});
    for (const auto& outcome : outcomes) {
        const bool reached = outcome.result != DocumentResult::NotReached;
        text += ReportRow({AsSpreadsheetText(outcome.path), ResultText(outcome.result),
                           outcome.errorNumber ? std::to_string(*outcome.errorNumber) : "",
                           AsSpreadsheetText(outcome.description),
                           reached ? SecondsText(outcome.seconds) : ""});
    }
    return text;
}

void WriteReport(const std::string& path, const std::vector<DocumentOutcome>& outcomes) {
    const fs::path target(std::u8string(path.begin(), path.end()));
    fs::path temporary = target;
    temporary += ".tmp";
    const std::string failure = "Rapporten kan ikke skrives: " + path;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        const std::string text = ReportText(outcomes);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw platform::Error(platform::errnum::FileAccess, failure);
        }
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw platform::Error(platform::errnum::FileAccess, failure + " (" + ec.message() + ")");
    }
}

}  // namespace pravelo::command_line
