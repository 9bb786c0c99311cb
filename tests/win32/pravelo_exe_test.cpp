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

    using WordEnvironment = std::vector<std::pair<const wchar_t*, std::string>>;
    void start(const WordEnvironment& wordEnvironment = {}) { start(program, wordEnvironment); }
    // Variables for the stand-in Word, which inherits the program's environment.
    void start(const std::string& exe, const WordEnvironment& wordEnvironment = {}) {
        for (const auto& [name, value] : wordEnvironment)
            SetEnvironmentVariableW(name, platform::win32::toWide(value).c_str());
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", platform::win32::toWide(record).c_str());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + platform::win32::toWide(exe) + L"\"";
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   platform::win32::toWide(documents).c_str(), &startup, &started));
        SetEnvironmentVariableW(L"PRAVELO_WORD_RECORD", nullptr);
        for (const auto& variable : wordEnvironment)
            SetEnvironmentVariableW(variable.first, nullptr);
        ASSERT_TRUE(waitUntil(
            [&] {
                // Shown once its start-up sequence has run.
                window = mainWindowOf(started.dwProcessId);
                return window != nullptr && IsWindowVisible(window);
            },
            std::chrono::seconds(30)));
    }
    HWND control(int id) const { return GetDlgItem(window, id); }
    bool errorListShown() const { return IsWindowVisible(control(Form::IdText2)) != FALSE; }
    bool allEdited() const { return textOf(control(Form::IdCommand2)) == "&Luk"; }
    void closeProgram() {
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(started.hProcess, 15000), WAIT_OBJECT_0);
    }
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

