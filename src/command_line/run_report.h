#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pravelo::command_line {

enum class DocumentResult { Edited, Failed, NotReached };

// How one document of a run went.
struct DocumentOutcome {
    std::string path;
    DocumentResult result = DocumentResult::NotReached;
    // The first failure the worker logged, when it failed.
    std::optional<std::int32_t> errorNumber;
    std::string description;
    double seconds = 0;
};

// "Editeret", "Fejl" or "Ikke nået".
std::string ResultText(DocumentResult result);

// "12,35": seconds with two decimals and a decimal comma, as a Danish
// spreadsheet reads a number.
std::string SecondsText(double seconds);

// One row of the report: every field quoted (quotes inside doubled), separated
// by semicolons, ended by CR LF. Control characters are escaped as in the log.
std::string ReportRow(const std::vector<std::string>& fields);

// Text a spreadsheet shows as written, not as a formula to work out.
std::string AsSpreadsheetText(const std::string& text);

// The whole report: a byte order mark, the heading row and one row per document.
std::string ReportText(const std::vector<DocumentOutcome>& outcomes);

// Writes the report beside its final name and then puts it in place, so the
// file is whole or absent. Throws platform::Error with the Danish reason.
void WriteReport(const std::string& path, const std::vector<DocumentOutcome>& outcomes);

}  // namespace pravelo::command_line
