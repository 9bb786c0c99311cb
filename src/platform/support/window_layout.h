#pragma once

// The windows as both toolkits build them. The working window: each control's
// kind, place in twips within the client area, caption and tooltip, the status
// bar's panels, and the menus with their access keys and shortcuts. The About
// dialog: its controls, its separator lines and its texts.
namespace pravelo::platform::layout {

struct Twips {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class Kind {
    Label,
    TextBox,
    ListTextBox,
    FileList,
    FolderList,
    Combo,
    DriveList,
    Button,
    Picture,
};

struct Control {
    Kind kind;
    const char* name;
    Twips place;
    const char* caption;
    const char* toolTip;
};

// The client area below the menu bar, the status bar at its foot.
inline constexpr Twips ClientArea{0, 0, 7380, 6480};
inline constexpr Twips StatusBar1{0, 6120, 7380, 360};
// Line1, one pixel along the top edge under the menu bar, ends here.
inline constexpr int Line1Right = 7440;

inline constexpr Control Label1{Kind::Label, "Label1", {720, 120, 6015, 255}, "Label1", ""};
inline constexpr Control Label2{Kind::Label, "Label2", {3840, 480, 615, 375}, "Makro", ""};
inline constexpr Control Text1{
    Kind::TextBox, "Text1", {4440, 480, 2295, 285}, "", "Indtast Makroen's navn"};
inline constexpr Control File1{
    Kind::FileList, "File1", {480, 840, 3015, 2040}, "", "Vælg filer fra listen"};
inline constexpr Control Dir1{
    Kind::FolderList, "Dir1", {3840, 840, 2895, 2115}, "", "Vælg bibliotek fra Listen"};
inline constexpr Control Combo1{
    Kind::Combo, "Combo1", {2520, 3000, 975, 315}, "*.doc", "Vælg fil type fra listen"};
inline constexpr Control Drive1{
    Kind::DriveList, "Drive1", {3840, 3000, 2895, 315}, "", "Vælg drev fra listen"};
inline constexpr Control Text2{Kind::ListTextBox, "Text2", {480, 3480, 6255, 1695}, "Text2", ""};
inline constexpr Control Label4{Kind::Label, "Label4", {480, 3600, 6255, 1455}, "Label4", ""};
inline constexpr Control Command1{
    Kind::Button, "Command1", {840, 5400, 1095, 495}, "&Kør", "Editer fil(er) med makro (Ctrl+K)"};
inline constexpr Control Command3{
    Kind::Button, "Command3", {2160, 5400, 1215, 495}, "Å&ben", "Åben valgte Filer"};
inline constexpr Control Command2{
    Kind::Button, "Command2", {3720, 5400, 1095, 495}, "&Annuller", "Luk program (Ctrl+Q)"};

// The status bar's panels in their order: the message text, the date, the time.
struct StatusPanel {
    const char* toolTip;
    int width;  // twips: the least for the text and time panels, fixed for the date
};

inline constexpr StatusPanel TextPanel{"Hmm", 1040};
inline constexpr StatusPanel DatePanel{"Dato", 940};
inline constexpr StatusPanel TimePanel{"Tid", 640};

// Every control, in the order the window lays them (later ones on top).
inline constexpr const Control* Controls[] = {&Label1, &Label2,   &Text1,    &File1,
                                              &Dir1,   &Combo1,   &Drive1,   &Text2,
                                              &Label4, &Command1, &Command3, &Command2};

// A menu entry: its caption with the access key after '&', and its shortcut,
// Ctrl with a letter, or F1 where the letter is 0.
struct MenuEntry {
    const char* name;
    const char* caption;
    char ctrlLetter;
};

inline constexpr MenuEntry StartMakro{"mnuVormixStartMakro", "&Kør Makro", 'K'};
inline constexpr MenuEntry OpenFiles{"mnuVormixOpenMyFileFil", "&Åben fil(er)", 'O'};
inline constexpr MenuEntry Exit{"mnuVormixAfslut", "&Afslut", 'Q'};
inline constexpr MenuEntry ShowLog{"mnuVormixErrLog", "&Vis log", 'L'};
inline constexpr MenuEntry AddToWord{"mnuAddButtonToWord", "&Tilføj til Word", 'W'};
inline constexpr MenuEntry Settings{"mnuVormixSettings", "&Indstillinger", 'S'};
inline constexpr MenuEntry About{"mnuVormixAbout", "&Om Vormix", 0};
// Last in the functions menu, after the entries above.
inline constexpr MenuEntry Undo{"mnuVormixFortryd", "&Fortryd sidste kørsel", 'Z'};

inline constexpr const char* FilerMenu = "&Filer";
inline constexpr const char* FunctionsMenu = "&Funktioner";
inline constexpr const char* HelpMenu = "&Help";

namespace about {

inline constexpr Twips ClientArea{0, 0, 5730, 4200};

inline constexpr const char* Description =
    "Dette værktøj er bygget til at formaterer flere WORD dokkumenter på en gang ved brug af "
    "makroer gemt i din lokale NORMAL.DOT Jeg tager ikke ansvar for fejl der måtte opstå på "
    "grund af dette program. Ødelagte data, bål eller brand garanteres der heller ikke imod. "
    "Hvis du har spørgsmål, ris eller ros, kan du skrive til mig.";
// The copyright notice goes on with the contact address.
inline constexpr const char* CopyrightNotice = "Copyright © 2026 Pravelo — ";

inline constexpr Control picIcon{Kind::Picture, "picIcon", {240, 240, 480, 660}, "", ""};
inline constexpr Control cmdOK{Kind::Button, "cmdOK", {4245, 3345, 1260, 345}, "OK", ""};
inline constexpr Control cmdSysInfo{
    Kind::Button, "cmdSysInfo", {4260, 3795, 1245, 345}, "&System Info...", ""};
inline constexpr Control lblDescription{
    Kind::Label, "lblDescription", {1050, 1125, 3885, 1890}, Description, ""};
inline constexpr Control lblTitle{
    Kind::Label, "lblTitle", {1050, 120, 3885, 480}, "Application Title", ""};
inline constexpr Control lblVersion{
    Kind::Label, "lblVersion", {1050, 660, 3885, 225}, "Version", ""};
// Its caption is the copyright notice with the contact address.
inline constexpr Control lblDisclaimer{
    Kind::Label, "lblDisclaimer", {360, 3480, 3630, 585}, "", ""};

// A level line from left to right at top, width pixels thick, in one grey level.
struct Line {
    const char* name;
    int left;
    int right;
    int top;
    int width;
    int grey;
};

// The separator: the grey line is drawn first and the wider white one over it.
inline constexpr Line Line1_1{"Line1_1", 120, 5684, 3240, 1, 128};
inline constexpr Line Line1_0{"Line1_0", 105, 5654, 3240, 2, 255};

}  // namespace about

}  // namespace pravelo::platform::layout
