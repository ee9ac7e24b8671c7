#include "platform/kernel/Encoding.h"

#include <gtest/gtest.h>

namespace qv::kernel {
namespace {

TEST(EncodingTest, RoundTripsCharactersWhoseTrailByteIsBackslashOrBracket) {
    // 表 95 5C, ソ 83 5C, 能 94 5C, ゾ 83 5D
    const std::string bytes("\x95\x5C\x83\x5C\x94\x5C\x83\x5D", 8);
    EXPECT_EQ(utf8ToCp932("表ソ能ゾ"), bytes);
    EXPECT_EQ(cp932ToUtf8(bytes), "表ソ能ゾ");
    EXPECT_EQ(cp932ToUtf8("C:\\data\\\x95\x5C.csv"), "C:\\data\\表.csv");
    EXPECT_EQ(utf8ToCp932("\\~"), "\\~");   // ASCII stays ASCII
    EXPECT_EQ(cp932ToUtf8("\x81\x60"), "～");
}

TEST(EncodingTest, WhatCannotBeConvertedBecomesAQuestionMark) {
    EXPECT_EQ(utf8ToCp932("a😀b"), "a?b");
    EXPECT_EQ(utf8ToCp932("a\xFF" "b"), "a?b");            // not UTF-8
    EXPECT_EQ(cp932ToUtf8("\x85\x40x"), "?x");              // unassigned double-byte code
    EXPECT_EQ(cp932ToUtf8("ok\x95"), "ok?");                // lead byte without its trail
}

TEST(EncodingTest, FittingNeverSplitsADoubleByteCharacter) {
    const std::string s = "a\x95\x5C" "b";   // a表b
    EXPECT_EQ(cp932FitLength(s, 0), 0u);
    EXPECT_EQ(cp932FitLength(s, 1), 1u);
    EXPECT_EQ(cp932FitLength(s, 2), 1u);
    EXPECT_EQ(cp932FitLength(s, 3), 3u);
    EXPECT_EQ(cp932FitLength(s, 99), 4u);
    EXPECT_EQ(cp932FitLength("a\x95", 5), 1u);   // a broken last character is not kept
    EXPECT_EQ(cp932Prefix(s, 2), "a");
    EXPECT_EQ(cp932Length("表示ab"), 6u);
    EXPECT_EQ(utf8CutToCp932Bytes("表示ab", 3), "表");
    EXPECT_EQ(utf8ToCp932Field("ソソ", 3), "\x83\x5C");
}

TEST(EncodingTest, FixedFieldsArePaddedWithNulAndReadUpToTheFirstNul) {
    char field[8];
    std::fill(std::begin(field), std::end(field), 'X');
    writeCp932Field("ab表示c", field, sizeof field);   // 7 bytes of text fit: a b 表 示 c
    EXPECT_EQ(std::string(field, 8), std::string("ab\x95\x5C\x8E\xA6" "c\0", 8));
    writeCp932Field("abcdef表", field, sizeof field);   // 表 would end at byte 8: left out
    EXPECT_EQ(std::string(field, 8), std::string("abcdef\0\0", 8));
    EXPECT_EQ(cp932FieldToUtf8(field, sizeof field), "abcdef");
    const char full[4] = {'\x95', '\x5C', 'x', 'y'};   // no NUL at all
    EXPECT_EQ(cp932FieldToUtf8(full, sizeof full), "表xy");
}

TEST(EncodingTest, FileTextIsCp932UnlessItStartsWithTheUtf8Mark) {
    EXPECT_EQ(decodeFileText("\xEF\xBB\xBF表"), "表");
    EXPECT_EQ(decodeFileText("\x95\x5C"), "表");
}

TEST(EncodingTest, CaseFoldingTouchesAsciiLettersOnly) {
    EXPECT_EQ(asciiLower("AbC表Ｚ"), "abc表Ｚ");
    EXPECT_TRUE(asciiIEquals("SETTING.set", "setting.SET"));
    EXPECT_FALSE(asciiIEquals("Ａ", "ａ"));
    EXPECT_FALSE(asciiIEquals("ab", "abc"));
}

} // namespace
} // namespace qv::kernel