TEST_F(PraveloExe, AUserDocumentArrivingDuringABatchIsLeftToTheUserUntouched) {
    const std::string users = root / "brugerens eget.doc";
    const std::vector<std::string> paths{documents + "\\a.doc", documents + "\\b shellopen.doc"};
    for (const auto& path : {users, paths[0], paths[1]}) writeBytes(path, "indhold\r\n");
    start({{L"PRAVELO_WORD_USER_DOCUMENT", users}});
    runAll(2);
    ASSERT_TRUE(waitUntil([&] { return errorListShown(); }, std::chrono::seconds(60)));
    closeProgram();

    EXPECT_EQ(readBytes(users), "indhold\r\n");
    EXPECT_EQ(readBytes(paths[0]), "indhold\r\nMakro MOLVARIKtilret\r\n");
    EXPECT_EQ(readBytes(paths[1]), "indhold\r\n");
    const std::string log = readBytes(root / "Pravelo.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    // Its Word outlives the program, visible, for the user.
    ASSERT_EQ(testing::runningStandIns(), 1);
    const auto pid = testing::wordProcessesInOrder(record).at(1);
    HANDLE left = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(left, nullptr);
    TerminateProcess(left, 0);
    WaitForSingleObject(left, 5000);
    CloseHandle(left);
}

TEST_F(PraveloExe, ABusyWordEditsEveryDocumentOnceAndAReadOnlyOneFailsAtOnce) {
    const std::vector<std::string> paths{documents + "\\a.doc", documents + "\\b.doc",
                                         documents + "\\c.doc"};
    for (const auto& path : paths) writeBytes(path, "indhold\r\n");
    SetFileAttributesW(platform::win32::toWide(paths[1]).c_str(), FILE_ATTRIBUTE_READONLY);
    start({{L"PRAVELO_WORD_BUSY_MS", "2500"}});
    runAll(3);
    // Well inside the program's limits: the read-only one waits for no Save As.
    const bool reported = waitUntil([&] { return errorListShown(); }, std::chrono::seconds(45));
    SetFileAttributesW(platform::win32::toWide(paths[1]).c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(reported);
    closeProgram();

    EXPECT_EQ(readBytes(paths[0]), "indhold\r\nMakro MOLVARIKtilret\r\n");
    EXPECT_EQ(readBytes(paths[1]), "indhold\r\n");
    EXPECT_EQ(readBytes(paths[2]), "indhold\r\nMakro MOLVARIKtilret\r\n");
    const std::string log = readBytes(root / "Pravelo.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find(", 75, " + platform::win32::utf8ToAnsi(paths[1]) + ", "), std::string::npos)
        << log;
    EXPECT_EQ(testing::runningStandIns(), 0);
}

TEST_F(PraveloExe, KilledWhileWordStartsLeavesNoWordAfterTheNextStart) {
    writeBytes(documents + "\\a.doc", "indhold\r\n");
    start({{L"PRAVELO_WORD_BUSY_MS", "30000"}});
    runAll(1);
    ASSERT_TRUE(
        waitUntil([&] { return testing::runningStandIns() == 1; }, std::chrono::seconds(30)));
    // Killed while it asks the busy Word again and again, before that Word is its own.
    ASSERT_TRUE(waitUntil(
        [&] {
            const std::string calls = readBytes(record);
            return calls.find("creation turned away") != calls.rfind("creation turned away");
        },
        std::chrono::seconds(10)));
    TerminateProcess(started.hProcess, 1);
    WaitForSingleObject(started.hProcess, 5000);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    started = {};
    EXPECT_EQ(testing::runningStandIns(), 1);

    start();
    runAll(1);
    ASSERT_TRUE(waitUntil([&] { return allEdited(); }, std::chrono::seconds(60)));
    closeProgram();
    EXPECT_EQ(readBytes(documents + "\\a.doc"), "indhold\r\nMakro MOLVARIKtilret\r\n");
    EXPECT_TRUE(
        waitUntil([] { return testing::runningStandIns() == 0; }, std::chrono::seconds(10)));
}

// The copy the installer put under Program Files, named by the package test
// (PRAVELO_INSTALLED_EXE): its settings and log live in %APPDATA%\Pravelo.
TEST_F(PraveloExe, InstalledCopyKeepsSettingsAndLogInTheUsersApplicationData) {
    wchar_t installed[MAX_PATH] = L"";
    wchar_t appData[MAX_PATH] = L"";
    if (GetEnvironmentVariableW(L"PRAVELO_INSTALLED_EXE", installed, MAX_PATH) == 0) {
        GTEST_SKIP() << "run by the package test, on an installed copy";
    }
    ASSERT_GT(GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), 0u);
    const std::string exe = platform::win32::fromWide(installed);
    const std::string programFolder = exe.substr(0, exe.rfind('\\') + 1);
    const std::string userFolder = platform::win32::fromWide(appData) + "\\Pravelo\\";
    DeleteFileW(platform::win32::toWide(userFolder + "Pravelo.dll").c_str());
    DeleteFileW(platform::win32::toWide(userFolder + "Pravelo.log").c_str());

    writeBytes(documents + "\\a.doc", "indhold\r\n");
    writeBytes(documents + "\\b fail.doc", "indhold\r\n");
    start(exe);
    runAll(2);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(control(Form::IdText2)) != FALSE; },
                          std::chrono::seconds(90)));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(started.hProcess, 15000), WAIT_OBJECT_0);

    const std::string settings = readBytes(userFolder + "Pravelo.dll");
    EXPECT_NE(settings.find("\r\n[Makro]\r\nMOLVARIKtilret\r\n\r\n[DocType]\r\n"),
              std::string::npos)
        << settings;
    const std::string log = readBytes(userFolder + "Pravelo.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find(", 5792, "), std::string::npos) << log;
    EXPECT_EQ(readBytes(documents + "\\a.doc"), "indhold\r\nMakro MOLVARIKtilret\r\n");
    for (const char* name : {"Pravelo.dll", "Pravelo.log"}) {
        EXPECT_EQ(GetFileAttributesW(platform::win32::toWide(programFolder + name).c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << name << " written beside the installed program";
    }
}

}  // namespace
}  // namespace pravelo
