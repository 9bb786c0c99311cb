#include "platform/posix/cp1252.h"

#include <gtest/gtest.h>

namespace pravelo::platform::posix {
namespace {

TEST(Cp1252, EveryByteDecodesAndComesBackUnchanged) {
    EXPECT_EQ(cp1252ToUtf8("\xE6\xF8\xE5\xC6\xD8\xC5 \x80 \x93x\x94"), "æøåÆØÅ € “x”");
    EXPECT_EQ(cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Cp1252, WhatTheCodePageCannotHoldBecomesQuestionMarks) {
    EXPECT_EQ(utf8ToCp1252("a漢b😀\u0080\u0100"), "a?b???");
    EXPECT_EQ(utf8ToCp1252("a\xFF"
                           "b\xC3"),
              "a?b?");                                         // stray and cut-short bytes
    EXPECT_EQ(utf8ToCp1252("\xC0\xAF\xED\xA0\x80"), "?????");  // overlong, surrogate
}

}  // namespace
}  // namespace pravelo::platform::posix
