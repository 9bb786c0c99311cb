#include "command_line/run_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "command_line/progress_display.h"
#include "platform/error.h"
#include "posix/temp_folder.h"

namespace pravelo::command_line {
namespace {

namespace fs = std::filesystem;
using platform::posix::testing::TempFolder;

DocumentOutcome outcome(const std::string& path, DocumentResult result,
                        std::optional<std::int32_t> number, const std::string& description,
                        double seconds) {
    DocumentOutcome o;
    o.path = path;
    o.result = result;
    o.errorNumber = number;
    o.description = description;
    o.seconds = seconds;
    return o;
}

const std::vector<DocumentOutcome> kOutcomes{
    outcome("/data/Ærø; \"nye\" breve.doc", DocumentResult::Edited, std::nullopt, "", 1.234),
    outcome("/data/blåbær.doc", DocumentResult::Failed, -2147221164, "Makroen fejlede;\nlinje 2",
            12.006),
    outcome("/data/ikke-nået.doc", DocumentResult::NotReached, std::nullopt, "", 0),
};

TEST(RunReportTest, RowsOpenInADanishSpreadsheetOneLineEach) {
    EXPECT_EQ(ReportText(kOutcomes),
              "\xEF\xBB\xBF"
              "\"Sti\";\"Resultat\";\"Fejlnummer\";\"Beskrivelse\";\"Sekunder\"\r\n"
              "\"/data/Ærø; \"\"nye\"\" breve.doc\";\"Editeret\";\"\";\"\";\"1,23\"\r\n"
              "\"/data/blåbær.doc\";\"Fejl\";\"-2147221164\";\"Makroen fejlede;\\nlinje 2\";"
              "\"12,01\"\r\n"
              "\"/data/ikke-nået.doc\";\"Ikke nået\";\"\";\"\";\"\"\r\n");
    // A macro's own error text that reads as a formula stays text.
    const std::string row = ReportText(
        {outcome("/data/a.doc", DocumentResult::Failed, 1000, "=HYPERLINK(\"http://x\")", 0.5)});
    EXPECT_NE(row.find("\"'=HYPERLINK(\"\"http://x\"\")\""), std::string::npos) << row;
    EXPECT_EQ(AsSpreadsheetText("-1"), "'-1");
    EXPECT_EQ(AsSpreadsheetText("@x"), "'@x");
    EXPECT_EQ(AsSpreadsheetText("Makro"), "Makro");
    EXPECT_EQ(SecondsText(0), "0,00");
    EXPECT_EQ(SecondsText(3601.5), "3601,50");
}

TEST(RunReportTest, IsWrittenWholeOrNotAtAll) {
    TempFolder folder;
    const fs::path report = fs::path(folder.path()) / "rapport æøå.csv";
    WriteReport(report.string(), kOutcomes);
    std::ifstream in(report, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), ReportText(kOutcomes));

    const fs::path missing = fs::path(folder.path()) / "mangler" / "rapport.csv";
    EXPECT_THROW(WriteReport(missing.string(), kOutcomes), platform::Error);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

TEST(ProgressTest, EstimatesTheTimeLeftFromThePaceSoFar) {
    EXPECT_FALSE(SecondsLeft(5, 0, 10).has_value());
    EXPECT_DOUBLE_EQ(*SecondsLeft(20, 4, 10), 30);
    EXPECT_DOUBLE_EQ(*SecondsLeft(20, 10, 10), 0);
    EXPECT_EQ(DurationText(0), "0:00");
    EXPECT_EQ(DurationText(65.4), "1:05");
    EXPECT_EQ(DurationText(3 * 3600 + 62), "3:01:02");
    EXPECT_EQ(LiveLine(4, 10, 1, 30, "/a/b.doc"), "4/10 | 1 fejl | 0:30 tilbage | /a/b.doc");
    EXPECT_EQ(LiveLine(0, 10, 0, std::nullopt, ""), "0/10 | 0 fejl | beregner tid");
}

TEST(ProgressTest, ALongOrControlCharacterPathStaysOnTheLiveLine) {
    const std::string path = "/" + std::string(60, 'x') + "/Æ\nble.doc";
    const std::string line = LiveLine(1, 2, 0, 1, path);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_NE(line.find("...x"), std::string::npos);
    EXPECT_NE(line.find("/Æ\\nble.doc"), std::string::npos);
    EXPECT_EQ(DoneLine(2, 2, kOutcomes[1]),
              "[2/2] Fejl -2147221164 (12,01 s): /data/blåbær.doc: Makroen fejlede;\\nlinje 2");
}

}  // namespace
}  // namespace pravelo::command_line
