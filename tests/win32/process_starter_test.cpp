#include <gtest/gtest.h>
#include <windows.h>

#include "platform/error.h"
#include "platform/win32/text_convert.h"
#include "platform/win32/win32_process_starter.h"
#include "win32_test_support.h"

namespace pravelo::platform::win32 {
namespace {

using testing::awaitFile;
using testing::programFolder;
using testing::TempFolder;

// The stand-in writes its command line to the file this names.
class RecordFile {
  public:
    explicit RecordFile(const std::string& path) : path_(path) {
        SetEnvironmentVariableW(L"PRAVELO_STAND_IN_RECORD", toWide(path).c_str());
    }
    ~RecordFile() { SetEnvironmentVariableW(L"PRAVELO_STAND_IN_RECORD", nullptr); }
    std::string await() const { return awaitFile(path_); }

  private:
    std::string path_;
};

TEST(Win32ProcessStarter, ProgramPathIsTheWholeCommandLine) {
    TempFolder folder;
    RecordFile record(folder / "kommando.txt");
    const std::string program = programFolder() + "\\pravelo_stand_in.exe";
    Win32ProcessStarter().startProgram(program);
    EXPECT_EQ(record.await(), program);
}

// Windows looks for "Notepad.exe" in the starting program's folder first,
// where the build puts a stand-in of that name.
TEST(Win32ProcessStarter, EditorGetsNotepadAndTheUnquotedPath) {
    TempFolder folder;
    RecordFile record(folder / "kommando.txt");
    const std::string log = "C:\\Mine programmer\\Pravelo æøå\\Pravelo.log";
    Win32ProcessStarter().startTextEditor(log);
    EXPECT_EQ(record.await(), "Notepad.exe " + log);
}

TEST(Win32ProcessStarter, MissingOrEmptyProgramsFailWithANumber) {
    TempFolder folder;
    Win32ProcessStarter starter;
    for (const std::string& path : {folder / "mangler.exe", std::string(), std::string("  ")}) {
        try {
            starter.startProgram(path);
            ADD_FAILURE() << "started " << path;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errnum::FileNotFound) << path;
            EXPECT_FALSE(e.description().empty());
        }
    }
    // A file that is no program.
    testing::writeBytes(folder / "tekst.exe", "ikke et program");
    EXPECT_THROW(starter.startProgram(folder / "tekst.exe"), Error);
}

}  // namespace
}  // namespace pravelo::platform::win32
