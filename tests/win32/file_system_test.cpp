#include <gtest/gtest.h>
#include <windows.h>

#include "platform/error.h"
#include "platform/win32/text_convert.h"
#include "platform/win32/win32_file_system.h"
#include "win32_test_support.h"

namespace pravelo::platform::win32 {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

// What the ANSI code page makes of a text; the Danish letters are single
// bytes in every Western code page.
std::string ansi(const std::wstring& text) {
    return utf8ToAnsi(fromWide(text));
}

TEST(Win32FileSystem, AppendedLinesAreAnsiWithCrLf) {
    TempFolder folder;
    Win32FileSystem files;
    const std::string log = folder / "Pravelo.log";
    files.appendLine(log, "08-12-2026, 14:07:09, 5174, C:\\Bøger\\Æble.doc, Filen findes ikke");
    files.appendLine(log, "to\nlinjer");
    files.appendLine(log, "€ og 中");
    const std::string bytes = readBytes(log);
    EXPECT_EQ(bytes, ansi(L"08-12-2026, 14:07:09, 5174, C:\\Bøger\\Æble.doc, Filen findes ikke\r\n"
                          L"to\r\nlinjer\r\n") +
                         ansi(L"€ og ") + "?\r\n");
    if (GetACP() == 1252) {
        EXPECT_NE(bytes.find("B\xF8ger\\\xC6"
                             "ble.doc"),
                  std::string::npos);
        EXPECT_NE(bytes.find("\x80 og ?\r\n"), std::string::npos);
    }
}

TEST(Win32FileSystem, LinesReadBackAsUtf8WhateverTheLineEnd) {
    TempFolder folder;
    Win32FileSystem files;
    const std::string path = folder / "Pravelo.dll";
    writeBytes(path, ansi(L"[Makro]\r\nRetSkrift\nÆØÅ\r\r\nsidste"));
    auto input = files.openForInput(path);
    std::vector<std::string> lines;
    while (!input->atEnd()) lines.push_back(input->readLine(4096));
    EXPECT_EQ(lines, (std::vector<std::string>{"[Makro]", "RetSkrift", "ÆØÅ", "", "sidste"}));
    try {
        input->readLine(4096);
        FAIL() << "read past the end";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errnum::InputPastEnd);
    }
}

TEST(Win32FileSystem, LongLinesComeBackInPieces) {
    TempFolder folder;
    Win32FileSystem files;
    const std::string path = folder / "lang.txt";
    writeBytes(path, std::string(10, 'a') + "\r\n" + std::string(4, 'b') + "\r\n");
    auto input = files.openForInput(path);
    EXPECT_EQ(input->readLine(4), "aaaa");
    EXPECT_EQ(input->readLine(4), "aaaa");
    EXPECT_EQ(input->readLine(4), "aa");
    EXPECT_EQ(input->readLine(4), "bbbb");  // exactly the limit: one line, not two
    EXPECT_TRUE(input->atEnd());
}

TEST(Win32FileSystem, FailuresCarryTheirNumbers) {
    TempFolder folder;
    Win32FileSystem files;
    const auto numberOf = [](const auto& action) {
        try {
            action();
        } catch (const Error& e) {
            EXPECT_FALSE(e.description().empty());
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(numberOf([&] { files.openForInput(folder / "mangler.txt"); }), errnum::FileNotFound);
    EXPECT_EQ(numberOf([&] { files.openForInput(folder / "ingen\\mappe.txt"); }),
              errnum::PathNotFound);
    EXPECT_EQ(numberOf([&] { files.openForInput(folder.path()); }), errnum::FileAccess);
    EXPECT_EQ(numberOf([&] { files.appendLine(folder / "ingen\\mappe.log", "x"); }),
              errnum::PathNotFound);
    EXPECT_EQ(numberOf([&] { files.openForInput(""); }), errnum::PathNotFound);
}

TEST(Win32FileSystem, OrdinaryFilesAreNeitherFoldersNorHiddenNorSystem) {
    TempFolder folder;
    Win32FileSystem files;
    const std::string plain = folder / "MSINFO32.EXE";
    const std::string hidden = folder / "skjult.exe";
    const std::string system = folder / "system.exe";
    for (const auto& path : {plain, hidden, system}) writeBytes(path, "x");
    SetFileAttributesW(toWide(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(toWide(system).c_str(), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(files.isOrdinaryFile(plain));
    EXPECT_TRUE(files.isOrdinaryFile(folder / "msinfo32.exe"));  // names ignore case
    EXPECT_FALSE(files.isOrdinaryFile(hidden));
    EXPECT_FALSE(files.isOrdinaryFile(system));
    EXPECT_FALSE(files.isOrdinaryFile(folder.path()));
    EXPECT_FALSE(files.isOrdinaryFile(folder.path() + "\\"));
    EXPECT_FALSE(files.isOrdinaryFile(folder / "mangler.exe"));
}

TEST(Win32FileSystem, UsersFolderIsMadeLevelByLevelAndFilesCopiedWholeOnlyOnce) {
    TempFolder folder;
    Win32FileSystem files;
    const std::string deep = folder / "Roaming\\Pravelo\\";
    files.createFolder(deep);
    files.createFolder(folder / "Roaming/Pravelo");  // there already, either separator
    const DWORD attributes = GetFileAttributesW(toWide(deep).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    writeBytes(folder / "fil", "x");
    EXPECT_THROW(files.createFolder(folder / "fil\\Pravelo\\"), Error);

    constexpr char kBytes[] = "stempel, \r\n[Makro]\r\nM\xE6rke\r\n\0x\r\n";
    const std::string bytes(kBytes, sizeof kBytes - 1);
    writeBytes(folder / "Pravelo.dll", bytes);
    files.copyFile(folder / "Pravelo.dll", deep + "Pravelo.dll");
    EXPECT_EQ(readBytes(deep + "Pravelo.dll"), bytes);
    writeBytes(deep + "egen.dll", "egen");
    EXPECT_THROW(files.copyFile(folder / "Pravelo.dll", deep + "egen.dll"), Error);
    EXPECT_EQ(readBytes(deep + "egen.dll"), "egen");
}

TEST(Win32FileSystem, FolderWritableLeavesNothingBehind) {
    TempFolder folder;
    Win32FileSystem files;
    EXPECT_TRUE(files.folderWritable(folder.path()));
    EXPECT_TRUE(files.folderWritable(folder.path() + "\\"));
    EXPECT_FALSE(files.folderWritable(folder / "mangler"));
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(toWide(folder / "*").c_str(), &found);
    int entries = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
                ++entries;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(entries, 0);
}

}  // namespace
}  // namespace pravelo::platform::win32
