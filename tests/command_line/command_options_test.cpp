#include "command_line/command_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pravelo::command_line {
namespace {

using Args = std::vector<std::string>;

TEST(CommandOptionsTest, ReadsEveryOptionInEitherFormAndKeepsPathsInOrder) {
    const auto parsed = ParseCommandLine({"b.doc", "--makro", "Ret", "--filtyper=*.doc; *.dot ;",
                                          "--undermapper", "--rapport", "r.csv", "--samtidige=3",
                                          "a", "--", "--ikke-et-tilvalg.doc"});
    ASSERT_EQ(parsed.error, "");
    const CommandOptions& o = parsed.options;
    EXPECT_EQ(o.macro, "Ret");
    EXPECT_EQ(o.patterns, (Args{"*.doc", "*.dot"}));
    EXPECT_TRUE(o.subfolders);
    EXPECT_EQ(o.report, "r.csv");
    EXPECT_EQ(o.concurrent, 3);
    EXPECT_EQ(o.paths, (Args{"b.doc", "a", "--ikke-et-tilvalg.doc"}));
    EXPECT_FALSE(o.help);
    EXPECT_FALSE(o.undo);
}

TEST(CommandOptionsTest, DefaultsLeaveTheSettingsPatternsOneFolderAndNoReport) {
    const auto parsed = ParseCommandLine({"--makro", "Ret", "-"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_TRUE(parsed.options.patterns.empty());
    EXPECT_FALSE(parsed.options.subfolders);
    EXPECT_FALSE(parsed.options.concurrent.has_value());
    EXPECT_EQ(parsed.options.report, "");
    EXPECT_EQ(parsed.options.paths, Args{"-"});
}

TEST(CommandOptionsTest, BadUsageIsToldInDanish) {
    const struct {
        Args arguments;
        std::string error;
    } cases[] = {
        {{"--makro", "Ret", "--ukendt", "a"}, "Ukendt tilvalg: --ukendt"},
        {{"--makro", "Ret", "-x", "a"}, "Ukendt tilvalg: -x"},
        {{"a"}, "Angiv makroen med --makro NAVN."},
        {{"--makro", "Ret"}, "Angiv mindst ét dokument eller én mappe."},
        {{"a", "--makro"}, "--makro mangler en værdi."},
        {{"--makro=", "a"}, "Makronavnet er tomt."},
        {{"--makro", "A", "--makro", "B", "a"}, "--makro er angivet mere end én gang."},
        {{"--makro", "A", "--filtyper", " ; ", "a"},
         "--filtyper skal have mindst ét mønster, fx \"*.doc\"."},
        {{"--makro", "A", "--samtidige", "0", "a"},
         "--samtidige skal være et helt tal fra 1 til 16, ikke \"0\"."},
        {{"--makro", "A", "--samtidige", "2x", "a"},
         "--samtidige skal være et helt tal fra 1 til 16, ikke \"2x\"."},
        {{"--makro", "A", "--samtidige", "17", "a"},
         "--samtidige skal være et helt tal fra 1 til 16, ikke \"17\"."},
        {{"--makro", "A", "--undermapper=ja", "a"}, "--undermapper tager ingen værdi."},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& a : c.arguments) shown += a + " ";
        EXPECT_EQ(ParseCommandLine(c.arguments).error, c.error) << shown;
    }
}

TEST(CommandOptionsTest, HelpAndUndoNeedNoMacroOrPath) {
    for (const std::string help : {"--hjaelp", "--help"}) {
        const auto parsed = ParseCommandLine({help});
        EXPECT_EQ(parsed.error, "");
        EXPECT_TRUE(parsed.options.help);
    }
    const auto undo = ParseCommandLine({"--fortryd"});
    EXPECT_EQ(undo.error, "");
    EXPECT_TRUE(undo.options.undo);
    for (const std::string option : {"--makro", "--filtyper", "--undermapper", "--rapport",
                                     "--samtidige", "--fortryd", "--hjaelp", "--help"}) {
        EXPECT_NE(UsageText().find(option), std::string::npos) << option;
    }
}

TEST(CommandOptionsTest, SplitsPatternsAtSemicolons) {
    EXPECT_EQ(SplitPatterns("*.doc;*.dot"), (Args{"*.doc", "*.dot"}));
    EXPECT_EQ(SplitPatterns(" *.doc ;; *.rtf "), (Args{"*.doc", "*.rtf"}));
    EXPECT_EQ(SplitPatterns(""), Args{});
}

}  // namespace
}  // namespace pravelo::command_line
