#include "platform/posix/cp1252.h"

#include <gtest/gtest.h>

namespace pravelo::platform::posix {
namespace {

TEST(Cp1252, DecodesDanishLettersAndTheEuroSign) {
    EXPECT_EQ(cp1252ToUtf8("\xE6\xF8\xE5\xC6\xD8\xC5 \x80"), "æøåÆØÅ €");
    EXPECT_EQ(cp1252ToUtf8("\x93x\x94 \x96 \x85"), "“x” – …");
}

TEST(Cp1252, UndefinedBytesBecomeTheMatchingControls) {
    EXPECT_EQ(cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1252("a漢b"), "a?b");
    EXPECT_EQ(utf8ToCp1252("😀"), "?");  // one character, one mark
    EXPECT_EQ(utf8ToCp1252("\u0080\u0100"), "??");
}

TEST(Cp1252, MalformedUtf8BecomesOneQuestionMarkPerByte) {
    EXPECT_EQ(utf8ToCp1252("a\xFF"
                           "b"),
              "a?b");
    EXPECT_EQ(utf8ToCp1252("\xC3"), "?");            // cut short at the end
    EXPECT_EQ(utf8ToCp1252("\xC0\xAF"), "??");       // overlong
    EXPECT_EQ(utf8ToCp1252("\xED\xA0\x80"), "???");  // surrogate
    EXPECT_EQ(utf8ToCp1252("\xE2\x82"
                           "x"),
              "??x");
}

}  // namespace
}  // namespace pravelo::platform::posix
