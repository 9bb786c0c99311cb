// pravelo-cli.exe as a script runs it, with the stand-in Word registered: the
// exit code a script gets, the report, the log beside the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/console_output.h"
#include "platform/win32/text_convert.h"
#include "win32_test_support.h"
#include "word_record.h"

namespace pravelo {
namespace {

using platform::win32::toWide;
using platform::win32::testing::readBytes;
using platform::win32::testing::writeBytes;

class PraveloCli : public ::testing::Test {
  protected:
    PraveloCli() {
        CopyFileW(toWide(platform::win32::testing::programFolder() + "\\pravelo-cli.exe").c_str(),
                  toWide(program).c_str(), FALSE);
        CreateDirectoryW(toWide(documents).c_str(), nullptr);
        platform::win32::testing::registerWordStandIn(platform::win32::testing::wordStandInPath());
    }
    ~PraveloCli() override { platform::win32::testing::unregisterWordStandIn(); }

    // Runs it to the end with its output and errors in files; the exit code.
    DWORD run(const std::vector<std::string>& arguments) {
        std::wstring command = L"\"" + toWide(program) + L"\"";
        for (const auto& argument : arguments) command += L" \"" + toWide(argument) + L"\"";
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const auto create = [&](const std::string& path) {
            return CreateFileW(toWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        HANDLE out = create(root / "out.txt");
        HANDLE err = create(root / "err.txt");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = err;
        PROCESS_INFORMATION started{};
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", toWide(record).c_str());
        const BOOL ok = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                       toWide(documents).c_str(), &startup, &started);
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", nullptr);
        CloseHandle(out);
        CloseHandle(err);
        if (!ok) return 9999;
        DWORD code = 9998;
        if (WaitForSingleObject(started.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(started.hProcess, &code);
        else
            TerminateProcess(started.hProcess, 1);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        return code;
    }
    // Text as it should appear in what it wrote: redirected, it writes the
    // console's code page, where a character the code page lacks is "?".
    static std::string encoded(const std::string& utf8) {
        UINT codePage = GetConsoleOutputCP();
        if (codePage == 0) codePage = GetOEMCP();
        if (codePage == CP_UTF8) return utf8;
        const std::wstring wide = toWide(utf8);
        const int size = WideCharToMultiByte(
            codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
        std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                            size, "?", nullptr);
        return bytes;
    }
    std::string output(const std::string& file) const { return readBytes(root / file); }

    platform::win32::testing::TempFolder root;
    const std::string program = root / "pravelo-cli.exe";
    const std::string documents = root / "dokumenter æøå";
    const std::string record = root / "record.txt";
};

TEST_F(PraveloCli, ExitsZeroWhenAllAreEditedAndOneWhenAnyFails) {
    const std::string edited = documents + "\\c æøå.doc";
    const std::string failing = documents + "\\b fail.doc";
    const std::string report = root / "rapport æøå.csv";
    writeBytes(edited, "indhold\r\n");
    EXPECT_EQ(run({"--makro", "MOLVARIKtilret", "--rapport", report, documents}), 0u)
        << output("err.txt");
    EXPECT_EQ(readBytes(edited), "indhold\r\nMakro MOLVARIKtilret\r\n");
    const std::string first = readBytes(report);
    EXPECT_TRUE(first.starts_with("\xEF\xBB\xBF\"Sti\";\"Resultat\";")) << first;
    EXPECT_NE(first.find("\r\n\"" + edited + "\";\"Editeret\";\"\";\"\";"), std::string::npos)
        << first;
    EXPECT_NE(output("out.txt").find(encoded("c æøå.doc")), std::string::npos) << output("out.txt");

    writeBytes(failing, "indhold\r\n");
    EXPECT_EQ(run({"--makro", "MOLVARIKtilret", "--samtidige", "2", "--rapport", report, failing,
                   edited}),
              1u);
    const std::string rows = readBytes(report);
    EXPECT_NE(rows.find("\r\n\"" + failing + "\";\"Fejl\";\"5792\";"), std::string::npos) << rows;
    EXPECT_LT(rows.find(failing), rows.find(edited)) << "the report keeps the order given";
    EXPECT_EQ(readBytes(failing), "indhold\r\n");
    const std::string log = readBytes(root / "Pravelo.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find(", 5792, " + platform::win32::utf8ToAnsi(failing)), std::string::npos)
        << log;
    EXPECT_EQ(testing::runningStandIns(), 0);
}

TEST_F(PraveloCli, BadUsageExitsTwoAndTouchesNothing) {
    const std::string document = documents + "\\a.doc";
    writeBytes(document, "indhold\r\n");
    EXPECT_EQ(run({"--makro", "MOLVARIKtilret", "--ukendt", document}), 2u);
    EXPECT_NE(output("err.txt").find("--ukendt"), std::string::npos) << output("err.txt");
    EXPECT_EQ(run({"--makro", "MOLVARIKtilret", documents + "\\findes ikke æøå.doc"}), 2u);
    EXPECT_NE(output("err.txt").find(encoded("findes ikke æøå.doc")), std::string::npos)
        << output("err.txt");
    EXPECT_EQ(readBytes(document), "indhold\r\n");
    EXPECT_EQ(readBytes(record), "") << "a Word was started";
}

// An edit keeps its way back under %LOCALAPPDATA%, and --fortryd puts the last
// run back, past a document changed by hand since.
TEST_F(PraveloCli, FortrydPutsBackTheLastRunAndReportsADocumentChangedSince) {
    const std::string changed = documents + "\\b æøå.doc";
    const std::vector<std::string> kept{documents + "\\a.doc", documents + "\\c.doc"};
    for (const auto& path : kept) writeBytes(path, "indhold\r\n");
    writeBytes(changed, "indhold\r\n");
    ASSERT_EQ(run({"--makro", "MOLVARIKtilret", documents}), 0u) << output("err.txt");
    EXPECT_EQ(readBytes(changed), "indhold\r\nMakro MOLVARIKtilret\r\n");
    writeBytes(changed, "ændret i hånden\r\n");
    const std::string recorded = readBytes(record);

    EXPECT_EQ(run({"--fortryd"}), 1u) << output("out.txt") << output("err.txt");
    for (const auto& path : kept) EXPECT_EQ(readBytes(path), "indhold\r\n") << path;
    EXPECT_EQ(readBytes(changed), "ændret i hånden\r\n");
    const std::string shown = output("out.txt");
    EXPECT_NE(shown.find(encoded("med makroen MOLVARIKtilret: 3 dokumenter")), std::string::npos)
        << shown;
    EXPECT_NE(shown.find(encoded(std::string("Ikke sat tilbage: ")
                                     .append(changed)
                                     .append(": dokumentet er ændret efter kørslen"))),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find(encoded("2 dokumenter sat tilbage!")), std::string::npos) << shown;
    const std::string log = readBytes(root / "Pravelo.log");
    EXPECT_NE(log.find(std::string(", 1102, ").append(platform::win32::utf8ToAnsi(changed))),
              std::string::npos)
        << log;
    EXPECT_EQ(readBytes(record), recorded) << "--fortryd started a Word";
    EXPECT_EQ(testing::runningStandIns(), 0);
}

// A UTF-8 character is written whole or not yet: a console shows no half of one.
TEST(ConsoleOutput, WritesOnlyWholeCharacters) {
    using platform::win32::wholeCharacters;
    EXPECT_EQ(wholeCharacters("abc"), 3u);
    EXPECT_EQ(wholeCharacters("a\xC3\xA6"), 3u);
    EXPECT_EQ(wholeCharacters("a\xC3"), 1u);
    EXPECT_EQ(wholeCharacters("a\xE2\x80"), 1u);
    EXPECT_EQ(wholeCharacters("a\xE2\x80\xA6"), 4u);
    EXPECT_EQ(wholeCharacters("\xF0\x9F\x98"), 0u);
}

}  // namespace
}  // namespace pravelo
