#include "platform/win32/win32_main_form.h"

#include <commctrl.h>

#include "platform/error.h"
#include "platform/support/run_handler.h"
#include "platform/support/window_layout.h"
#include "platform/version_record.h"
#include "platform/win32/gui_support.h"
#include "platform/win32/text_convert.h"
#include "platform/win32/wait_loop.h"
#include "platform/win32/win32_about_dialog.h"

namespace pravelo::platform::win32 {

namespace {

constexpr wchar_t kClassName[] = L"PraveloMainForm";
constexpr UINT_PTR kClockTimer = 1;
constexpr int kClientWidth = 7380;  // twips
constexpr int kClientHeight = 6480;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

void registerClass() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    registerWindowClass(kClassName, COLOR_MENU);
}

// The combo box's closed height follows its selection field; this sets the field
// so the closed box is exactly as high as the layout says.
void fitClosedHeight(HWND combo, int height) {
    // Systems differ in what a field height adds up to (and in what they
    // report back), so the value set is corrected by what is measured.
    const auto closedHeight = [combo] {
        RECT rect{};
        GetWindowRect(combo, &rect);
        return static_cast<int>(rect.bottom - rect.top);
    };
    LRESULT field = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int step = 0; step < 4 && closedHeight() != height; ++step) {
        field += height - closedHeight();
        if (field <= 0) return;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

// The letter after "&" in a caption, upper case; 0 when there is none.
wchar_t accessKey(const std::wstring& caption) {
    const auto amp = caption.find(L'&');
    if (amp == std::wstring::npos || amp + 1 >= caption.size()) return 0;
    return static_cast<wchar_t>(towupper(caption[amp + 1]));
}

}  // namespace

Win32MainForm::Win32MainForm() {
    registerClass();
    dpi_ = systemDpi();
    RECT frame{0, 0, scaled(kClientWidth, dpi_), scaled(kClientHeight, dpi_)};
    AdjustWindowRectEx(&frame, kStyle, TRUE, kExStyle);
    window_ = CreateWindowExW(kExStyle, kClassName, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon()));
    ownBoxes_.setWindow(window_);
    createControls();
    createMenu();
    createStatusBar();
    SetFocus(control(IdDir1));
    SetTimer(window_, kClockTimer, 1000, nullptr);
}

