// Pravelo.exe itself, started as a user would start it, with the stand-in
// Word registered: three documents, the second one fails.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/win32/text_convert.h"
#include "platform/win32/win32_main_form.h"
#include "wait_until.h"
#include "win32_test_support.h"
#include "word_record.h"

namespace pravelo {
namespace {

using Form = platform::win32::Win32MainForm;
using platform::win32::testing::readBytes;
using platform::win32::testing::writeBytes;
using testing::waitUntil;

struct FindWindowOf {
    DWORD pid;
    HWND found = nullptr;
};

HWND mainWindowOf(DWORD pid) {
    FindWindowOf search{pid};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<FindWindowOf*>(data);
            DWORD owner = 0;
            wchar_t className[64] = L"";
            GetWindowThreadProcessId(window, &owner);
            GetClassNameW(window, className, 64);
            if (owner != search->pid || std::wstring(className) != L"PraveloMainForm") return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Another process's control answers WM_GETTEXT; GetWindowText would not ask it.
std::string textOf(HWND control) {
    const auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied =
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return platform::win32::fromWide(text);
}

// Pravelo.exe copied into a fresh folder (its settings file and log go beside
// it), started in the documents' folder with the stand-in Word registered.
class PraveloExe : public ::testing::Test {
  protected:
    PraveloExe() {
        CopyFileW(
            platform::win32::toWide(platform::win32::testing::programFolder() + "\\Pravelo.exe")
                .c_str(),
            platform::win32::toWide(program).c_str(), FALSE);
        CreateDirectoryW(platform::win32::toWide(documents).c_str(), nullptr);
        platform::win32::testing::registerWordStandIn(platform::win32::testing::wordStandInPath());
    }
    ~PraveloExe() override {
        if (started.hProcess != nullptr) {
            TerminateProcess(started.hProcess, 1);
            CloseHandle(started.hThread);
            CloseHandle(started.hProcess);
        }
        platform::win32::testing::unregisterWordStandIn();
    }

    void start() {
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", platform::win32::toWide(record).c_str());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + platform::win32::toWide(program) + L"\"";
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   platform::win32::toWide(documents).c_str(), &startup, &started));
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", nullptr);
        ASSERT_TRUE(waitUntil(
            [&] {
                // Shown once its start-up sequence has run.
                window = mainWindowOf(started.dwProcessId);
                return window != nullptr && IsWindowVisible(window);
            },
            std::chrono::seconds(30)));
    }
    HWND control(int id) const { return GetDlgItem(window, id); }
    void runAll(std::size_t documentCount) {
        HWND files = control(Form::IdFile1);
        ASSERT_TRUE(waitUntil(
            [&] { return SendMessageW(files, LB_GETCOUNT, 0, 0) == LRESULT(documentCount); },
            std::chrono::seconds(10)));
        SendMessageW(files, LB_SETSEL, TRUE, -1);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(Form::IdCommand1, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control(Form::IdCommand1)));
    }

    platform::win32::testing::TempFolder root;
    const std::string program = root / "Pravelo.exe";
    const std::string documents = root / "dokumenter";
    const std::string record = root / "record.txt";
    PROCESS_INFORMATION started{};
    HWND window = nullptr;
};

TEST_F(PraveloExe, ThreeDocumentsTheSecondFailing) {
    const std::vector<std::string> paths{documents + "\\a.doc", documents + "\\b fail.doc",
                                         documents + "\\c æøå.doc"};
    for (const auto& path : paths) writeBytes(path, "indhold\r\n");
    start();
    runAll(3);
    // The error list is shown only by a report with failures.
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(control(Form::IdText2)) != FALSE; },
                          std::chrono::seconds(90)));

    const std::string errors = textOf(control(Form::IdText2));
    EXPECT_NE(errors.find(", Err: " + paths[1] + "\r\n2 fil(er) er editeret!\r\n"),
              std::string::npos)
        << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(started.hProcess, 15000), WAIT_OBJECT_0);

    const std::string log = readBytes(root / "Pravelo.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find(", 5792, " + platform::win32::utf8ToAnsi(paths[1]) +
                       ", The file appears to be corrupted.\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(readBytes(paths[0]), "indhold\r\nMakro MOLVARIKtilret\r\n");
    EXPECT_EQ(readBytes(paths[1]), "indhold\r\n");
    EXPECT_EQ(readBytes(paths[2]), "indhold\r\nMakro MOLVARIKtilret\r\n");
    EXPECT_EQ(testing::wordProcessesInOrder(record).size(), 3u);
    EXPECT_EQ(testing::runningStandIns(), 0);
}

TEST_F(PraveloExe, KilledDuringAMacroLeavesNoWordBehind) {
    writeBytes(documents + "\\a.doc", "indhold\r\n");
    start();
    SendMessageW(control(Form::IdText1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Haenger"));
    runAll(1);
    ASSERT_TRUE(waitUntil(
        [&] { return readBytes(record).find("Application.Run \"Haenger\"") != std::string::npos; },
        std::chrono::seconds(60)));
    EXPECT_EQ(testing::runningStandIns(), 1);
    TerminateProcess(started.hProcess, 1);
    WaitForSingleObject(started.hProcess, 5000);
    EXPECT_TRUE(
        waitUntil([] { return testing::runningStandIns() == 0; }, std::chrono::seconds(10)));
    EXPECT_EQ(readBytes(documents + "\\a.doc"), "indhold\r\n");
}

}  // namespace
}  // namespace pravelo
