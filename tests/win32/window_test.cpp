#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <algorithm>
#include <thread>

#include "platform/error.h"
#include "platform/support/window_layout.h"
#include "platform/win32/gui_support.h"
#include "platform/win32/text_convert.h"
#include "platform/win32/win32_about_dialog.h"
#include "platform/word/word_launcher.h"
#include "wait_until.h"
#include "window_harness.h"

namespace pravelo::testing {
namespace {

using platform::win32::fromWide;
using platform::win32::scaled;
using platform::win32::systemDpi;
namespace layout = platform::layout;
using platform::win32::toWide;
using platform::win32::Win32AboutDialog;
using Form = platform::win32::Win32MainForm;

RECT clientRectOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT twipsRect(int left, int top, int width, int height) {
    const int dpi = systemDpi();
    return {scaled(left, dpi), scaled(top, dpi), scaled(left, dpi) + scaled(width, dpi),
            scaled(top, dpi) + scaled(height, dpi)};
}

RECT twipsRect(const layout::Twips& at) {
    return twipsRect(at.left, at.top, at.width, at.height);
}

std::string show(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

LOGFONTW fontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

// Presses a key as the program's loop sees it, with Ctrl held or not.
void press(WindowHarness& h, HWND target, UINT key, bool ctrl = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    SetFocus(target);
    MSG message{target, WM_KEYDOWN, key, 1, 0, {}};
    if (!h.form.preTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    h.pump();
}

// Alt and a letter: the access key of a button.
void pressAlt(WindowHarness& h, HWND target, wchar_t letter) {
    MSG message{target, WM_SYSCHAR, letter, static_cast<LPARAM>(1u << 29), 0, {}};
    if (!h.form.preTranslate(message)) DispatchMessageW(&message);
    h.pump();
}

void select(WindowHarness& h, std::initializer_list<int> rows) {
    HWND list = h.control(Form::IdFile1);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (int row : rows) SendMessageW(list, LB_SETSEL, TRUE, row);
}

void click(WindowHarness& h, int id) {
    SendMessageW(h.control(id), BM_CLICK, 0, 0);
    h.pump();
}

std::vector<std::string> opened(const WindowHarness& h) {
    std::vector<std::string> result;
    for (const auto& c : h.fakeOffice.calls)
        if (c.rfind("open:", 0) == 0) result.push_back(c.substr(5));
    return result;
}

// A picture of the window for a person to look at, when asked for.
void shot(HWND window, const char* name) {
    char folder[MAX_PATH];
    if (GetEnvironmentVariableA("PRAVELO_SCREENSHOT_DIR", folder, MAX_PATH) == 0) return;
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    // What is on the screen: not every system's controls answer a print request.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    const DWORD size = static_cast<DWORD>(width * height * 4);
    BITMAPFILEHEADER file{
        0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0,
        0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    const std::string path = std::string(folder) + "\\window-" + name + ".bmp";
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out, bits, size, &written, nullptr);
    CloseHandle(out);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

class Win32Window : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name :
             {"a.doc", "b æøå.doc", "c, & d.doc", "skabelon.dot", "note.txt", "ny.docx"}) {
            h.addDocument(name);
        }
        CreateDirectoryW(toWide(h.machine.cwd + "\\undermappe").c_str(), nullptr);
        h.addDocument("undermappe\\indeni.doc");
    }
    WindowHarness h;
};

TEST_F(Win32Window, ClientAreaAndControlsSitAtTheLayoutsPlaces) {
    h.start();
    RECT client{};
    GetClientRect(h.form.window(), &client);
    EXPECT_EQ(show(client), show(twipsRect(layout::ClientArea)));
    const struct {
        int id;
        RECT rect;
    } layout[] = {
        {Form::IdLabel1, twipsRect(layout::Label1.place)},
        {Form::IdLabel2, twipsRect(layout::Label2.place)},
        {Form::IdText1, twipsRect(layout::Text1.place)},
        {Form::IdFile1, twipsRect(layout::File1.place)},
        {Form::IdDir1, twipsRect(layout::Dir1.place)},
        {Form::IdCombo1, twipsRect(layout::Combo1.place)},
        {Form::IdDrive1, twipsRect(layout::Drive1.place)},
        {Form::IdText2, twipsRect(layout::Text2.place)},
        {Form::IdLabel4, twipsRect(layout::Label4.place)},
        {Form::IdCommand1, twipsRect(layout::Command1.place)},
        {Form::IdCommand3, twipsRect(layout::Command3.place)},
        {Form::IdCommand2, twipsRect(layout::Command2.place)},
        {Form::IdStatusBar1, twipsRect(layout::StatusBar1)},
    };
    for (const auto& [id, rect] : layout) {
        EXPECT_EQ(show(clientRectOf(h.control(id))), show(rect)) << "control " << id;
    }

    const LONG style = GetWindowLongW(h.form.window(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
    EXPECT_TRUE(style & WS_SYSMENU);
    RECT frame{}, work{};
    GetWindowRect(h.form.window(), &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((frame.left - work.left) - (work.right - frame.right)), 1);
    EXPECT_LE(std::abs((frame.top - work.top) - (work.bottom - frame.bottom)), 1);
    shot(h.form.window(), "start");
}

TEST_F(Win32Window, DialogFontBoldWhereTheLayoutSays) {
    for (int id : {Form::IdLabel1, Form::IdCommand1, Form::IdCommand2, Form::IdCommand3}) {
        EXPECT_EQ(fontOf(h.control(id)).lfWeight, FW_BOLD) << id;
    }
    for (int id : {Form::IdLabel2, Form::IdText1, Form::IdFile1, Form::IdDir1, Form::IdLabel4}) {
        EXPECT_EQ(fontOf(h.control(id)).lfWeight, FW_NORMAL) << id;
        EXPECT_EQ(fromWide(fontOf(h.control(id)).lfFaceName), "MS Sans Serif");
        EXPECT_EQ(fontOf(h.control(id)).lfHeight, -MulDiv(825, systemDpi(), 7200));
    }
}

TEST_F(Win32Window, StartUpTextsMenusAndTips) {
    h.start();
    EXPECT_EQ(platform::win32::windowText(h.form.window()),
              "Pravelo. R1.3.7 by kontakt@pravelo.example");
    EXPECT_EQ(h.text(Form::IdLabel1), h.machine.cwd);
    EXPECT_EQ(h.text(Form::IdText1), "MOLVARIKtilret");
    EXPECT_EQ(h.text(Form::IdCombo1), "*.doc");
    EXPECT_EQ(h.form.Combo1().listCount(), 2);
    EXPECT_EQ(h.text(Form::IdLabel4),
              "Multi Edit Word Files Via Makro's Stored In A Local Your Normal.dot with Pravelo!");
    EXPECT_EQ(h.form.StatusPanel1().text(), "Velkommen til Pravelo.");
    EXPECT_EQ(h.text(Form::IdCommand1), "&Kør");
    EXPECT_EQ(h.text(Form::IdCommand2), "&Annuller");
    EXPECT_EQ(h.text(Form::IdCommand3), "Å&ben");
    EXPECT_EQ(h.text(Form::IdLabel2), "Makro");
    EXPECT_FALSE(IsWindowVisible(h.control(Form::IdText2)));
    EXPECT_EQ(GetFocus(), h.control(Form::IdDir1));
    EXPECT_TRUE(h.messages.shown.empty());
    // "*.doc" lists neither "ny.docx" nor the text file; names in order.
    ASSERT_EQ(h.form.File1().listCount(), 3);
    EXPECT_EQ(h.form.File1().list(0), "a.doc");
    EXPECT_EQ(h.form.File1().list(1), "b æøå.doc");
    EXPECT_EQ(h.form.File1().list(2), "c, & d.doc");

    HMENU bar = GetMenu(h.form.window());
    const auto menuText = [](HMENU menu, UINT item, UINT flag) {
        wchar_t text[64];
        const int length = GetMenuStringW(menu, item, text, 64, flag);
        return fromWide(std::wstring_view(text, static_cast<std::size_t>(length)));
    };
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(menuText(bar, 0, MF_BYPOSITION), "&Filer");
    EXPECT_EQ(menuText(bar, 1, MF_BYPOSITION), "&Funktioner");
    EXPECT_EQ(menuText(bar, 2, MF_BYPOSITION), "&Help");
    const std::pair<int, const char*> entries[] = {{Form::IdStartMakro, "&Kør Makro\tCtrl+K"},
                                                   {Form::IdOpenFiles, "&Åben fil(er)\tCtrl+O"},
                                                   {Form::IdExit, "&Afslut\tCtrl+Q"},
                                                   {Form::IdShowLog, "&Vis log\tCtrl+L"},
                                                   {Form::IdAddToWord, "&Tilføj til Word\tCtrl+W"},
                                                   {Form::IdSettings, "&Indstillinger\tCtrl+S"},
                                                   {Form::IdAbout, "&Om Vormix\tF1"}};
    for (const auto& [id, text] : entries) EXPECT_EQ(menuText(bar, id, MF_BYCOMMAND), text);

    const auto tip = [&](int id) {
        wchar_t text[128] = L"";
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = h.form.window();
        tool.uId = reinterpret_cast<UINT_PTR>(h.control(id));
        tool.lpszText = text;
        SendMessageW(h.form.toolTips(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
        return fromWide(text);
    };
    EXPECT_EQ(tip(Form::IdText1), "Indtast Makroen's navn");
    EXPECT_EQ(tip(Form::IdFile1), "Vælg filer fra listen");
    EXPECT_EQ(tip(Form::IdDir1), "Vælg bibliotek fra Listen");
    EXPECT_EQ(tip(Form::IdCombo1), "Vælg fil type fra listen");
    EXPECT_EQ(tip(Form::IdDrive1), "Vælg drev fra listen");
    EXPECT_EQ(tip(Form::IdCommand1), "Editer fil(er) med makro (Ctrl+K)");
    EXPECT_EQ(tip(Form::IdCommand3), "Åben valgte Filer");
    EXPECT_EQ(tip(Form::IdCommand2), "Luk program (Ctrl+Q)");
    EXPECT_EQ(tip(Form::IdLabel4), "");

    // The date and time panels show what the machine writes.
    const auto panel = [&](int part) {
        wchar_t text[64] = L"";
        SendMessageW(h.form.statusBar(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
        return fromWide(text);
    };
    EXPECT_EQ(panel(1), h.machine.date);
    EXPECT_EQ(panel(2), h.machine.time);
    EXPECT_EQ(SendMessageW(h.form.statusBar(), SB_GETPARTS, 0, 0), 3);
}

TEST_F(Win32Window, TabOrderFromTheFolderList) {
    h.start();
    const std::vector<int> order{Form::IdDir1,     Form::IdDrive1,   Form::IdFile1,
                                 Form::IdCommand1, Form::IdCommand2, Form::IdText1,
                                 Form::IdCommand3, Form::IdCombo1,   Form::IdDir1};
    HWND at = h.control(Form::IdDir1);
    for (std::size_t i = 1; i < order.size(); ++i) {
        at = GetNextDlgTabItem(h.form.window(), at, FALSE);
        EXPECT_EQ(GetDlgCtrlID(at), order[i]) << "after " << order[i - 1];
    }
    // A shown error list takes its place after the macro box.
    h.form.Text2().setShown(true);
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(h.form.window(), h.control(Form::IdText1), FALSE)),
              Form::IdText2);
}

TEST_F(Win32Window, ShortcutsAccessKeysAndEnter) {
    h.start();
    HWND text1 = h.control(Form::IdText1);
    // Enter and Escape have no window-wide effect.
    select(h, {0});
    press(h, text1, VK_RETURN);
    press(h, text1, VK_ESCAPE);
    EXPECT_TRUE(h.fakeOffice.calls.empty());
    EXPECT_TRUE(IsWindow(h.form.window()));

    press(h, text1, 'K', true);  // Ctrl+K
    EXPECT_EQ(opened(h), std::vector<std::string>{h.documentPath("a.doc")});
    EXPECT_EQ(h.text(Form::IdLabel4), "1 fil er editeret!\r\nKontroler dokumentet!");

    select(h, {1});
    pressAlt(h, text1, L'b');  // Alt+B: "Å&ben"
    EXPECT_EQ(h.fakeOffice.handedOver, 1);

    press(h, text1, 'W', true);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, "Comming up!");

    press(h, text1, 'L', true);
    press(h, text1, 'S', true);
    EXPECT_EQ(h.processes.editorPaths,
              (std::vector<std::string>{h.logPath(), h.machine.exeFolder + "\\Pravelo.dll"}));

    // Enter on a focused button presses it.
    select(h, {2});
    SetFocus(h.control(Form::IdCommand1));
    press(h, h.control(Form::IdCommand1), VK_RETURN);
    EXPECT_EQ(opened(h).back(), h.documentPath("c, & d.doc"));
    EXPECT_EQ(h.form.StatusPanel1().text().rfind("Udført! ", 0), 0u);

    press(h, text1, 'Q', true);  // Ctrl+Q closes at once
    EXPECT_FALSE(IsWindow(h.form.window()));
}

TEST_F(Win32Window, RunButtonEditsTheSelectionThroughTheFakeOffice) {
    h.start();
    select(h, {0, 2});
    click(h, Form::IdCommand1);
    EXPECT_EQ(opened(h),
              (std::vector<std::string>{h.documentPath("a.doc"), h.documentPath("c, & d.doc")}));
    EXPECT_EQ(h.text(Form::IdLabel4), "2 filer er editeret!\r\nKontroler dokumenterne!");
    EXPECT_EQ(h.text(Form::IdCommand2), "&Luk");
    EXPECT_EQ(GetFocus(), h.control(Form::IdCommand2));
    EXPECT_EQ(h.form.StatusPanel1().text().rfind("Udført! ", 0), 0u);
    EXPECT_FALSE(IsWindowVisible(h.control(Form::IdText2)));
    EXPECT_EQ(h.fakeOffice.running, 0);
    shot(h.form.window(), "edited");

    // A failure: the error list shows, the log gets an ANSI line with CR LF.
    h.fakeOffice.failOn("open:" + h.documentPath("b æøå.doc"), 5, "beskadiget");
    select(h, {0, 1, 2});
    press(h, h.control(Form::IdFile1), 'K', true);
    EXPECT_EQ(h.form.StatusPanel1().text(), "Fejl ved editering!");
    EXPECT_TRUE(IsWindowVisible(h.control(Form::IdText2)));
    EXPECT_NE(h.text(Form::IdText2).find("b æøå.doc\r\n2 fil(er) er editeret!\r\n"),
              std::string::npos);
    const std::string log = platform::win32::testing::readBytes(h.logPath());
    EXPECT_NE(log.find(", 5, " + platform::win32::utf8ToAnsi(h.documentPath("b æøå.doc")) +
                       ", beskadiget\r\n"),
              std::string::npos);
    shot(h.form.window(), "failures");
}

TEST_F(Win32Window, WithoutWordEachDocumentFailsCleanly) {
    platform::word::WordLauncher none;
    WindowHarness noOffice(&none);
    noOffice.addDocument("a.doc");
    noOffice.addDocument("b.doc");
    noOffice.start();
    SendMessageW(noOffice.control(Form::IdFile1), LB_SETSEL, TRUE, -1);
    click(noOffice, Form::IdCommand1);
    EXPECT_TRUE(noOffice.messages.shown.empty());
    EXPECT_NE(noOffice.text(Form::IdText2).find("0 fil(er) er editeret!"), std::string::npos);
    const std::string log = platform::win32::testing::readBytes(noOffice.logPath());
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
    // The class is not registered: the HRESULT, as classic clients show it.
    EXPECT_NE(log.find(", -2147221164, " +
                       platform::win32::utf8ToAnsi(noOffice.documentPath("a.doc")) + ", Word er"),
              std::string::npos)
        << log;
}

// An office that asks the window to close while it works, and types into the macro box.
class ClosingOffice : public fakes::FakeOffice {
  public:
    HWND window = nullptr, macroBox = nullptr;
    const platform::MainForm* form = nullptr;
    bool closeHeld = false;
    std::unique_ptr<platform::OfficeApplication> startNew() override {
        PostMessageW(macroBox, WM_CHAR, L'x', 0);
        PostMessageW(window, WM_CLOSE, 0, 0);
        // The window keeps answering meanwhile: it takes the close, after the typing.
        // Asked as the batch asks it between documents.
        closeHeld = pravelo::testing::waitUntil([this] { return form->closePending(); },
                                                std::chrono::seconds(10));
        return FakeOffice::startNew();
    }
};

TEST_F(Win32Window, CloseDuringARunWaitsForTheDocumentThenCloses) {
    ClosingOffice office;
    WindowHarness closing(&office);
    closing.addDocument("a.doc");
    closing.addDocument("b.doc");
    closing.start();
    office.window = closing.form.window();
    office.macroBox = closing.control(Form::IdText1);
    office.form = &closing.form;
    SendMessageW(closing.control(Form::IdFile1), LB_SETSEL, TRUE, -1);
    click(closing, Form::IdCommand1);
    EXPECT_TRUE(office.closeHeld);
    // The first document was finished, the second never started, the window is gone.
    EXPECT_EQ(std::count(office.calls.begin(), office.calls.end(), std::string("quit")), 1);
    EXPECT_FALSE(IsWindow(closing.form.window()));
    EXPECT_EQ(closing.settings.GetSettingValue("MNavn"), "MOLVARIKtilret");  // typing dropped
}

TEST_F(Win32Window, FolderAndPatternChoicesRebuildTheFileList) {
    h.start();
    HWND dir1 = h.control(Form::IdDir1);
    const int count = static_cast<int>(SendMessageW(dir1, LB_GETCOUNT, 0, 0));
    int sub = -1;
    for (int i = 0; i < count; ++i) {
        wchar_t line[MAX_PATH];
        SendMessageW(dir1, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        if (std::wstring(line).find(L"undermappe") != std::wstring::npos) sub = i;
    }
    ASSERT_GE(sub, 0);
    select(h, {0});
    SendMessageW(dir1, LB_SETCURSEL, sub, 0);
    SendMessageW(h.form.window(), WM_COMMAND, MAKEWPARAM(Form::IdDir1, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(dir1));
    EXPECT_EQ(h.text(Form::IdLabel1), h.machine.cwd + "\\undermappe");
    ASSERT_EQ(h.form.File1().listCount(), 1);
    EXPECT_EQ(h.form.File1().list(0), "indeni.doc");
    EXPECT_FALSE(h.form.File1().selected(0));

    h.form.Dir1().setPath(h.machine.cwd);
    SendMessageW(h.form.window(), WM_COMMAND, MAKEWPARAM(Form::IdDir1, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(dir1));  // the current folder again
    // Typing a pattern does nothing; choosing one from the list does.
    HWND combo = h.control(Form::IdCombo1);
    SetWindowTextW(combo, L"*.txt");
    EXPECT_EQ(h.form.File1().pattern(), "*.doc");
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SendMessageW(h.form.window(), WM_COMMAND, MAKEWPARAM(Form::IdCombo1, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(h.form.File1().pattern(), "*.dot");
    ASSERT_EQ(h.form.File1().listCount(), 1);
    EXPECT_EQ(h.form.File1().list(0), "skabelon.dot");
}

TEST_F(Win32Window, AboutDialogIsModelessAndOneAtATime) {
    h.start();
    press(h, h.control(Form::IdDir1), VK_F1);
    Win32AboutDialog* about = h.form.aboutDialog();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(IsWindowVisible(about->window()));
    EXPECT_EQ(platform::win32::windowText(about->window()), "Om Pravelo");
    EXPECT_EQ(platform::win32::windowText(about->control(Win32AboutDialog::IdVersion)),
              "Version 1.3.7");
    EXPECT_EQ(platform::win32::windowText(about->control(Win32AboutDialog::IdTitle)), "Pravelo");
    EXPECT_EQ(platform::win32::windowText(about->control(Win32AboutDialog::IdDescription)),
              layout::about::Description);
    EXPECT_EQ(toWide(layout::about::Description).size(), 323u);
    RECT client{};
    GetClientRect(about->window(), &client);
    EXPECT_EQ(show(client), show(twipsRect(layout::about::ClientArea)));
    EXPECT_EQ(show(clientRectOf(about->control(Win32AboutDialog::IdOK))),
              show(twipsRect(layout::about::cmdOK.place)));
    EXPECT_EQ(show(clientRectOf(about->control(Win32AboutDialog::IdSysInfo))),
              show(twipsRect(layout::about::cmdSysInfo.place)));
    EXPECT_EQ(GetWindow(about->window(), GW_OWNER), h.form.window());
    shot(about->window(), "about");

    press(h, h.control(Form::IdDir1), VK_F1);  // the same dialog again
    EXPECT_EQ(h.form.aboutDialog(), about);

    // System Info: the fake registry has no tool, so the one message shows.
    SendMessageW(about->control(Win32AboutDialog::IdSysInfo), BM_CLICK, 0, 0);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, "System Information Is Unavailable At This Time");
    ASSERT_EQ(h.form.aboutDialog(), about);

    // Escape is OK's: the dialog goes.
    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    MSG escape{about->control(Win32AboutDialog::IdOK), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
    EXPECT_TRUE(h.form.preTranslate(escape));
    h.pump();
    EXPECT_EQ(h.form.aboutDialog(), nullptr);
}

TEST_F(Win32Window, AnOpenAboutDialogOutlivesTheMainWindow) {
    h.start();
    press(h, h.control(Form::IdDir1), VK_F1);
    Win32AboutDialog* about = h.form.aboutDialog();
    ASSERT_NE(about, nullptr);
    const HWND dialog = about->window();
    click(h, Form::IdCommand2);  // "&Annuller" closes the main window at once
    EXPECT_FALSE(IsWindow(h.form.window()));
    EXPECT_TRUE(IsWindowVisible(dialog));
    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    SendMessageW(dialog, WM_CLOSE, 0, 0);  // the close box
    EXPECT_FALSE(IsWindow(dialog));
    // The last window gone, the program ends.
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace pravelo::testing