Win32MainForm::~Win32MainForm() {
    if (about_ != nullptr) about_->destroyNow();
    if (IsWindow(window_)) {
        unloaded_ = true;  // no quit message: the window goes with its owner, not by the user
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

namespace {

// A drop-down list's height with its list open.
constexpr int kDropDown = 3000;

}  // namespace

void Win32MainForm::createControls() {
    constexpr DWORD common = WS_VISIBLE | WS_CLIPSIBLINGS;
    constexpr DWORD list =
        common | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    // Created in keyboard order, which is also the order Tab follows; the
    // labels come last and so lie beneath (Text2 over Label4).
    HWND dir1 = createFrom(window_, WC_LISTBOXW, layout::Dir1, list, IdDir1);
    HWND drive1 =
        createFrom(window_, WC_COMBOBOXW, layout::Drive1,
                   common | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IdDrive1, 0, kDropDown);
    HWND file1 = createFrom(window_, WC_LISTBOXW, layout::File1, list | LBS_EXTENDEDSEL, IdFile1);
    HWND command1 = createFrom(window_, WC_BUTTONW, layout::Command1,
                               common | WS_TABSTOP | BS_PUSHBUTTON, IdCommand1);
    HWND command2 = createFrom(window_, WC_BUTTONW, layout::Command2,
                               common | WS_TABSTOP | BS_PUSHBUTTON, IdCommand2);
    HWND text1 = createFrom(window_, WC_EDITW, layout::Text1, common | WS_TABSTOP | ES_AUTOHSCROLL,
                            IdText1, WS_EX_CLIENTEDGE);
    HWND text2 = createFrom(window_, WC_EDITW, layout::Text2,
                            WS_CLIPSIBLINGS | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE |
                                ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                            IdText2, WS_EX_CLIENTEDGE);
    HWND command3 = createFrom(window_, WC_BUTTONW, layout::Command3,
                               common | WS_TABSTOP | BS_PUSHBUTTON, IdCommand3);
    HWND combo1 = createFrom(window_, WC_COMBOBOXW, layout::Combo1,
                             common | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                             IdCombo1, 0, kDropDown);
    SetWindowTextW(
        combo1,
        toWide(layout::Combo1.caption).c_str());  // not every system passes it on to the field
    HWND label1 = createFrom(window_, WC_STATICW, layout::Label1,
                             common | SS_LEFTNOWORDWRAP | SS_NOPREFIX, IdLabel1);
    createFrom(window_, WC_STATICW, layout::Label2, common | SS_LEFT | SS_NOPREFIX, IdLabel2);
    HWND label4 =
        createFrom(window_, WC_STATICW, layout::Label4, common | SS_LEFT | SS_NOPREFIX, IdLabel4);
    fitClosedHeight(drive1, scaled(layout::Drive1.place.height, dpi_));
    fitClosedHeight(combo1, scaled(layout::Combo1.place.height, dpi_));
    for (HWND bold : {label1, command1, command2, command3}) {
        SendMessageW(bold, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont(true)), FALSE);
    }

    label1_ = std::make_unique<Win32Label>(label1);
    label4_ = std::make_unique<Win32Label>(label4);
    text1_ = std::make_unique<Win32TextBox>(text1, quiet_);
    text2_ = std::make_unique<Win32TextBox>(text2, quiet_);
    command1_ = std::make_unique<Win32Button>(command1);
    command2_ = std::make_unique<Win32Button>(command2);
    command3_ = std::make_unique<Win32Button>(command3);
    file1_ = std::make_unique<Win32FileList>(file1);
    dir1_ = std::make_unique<Win32FolderList>(dir1);
    drive1_ = std::make_unique<Win32DriveList>(drive1);
    combo1_ = std::make_unique<Win32PatternCombo>(combo1);

    toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    addToolTip(IdText1, layout::Text1.toolTip);
    addToolTip(IdFile1, layout::File1.toolTip);
    addToolTip(IdDir1, layout::Dir1.toolTip);
    addToolTip(IdCombo1, layout::Combo1.toolTip);
    addToolTip(IdDrive1, layout::Drive1.toolTip);
    addToolTip(IdCommand1, layout::Command1.toolTip);
    addToolTip(IdCommand3, layout::Command3.toolTip);
    addToolTip(IdCommand2, layout::Command2.toolTip);
}

void Win32MainForm::addToolTip(int id, const std::string& toolTip) {
    const std::wstring text = toWide(toolTip);
    // A combo box's pieces are windows of their own; each carries the tip.
    std::vector<HWND> parts{control(id)};
    for (HWND child = GetWindow(control(id), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        parts.push_back(child);
    }
    for (HWND part : parts) {
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(part);
        tool.lpszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

std::vector<ACCEL> Win32MainForm::accelerators() {
    constexpr BYTE ctrl = FVIRTKEY | FCONTROL;
    return {{ctrl, 'K', IdStartMakro},  {ctrl, 'O', IdOpenFiles}, {ctrl, 'Q', IdExit},
            {ctrl, 'L', IdShowLog},     {ctrl, 'W', IdAddToWord}, {ctrl, 'S', IdSettings},
            {FVIRTKEY, VK_F1, IdAbout}, {ctrl, 'Z', IdUndo}};
}

void Win32MainForm::createMenu() {
    HMENU bar = CreateMenu();
    const auto popup = [bar](const char* caption,
                             std::initializer_list<std::pair<int, layout::MenuEntry>> entries) {
        HMENU menu = CreatePopupMenu();
        for (const auto& [id, entry] : entries) {
            const std::string shortcut =
                entry.ctrlLetter != 0 ? std::string("Ctrl+") + entry.ctrlLetter : "F1";
            AppendMenuW(menu, MF_STRING, id,
                        toWide(std::string(entry.caption) + "\t" + shortcut).c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), toWide(caption).c_str());
    };
    popup(layout::FilerMenu, {{IdStartMakro, layout::StartMakro},
                              {IdOpenFiles, layout::OpenFiles},
                              {IdExit, layout::Exit}});
    popup(layout::FunctionsMenu, {{IdShowLog, layout::ShowLog},
                                  {IdAddToWord, layout::AddToWord},
                                  {IdSettings, layout::Settings},
                                  {IdUndo, layout::Undo}});
    popup(layout::HelpMenu, {{IdAbout, layout::About}});
    SetMenu(window_, bar);
    auto table = accelerators();
    accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

void Win32MainForm::createStatusBar() {
    statusBar_ = CreateWindowExW(
        0, STATUSCLASSNAMEW, nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_TOOLTIPS | CCS_NOPARENTALIGN | CCS_NORESIZE,
        0, scaled(layout::StatusBar1.top, dpi_), scaled(kClientWidth, dpi_),
        scaled(layout::StatusBar1.height, dpi_), window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdStatusBar1)), GetModuleHandleW(nullptr),
        nullptr);
    SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont()), FALSE);
    statusPanel1_ = std::make_unique<Win32StatusPanel>(statusBar_, 0);
    layOutStatusPanels();
    statusPanel1_->setText("Pravelo — " + contactAddress());
    const layout::StatusPanel* panels[] = {&layout::TextPanel, &layout::DatePanel,
                                           &layout::TimePanel};
    for (int part = 0; part < 3; ++part) {
        SendMessageW(statusBar_, SB_SETTIPTEXTW, part,
                     reinterpret_cast<LPARAM>(toWide(panels[part]->toolTip).c_str()));
    }
}

void Win32MainForm::layOutStatusPanels() {
    // Panel 3 fits its time text, panel 2 is fixed, panel 1 takes the rest.
    int timeWidth = scaled(layout::TimePanel.width, dpi_);
    if (machine_ != nullptr) {
        HDC dc = GetDC(statusBar_);
        HGDIOBJ old = SelectObject(dc, dialogFont());
        const std::wstring time = toWide(machine_->longTime());
        SIZE size{};
        GetTextExtentPoint32W(dc, time.c_str(), static_cast<int>(time.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(statusBar_, dc);
        timeWidth = std::max(timeWidth, static_cast<int>(size.cx) + scaled(150, dpi_));
    }
    const int width = scaled(kClientWidth, dpi_);
    const int dateWidth = scaled(layout::DatePanel.width, dpi_);
    const int first =
        std::max(scaled(layout::TextPanel.width, dpi_), width - dateWidth - timeWidth);
    int edges[3] = {first, first + dateWidth, -1};
    SendMessageW(statusBar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
}

void Win32MainForm::setMachine(const Machine* machine) {
    machine_ = machine;
    updateClock();
}

void Win32MainForm::updateClock() {
    if (machine_ == nullptr) return;
    layOutStatusPanels();
    SendMessageW(statusBar_, SB_SETTEXTW, 1,
                 reinterpret_cast<LPARAM>(toWide(machine_->shortDate()).c_str()));
    SendMessageW(statusBar_, SB_SETTEXTW, 2,
                 reinterpret_cast<LPARAM>(toWide(machine_->longTime()).c_str()));
}

void Win32MainForm::show() {
    // A menu bar that wraps takes client height; make up for it before showing.
    RECT client{};
    GetClientRect(window_, &client);
    RECT frame{};
    GetWindowRect(window_, &frame);
    const int width = frame.right - frame.left + scaled(kClientWidth, dpi_) - client.right;
    const int height = frame.bottom - frame.top + scaled(kClientHeight, dpi_) - client.bottom;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOWNORMAL);
    // Some systems settle a combo box's size only once it is shown.
    fitClosedHeight(control(IdDrive1), scaled(315, dpi_));
    fitClosedHeight(control(IdCombo1), scaled(315, dpi_));
    UpdateWindow(window_);
}

void Win32MainForm::setCaption(const std::string& caption) {
    SetWindowTextW(window_, toWide(caption).c_str());
}

void Win32MainForm::unload() {
    if (!IsWindow(window_)) return;
    // Owned windows would go first, so the About dialog is let go beforehand: it
    // stays open, as a window of its own, and the program runs until it closes.
    if (about_ != nullptr) about_->releaseOwner();
    DestroyWindow(window_);
}

void Win32MainForm::refresh() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

CloseDuringRun::Input Win32MainForm::runInput(const MSG& m) const {
    using Input = CloseDuringRun::Input;
    const bool ours = m.hwnd == window_ || IsChild(window_, m.hwnd);
    if (!ours) return Input::Other;
    const HWND command2 = control(IdCommand2);
    const bool mouse = m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST;
    if (mouse && m.hwnd == command2) return Input::CloseButtonClick;
    const bool frameMouse =
        m.message == WM_NCLBUTTONDOWN || m.message == WM_NCLBUTTONUP || m.message == WM_NCMOUSEMOVE;
    if (frameMouse && m.wParam == HTCLOSE) return Input::WindowClose;
    if (frameMouse && m.wParam == HTCAPTION) return Input::WindowMove;
    if (m.message == WM_SYSKEYDOWN && m.wParam == VK_F4) return Input::WindowClose;
    if (m.message == WM_KEYDOWN && m.wParam == 'Q' && GetKeyState(VK_CONTROL) < 0)
        return Input::ExitCommand;
    if (m.message == WM_SYSKEYDOWN &&
        static_cast<wchar_t>(m.wParam) == accessKey(toWide(command2_->caption())))
        return Input::CloseButtonClick;
    return m.hwnd == command2 ? Input::CloseButtonTyped : Input::Other;
}

void Win32MainForm::waitFor(const std::function<void()>& work) {
    const auto letThrough = [this](const MSG& m) {
        const CloseDuringRun::Input input = runInput(m);
        if (!CloseDuringRun::actsDuringRun(input)) return false;
        // The wait's loop translates no keys into commands: a key that asks
        // to close is taken here.
        const bool key = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
        if (key && m.wParam != VK_F4) {
            run_.hold(*statusPanel1_);
            return false;
        }
        return true;
    };
    run_.run(work, [&](const std::function<void()>& job) { waitWithMessageLoop(job, letThrough); });
}

void Win32MainForm::showAbout() {
    if (about_ != nullptr) {
        about_->bringToFront();
        return;
    }
    auto* dialog = new Win32AboutDialog(window_, boxes_);
    about_ = dialog;
    dialog->setOnDestroyed([this] { aboutGone(); });
    if (aboutFactory_) dialog->setEvents(aboutFactory_(*dialog));
    dialog->load();
    if (about_ != nullptr) about_->showCentred();
}

void Win32MainForm::aboutGone() {
    about_ = nullptr;
    // The program ends with its last window.
    if (unloaded_) PostQuitMessage(0);
}

bool Win32MainForm::preTranslate(MSG& message) {
    if (about_ != nullptr && about_->preTranslate(message)) return true;
    if (!IsWindow(window_) || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
        return false;
    }
    if (TranslateAcceleratorW(window_, accelerators_, &message)) return true;
    return IsDialogMessageW(window_, &message) != 0;
}

LRESULT CALLBACK Win32MainForm::procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* form = reinterpret_cast<Win32MainForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, w, l);
    return form->handle(message, w, l);
}

LRESULT Win32MainForm::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            onCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
            return 0;
        case WM_CTLCOLORSTATIC: {
            // Labels sit on the window's menu-coloured background; the
            // read-only error list keeps its own colours.
            const auto from = reinterpret_cast<HWND>(l);
            const Win32Label* label = from == label1_->window()   ? label1_.get()
                                      : from == label4_->window() ? label4_.get()
                                                                  : nullptr;
            if (from != control(IdLabel2) && label == nullptr) break;
            const auto dc = reinterpret_cast<HDC>(w);
            SetTextColor(dc, label ? label->color() : GetSysColor(COLOR_BTNTEXT));
            SetBkColor(dc, GetSysColor(COLOR_MENU));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU));
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_, &paint);
            // Line1: the separator under the menu bar.
            RECT line{0, 0, scaled(layout::Line1Right, dpi_), 1};
            FillRect(dc, &line, GetSysColorBrush(COLOR_APPWORKSPACE));
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_ACTIVATE:
            // The focus leaves with the window and comes back to the same control.
            if (LOWORD(w) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            SetFocus(lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_ : control(IdDir1));
            return 0;
        case WM_TIMER:
            if (w == kClockTimer) updateClock();
            return 0;
        case WM_CLOSE:
            // The document in hand is finished first; the batch then stops and closes us.
            if (!run_.hold(*statusPanel1_)) unload();
            return 0;
        case WM_DESTROY:
            KillTimer(window_, kClockTimer);
            if (!unloaded_) {
                unloaded_ = true;
                if (about_ == nullptr) PostQuitMessage(0);
            }
            return 0;
        case Win32MessageBoxes::kShowMessage:
            return Win32MessageBoxes::handleShow(l);
        default:
            break;
    }
    return DefWindowProcW(window_, message, w, l);
}

