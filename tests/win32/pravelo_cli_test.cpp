// pravelo-cli.exe as a script runs it, with the stand-in Word registered: the
// exit code a script gets, the report, the log beside the program, and Ctrl+C
// in its console.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/win32/console_output.h"
#include "platform/win32/text_convert.h"
#include "wait_until.h"
#include "win32_test_support.h"
#include "word_record.h"

namespace pravelo {
namespace {

using platform::win32::toWide;
using platform::win32::testing::readBytes;
using platform::win32::testing::writeBytes;
using namespace std::chrono_literals;

// Ctrl+C in the console of the process, pressed by press_ctrl_c.cpp's program.
bool pressCtrlC(DWORD processId) {
    std::wstring command =
        L"\"" + toWide(platform::win32::testing::programFolder() + "\\pravelo_press_ctrl_c.exe") +
        L"\" " + std::to_wstring(processId);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION presser{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &presser))
        return false;
    DWORD code = 1;
    if (WaitForSingleObject(presser.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(presser.hProcess, &code);
    else
        TerminateProcess(presser.hProcess, 1);
    CloseHandle(presser.hThread);
    CloseHandle(presser.hProcess);
    return code == 0;
}

class PraveloCli : public ::testing::Test {
  protected:
    PraveloCli() {
        CopyFileW(toWide(platform::win32::testing::programFolder() + "\\pravelo-cli.exe").c_str(),
                  toWide(program).c_str(), FALSE);
        CreateDirectoryW(toWide(documents).c_str(), nullptr);
        platform::win32::testing::registerWordStandIn(platform::win32::testing::wordStandInPath());
    }
    ~PraveloCli() override {
        SetEnvironmentVariableW(L"PRAVELO_WORD_MACRO_MS", nullptr);
        platform::win32::testing::unregisterWordStandIn();
    }

    // Starts it with its output and errors in files; with CREATE_NO_WINDOW in a
    // console of its own, as in a user's console window, without showing one.
    PROCESS_INFORMATION start(const std::vector<std::string>& arguments, DWORD flags = 0) {
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
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, flags, nullptr,
                       toWide(documents).c_str(), &startup, &started);
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", nullptr);
        CloseHandle(out);
        CloseHandle(err);
        return started;
    }
    // Waits for it to end; the exit code.
    static DWORD finish(const PROCESS_INFORMATION& started) {
        if (started.hProcess == nullptr) return 9999;
        DWORD code = 9998;
        if (WaitForSingleObject(started.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(started.hProcess, &code);
        else
            TerminateProcess(started.hProcess, 1);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        return code;
    }
    // Runs it to the end; the exit code.
    DWORD run(const std::vector<std::string>& arguments) { return finish(start(arguments)); }
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

// Ctrl+C in its console while two documents are open in their Words: those two
// are finished and saved whole, none other is begun, it exits 130, no Word is
// left, and the two can be put back. Ctrl+Break and closing the console ask the
// same, but under Wine neither reaches a handler (Ctrl+Break is not sent; a
// closed console's processes are ended outright), so Ctrl+C stands for all three.
TEST_F(PraveloCli, CtrlCFinishesTheDocumentsInHandStartsNoOtherAndExits130) {
    std::vector<std::string> paths;
    for (const char* name : {"1.doc", "2.doc", "3.doc", "4.doc", "5.doc", "6.doc"}) {
        paths.push_back(documents + "\\" + name);
        writeBytes(paths.back(), "indhold\r\n");
    }
    const std::string report = root / "rapport.csv";
    SetEnvironmentVariableW(L"PRAVELO_WORD_MACRO_MS", L"2000");
    const PROCESS_INFORMATION started =
        start({"--makro", "MOLVARIKtilret", "--samtidige", "2", "--rapport", report, documents},
              CREATE_NO_WINDOW);
    ASSERT_NE(started.hProcess, nullptr);
    const auto has = [](const std::vector<std::string>& calls, const std::string& prefix) {
        return std::any_of(calls.begin(), calls.end(),
                           [&](const std::string& call) { return call.starts_with(prefix); });
    };
    const auto twoInHand = [&] {
        int running = 0;
        for (const auto& [pid, calls] : testing::readWordRecord(record))
            running += has(calls, "Application.Run") && !has(calls, "Document.Close");
        return running == 2;
    };
    const bool inHand = testing::waitUntil(twoInHand, 60s);
    const std::size_t beforeStop = readBytes(record).size();
    const bool pressed = inHand && pressCtrlC(started.dwProcessId);
    const DWORD code = finish(started);
    ASSERT_TRUE(inHand) << "never two documents in hand\n" << readBytes(record);
    ASSERT_TRUE(pressed) << "Ctrl+C did not reach its console";
    EXPECT_EQ(code, 130u) << output("out.txt") << output("err.txt");

    const std::string calls = readBytes(record);
    EXPECT_EQ(calls.find("Documents.Open", beforeStop), std::string::npos)
        << "a document begun after Ctrl+C\n"
        << calls;
    int edited = 0;
    for (const auto& path : paths) {
        const bool begun = calls.find("Documents.Open \"" + path + "\"") != std::string::npos;
        EXPECT_EQ(readBytes(path), begun ? "indhold\r\nMakro MOLVARIKtilret\r\n" : "indhold\r\n")
            << path;
        edited += begun;
    }
    EXPECT_EQ(edited, 2) << calls;
    EXPECT_EQ(testing::runningStandIns(), 0);
    EXPECT_NE(output("err.txt").find(encoded("Afbrudt: ingen nye dokumenter blev påbegyndt.")),
              std::string::npos)
        << output("err.txt");
    EXPECT_NE(output("out.txt").find(encoded("2 editeret, 0 fejlede, 4 ikke nået.")),
              std::string::npos)
        << output("out.txt");
    const std::string rows = readBytes(report);
    std::size_t notReached = 0;
    for (auto at = rows.find(";\"Ikke nået\";"); at != std::string::npos;
         at = rows.find(";\"Ikke nået\";", at + 1))
        ++notReached;
    EXPECT_EQ(notReached, 4u) << rows;

    EXPECT_EQ(run({"--fortryd"}), 0u) << output("out.txt") << output("err.txt");
    for (const auto& path : paths) EXPECT_EQ(readBytes(path), "indhold\r\n") << path;
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
