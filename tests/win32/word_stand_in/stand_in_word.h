#pragma once
// WordStandIn.exe: a small local automation server that answers under the
// word processor's class id, so the client side can be tested under Wine
// without the real program. It serves only tests.
//
// Registration: registerWordStandIn() (win32_test_support.h) writes
//   HKLM\Software\Classes\CLSID\{000209FF-0000-0000-C000-000000000046}\LocalServer32
//   = "<path>\WordStandIn.exe" /Automation
// in the 64-bit and 32-bit registry views. HKLM, because Wine does not merge
// HKCU classes. Wine starts the server with " -Embedding" appended and with
// the client's environment. Each server serves one client (REGCLS_SINGLEUSE):
// a second CoCreateInstance starts a second process.
//
// Objects, late bound only (no type information):
//   Application  put Visible, ScreenUpdating, DisplayAlerts, AutomationSecurity;
//                get Options, Documents, ActiveDocument, NormalTemplate;
//                Run(MacroName, ...), Quit(SaveChanges, OriginalFormat, RouteDocument)
//   Options      get and put CheckSpellingAsYouType, CheckGrammarAsYouType
//   Documents    Open(FileName, ConfirmConversions, ReadOnly, AddToRecentFiles,
//                PasswordDocument, PasswordTemplate, Revert, WritePasswordDocument,
//                WritePasswordTemplate, Format, Encoding, Visible, OpenAndRepair,
//                DocumentDirection, NoEncodingDialog, XMLTransform) -> Document;
//                get Count
//   Document     Close(SaveChanges, OriginalFormat, RouteDocument);
//                get FullName, ReadOnly, UserControl
//   Template     get and put Saved (the Normal template)
// Names ignore case. Arguments may be VT_BOOL, VT_I2, VT_I4, VT_BSTR or a
// VT_BYREF of one; VT_ERROR (DISP_E_PARAMNOTFOUND) counts as left out.
//
// Documents are real files. Open fails for a missing file. Run marks the
// active (last opened, still open) document as changed by that macro, and the
// Normal template as changed (Saved False). Close with SaveChanges -1 appends
// "Makro <name>" CR LF to the file once per macro run on it; with 0 or left
// out it writes nothing. A document is ReadOnly when its file has the
// read-only attribute or its path contains "readonly" (read-only recommended,
// locked by someone else).
//
// Options are the user's, kept between instances under the key
// HKCU\Software\Pravelo\WordStandIn: DWORD values CheckSpellingAsYouType and
// CheckGrammarAsYouType (missing: True). A put writes them at once.
//
// The user's own document: when PRAVELO_WORD_USER_DOCUMENT names a file, an
// Open of a file whose name has "shellopen" opens that file too, after it, as
// Explorer hands a double-clicked file to a running Word: it becomes the
// active document, with UserControl True, and the record gets
//   <pid> user opens "<path>"
//
// Busy: when PRAVELO_WORD_BUSY_MS is a number N, the server turns every call
// away for N ms after it starts (IClassFactory::CreateInstance with
// RPC_E_CALL_REJECTED), and again for N ms after it first hands out its
// Application, as if loading add-ins (GetIDsOfNames and Invoke with
// RPC_E_SERVERCALL_RETRYLATER). A call turned away is not recorded, except a
// creation, as "<pid> creation turned away", so a test sees the client asking again.
//
// Slow macro: when PRAVELO_WORD_MACRO_MS is a number N, Run works N ms before
// it returns, so a test can act while a document is in hand.
//
// Record: when PRAVELO_WORD_RECORD names a file, every call appends one UTF-8
// line ending in CR LF, written when the call starts (so a hung call shows),
// serialised across processes by the mutex Local\PraveloWordRecord:
//   <pid> start
//   <pid> Application.Visible = False                  property put
//   <pid> Application.Documents                         property get
//   <pid> Application.Quit                              method, no arguments
//   <pid> Documents.Open "C:\dir\a.doc", ReadOnly:=True, PasswordDocument:="x"
//   <pid> Document.Close SaveChanges:=-1
//   <pid> exit
// Values: True/False, decimal integers, texts in double quotes as given.
// Positional arguments come first, in call order, then named ones as
// Name:=value in call order. DISPPARAMS holds both kinds last-first, so the
// named argument in rgvarg[cNamedArgs - 1] is written first. A left-out
// positional argument is written as nothing between its commas.
//
// Failures, raised as the word processor raises them: Invoke returns
// DISP_E_EXCEPTION with EXCEPINFO source "Microsoft Word", wCode 0 and:
//   Open, missing file                 0x800A1436 This file could not be found.\r(<path>)
//   Open, name has "fail"              0x800A16A0 The file appears to be corrupted.
//         (but not "closefail")
//   Open, name has "protected"         with a PasswordDocument:
//                                      0x800A1520 The password is incorrect. ...\r(<path>)
//                                      without one: hangs (a password prompt)
//   Open, name has "hang"              hangs
//   Run, macro has "Mangler"           0x80020003 Unable to run the specified macro
//   Run, macro has "Fejl"              0x800A000B Division by zero
//   Run, macro has "Haenger"           hangs
//   ActiveDocument, nothing open       0x800A1098 This command is not available ...
//   Close, name has "closefail"        0x800A1066 Command failed
//   Quit without SaveChanges while a changed document is open: with
//   DisplayAlerts 0 the changes are saved, else it hangs (a prompt no one
//   sees). Quit with SaveChanges 0 discards, -1 saves.
//   Quit while the Normal template is changed: with DisplayAlerts 0 it is
//   written (record: "<pid> Normal.dotm written"), else it hangs; SaveChanges
//   does not change that.
// Hidden prompts: these calls show a dialog box (class #32770, never visible)
// with the title given and hang:
//   Run, macro has "Haenger"           "Microsoft Visual Basic"
//   Open, name ends ".txt", without NoEncodingDialog:=True
//                                      "Filkonvertering"
//   Close with SaveChanges -1 of a ReadOnly document
//                                      "Gem som"

// "Name" is the file's name without its folder; the file must exist. All
// matches ignore case. A hung call sleeps until the process is killed.
//
// Life: the process ends shortly after Quit returns, writing "exit". When the
// client lets go of every object without Quit it ends too, unless Visible was
// set True: then it stays, like a program left to its user, for 120 s. With
// no client within 60 s of starting it ends.

#include <atomic>
#include <string>

struct IDispatch;

namespace pravelo::testing::word_stand_in {

inline constexpr wchar_t kClassId[] = L"{000209FF-0000-0000-C000-000000000046}";
inline constexpr wchar_t kRecordVariable[] = L"PRAVELO_WORD_RECORD";
inline constexpr wchar_t kRecordMutex[] = L"Local\\PraveloWordRecord";
inline constexpr char kExeName[] = "WordStandIn.exe";

// Appends "<pid> <text>" to the record, if there is one.
void record(const std::wstring& text);

// The objects the client holds, for the server's life.
extern std::atomic<long> liveObjects;
extern std::atomic<bool> quitCalled;
extern std::atomic<bool> visible;

// A new Application object, holding one reference.
IDispatch* newApplication();

// PRAVELO_WORD_BUSY_MS: begins a busy period; busy() while it lasts.
void startBusyPeriod();
bool busy();

}  // namespace pravelo::testing::word_stand_in