void Win32MainForm::raise(void (MainFormEvents::*handler)()) {
    if (events_ == nullptr) return;
    MainFormEvents* events = events_;
    // A failure the handler lets through is shown instead of unwinding
    // through the toolkit, which would end the program.
    runHandler([events, handler] { (events->*handler)(); }, *boxes_, applicationTitle());
}

void Win32MainForm::onCommand(int id, int notice, HWND from) {
    switch (id) {
        case IDOK: {
            // Enter: a focused button takes it as a click; elsewhere it does nothing.
            HWND focus = GetFocus();
            if (from == nullptr && (focus == control(IdCommand1) || focus == control(IdCommand2) ||
                                    focus == control(IdCommand3))) {
                SendMessageW(focus, BM_CLICK, 0, 0);
            }
            return;
        }
        case IdCommand1:
            if (notice == BN_CLICKED) raise(&MainFormEvents::Command1_Click);
            return;
        case IdCommand2:
            if (notice != BN_CLICKED) return;
            if (!run_.hold(*statusPanel1_)) raise(&MainFormEvents::Command2_Click);
            return;
        case IdCommand3:
            if (notice == BN_CLICKED) raise(&MainFormEvents::Command3_Click);
            return;
        case IdText1:
            if (notice == EN_CHANGE && !quiet_) raise(&MainFormEvents::Text1_Change);
            return;
        case IdCombo1:
            if (notice == CBN_SELCHANGE) {
                combo1_->takeChoice();
                raise(&MainFormEvents::Combo1_Click);
            }
            return;
        case IdDrive1:
            if (notice == CBN_SELCHANGE) raise(&MainFormEvents::Drive1_Change);
            return;
        case IdDir1:
            if (notice == LBN_DBLCLK) {
                const int index = static_cast<int>(SendMessageW(from, LB_GETCURSEL, 0, 0));
                const std::string folder = dir1_->entryPath(index);
                if (folder.empty()) return;
                try {
                    dir1_->setPath(folder);
                } catch (const Error& e) {
                    boxes_->show(e.description(), MessageIcon::None, applicationTitle());
                    try {
                        dir1_->setPath(dir1_->path());  // the highlight back on the kept folder
                    } catch (const Error&) {
                    }
                    return;
                }
                drive1_->showDriveOf(folder);
                raise(&MainFormEvents::Dir1_Change);
            }
            return;
        case IdStartMakro:
            raise(&MainFormEvents::mnuVormixStartMakro_Click);
            return;
        case IdOpenFiles:
            raise(&MainFormEvents::mnuVormixOpenMyFileFil_Click);
            return;
        case IdExit:
            if (!run_.hold(*statusPanel1_)) raise(&MainFormEvents::mnuVormixAfslut_Click);
            return;
        case IdShowLog:
            raise(&MainFormEvents::mnuVormixErrLog_Click);
            return;
        case IdAddToWord:
            raise(&MainFormEvents::mnuAddButtonToWord_Click);
            return;
        case IdSettings:
            raise(&MainFormEvents::mnuVormixSettings_Click);
            return;
        case IdAbout:
            raise(&MainFormEvents::mnuVormixAbout_Click);
            return;
        case IdUndo:
            raise(&MainFormEvents::mnuVormixFortryd_Click);
            return;
        default:
            return;
    }
}

}  // namespace pravelo::platform::win32
