#include "platform/libreoffice/uno/macro_name.h"

#include <gtest/gtest.h>

#include "platform/error.h"

using pravelo::platform::Error;
using namespace pravelo::platform::libreoffice;

namespace {

TEST(MacroName, AcceptsOneToThreeIdentifiers) {
    auto name = parseMacroName("Lib_1.Modul1.Ændr");
    EXPECT_EQ(name.library, "Lib_1");
    EXPECT_EQ(name.module, "Modul1");
    EXPECT_EQ(name.name, "Ændr");
    name = parseMacroName("Module1.Main");
    EXPECT_EQ(name.library, "");
    EXPECT_EQ(name.module, "Module1");
    EXPECT_EQ(parseMacroName("_Main").name, "_Main");
}

TEST(MacroName, RefusesAnythingThatCouldReachAnotherScriptOrLocation) {
    for (const std::string bad :
         {"", ".", "Main.", ".Main", "a.b.c.d", "1Main", "Main?language=Python",
          "Main&location=document", "vnd.sun.star.script:Main", "Ma in", "Main\n", "Ma/in",
          "Main%3F", "Main'", "Main()"}) {
        try {
            parseMacroName(bad);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const Error& e) {
            EXPECT_NE(e.description().find("\"" + bad + "\""), std::string::npos);
        }
    }
}

TEST(MacroName, ResolvesStandardFirstIgnoringCase) {
    const std::vector<MacroRef> macros{{"Extra", "Tools", "Run"},
                                       {"Standard", "Module1", "Run"},
                                       {"Extra", "Tools", "Only"},
                                       {"Standard", "Module2", "Twice"},
                                       {"Standard", "Module3", "Twice"}};
    EXPECT_EQ(resolveMacro(parseMacroName("run"), "run", macros).library, "Standard");
    EXPECT_EQ(resolveMacro(parseMacroName("Extra.Tools.Run"), "", macros).library, "Extra");
    EXPECT_EQ(resolveMacro(parseMacroName("Tools.Run"), "", macros).library, "Extra");
    EXPECT_EQ(resolveMacro(parseMacroName("Only"), "", macros).module, "Tools");
    EXPECT_EQ(resolveMacro(parseMacroName("Module3.Twice"), "", macros).module, "Module3");
}

TEST(MacroName, UnknownOrAmbiguousNamesAreErrorsNamingThem) {
    const std::vector<MacroRef> macros{{"Standard", "Module2", "Twice"},
                                       {"Standard", "Module3", "Twice"},
                                       {"A", "M", "Other"},
                                       {"B", "M", "Other"}};
    for (const std::string typed : {"Twice", "Other", "Missing", "Module1.Twice"}) {
        try {
            resolveMacro(parseMacroName(typed), typed, macros);
            ADD_FAILURE() << "resolved: " << typed;
        } catch (const Error& e) {
            EXPECT_NE(e.description().find("\"" + typed + "\""), std::string::npos);
        }
    }
}

}  // namespace
