#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/basic/Basic.h"

using namespace qv::basic;
using Parts = std::vector<std::string>;

namespace {

const std::string kMixed = "日本語abc";

TEST(StringsTest, CountsCharactersNotBytes) {
    EXPECT_EQ(Len(kMixed), 6);
    EXPECT_EQ(Len(""), 0);
    EXPECT_EQ(Mid(kMixed, 2, 2), "本語");
    EXPECT_EQ(Mid(kMixed, 3), "語abc");
    EXPECT_EQ(Left(kMixed, 2), "日本");
    EXPECT_EQ(Right(kMixed, 4), "語abc");
    EXPECT_EQ(Len("μV±"), 3);
}

TEST(StringsTest, PositionsOutsideTheTextNeverThrow) {
    EXPECT_EQ(Mid(kMixed, 7), "");
    EXPECT_EQ(Mid(kMixed, 100, 5), "");
    EXPECT_EQ(Mid(kMixed, 5, 100), "bc");
    EXPECT_EQ(Mid(kMixed, 0, 2), "日本");
    EXPECT_EQ(Mid(kMixed, -5), kMixed);
    EXPECT_EQ(Mid(kMixed, 2, -1), "");
    EXPECT_EQ(Mid(kMixed, 2, 0), "");
    EXPECT_EQ(Left(kMixed, 100), kMixed);
    EXPECT_EQ(Left(kMixed, -1), "");
    EXPECT_EQ(Right(kMixed, 100), kMixed);
    EXPECT_EQ(Right(kMixed, 0), "");
    EXPECT_EQ(Right("", 3), "");
}

TEST(StringsTest, MalformedUtf8CountsByteByByte) {
    const std::string bad = "a\xFF" "b\xE6\x97";  // a stray byte and a cut-off character
    EXPECT_EQ(Len(bad), 5);
    EXPECT_EQ(Mid(bad, 2, 1), "\xFF");
    EXPECT_EQ(Right(bad, 2), "\xE6\x97");
    EXPECT_EQ(Left(bad, 5), bad);
    EXPECT_EQ(Len("\xC0\x80"), 2);  // overlong forms are not characters
    EXPECT_EQ(Len("\xED\xA0\x80"), 3);  // nor are encoded surrogates
    EXPECT_FALSE(Like("ÿ", "\xFF"));  // a stray byte is not the character of the same value
    EXPECT_TRUE(Like(bad, "a?b??"));
}

TEST(StringsTest, TrimRemovesBlanksOnly) {
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(LTrim("  a "), "a ");
    EXPECT_EQ(RTrim("  a "), "  a");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");
    EXPECT_EQ(Trim("　a"), "　a");  // the ideographic space stays
    EXPECT_EQ(Trim("    "), "");
}

TEST(StringsTest, CaseOfAsciiAndFullWidthLetters) {
    EXPECT_EQ(UCase("abcＡｂｃ日z"), "ABCＡＢＣ日Z");
    EXPECT_EQ(LCase("ABCＡｂＣ日Z"), "abcａｂｃ日z");
    EXPECT_EQ(UCase("μv"), "μV");
    // Bytes of other three-byte characters that share the lead byte are left alone.
    EXPECT_EQ(UCase("\xEF\xBD\xA1"), "\xEF\xBD\xA1");  // half-width "｡"
}

TEST(StringsTest, InStrCountsCharacters) {
    EXPECT_EQ(InStr("abcabc", "bc"), 2);
    EXPECT_EQ(InStr(3, "abcabc", "bc"), 5);
    EXPECT_EQ(InStr("日本語", "語"), 3);
    EXPECT_EQ(InStr(2, "日本語日本語", "日"), 4);
    EXPECT_EQ(InStr("abc", "x"), 0);
    EXPECT_EQ(InStr("abc", ""), 1);
    EXPECT_EQ(InStr(4, "abc", ""), 4);
    EXPECT_EQ(InStr(5, "abc", ""), 0);
    EXPECT_EQ(InStr(9, "abc", "c"), 0);
    EXPECT_EQ(InStr(0, "abc", "a"), 1);
}

TEST(StringsTest, InStrRevSearchesBackwards) {
    EXPECT_EQ(InStrRev("abcabc", "bc"), 5);
    EXPECT_EQ(InStrRev("abcabc", "bc", 5), 2);  // the match must end by the start position
    EXPECT_EQ(InStrRev("abcabc", "bc", 6), 5);
    EXPECT_EQ(InStrRev("C:\\日本\\語.txt", "\\"), 6);
    EXPECT_EQ(InStrRev("abc", "x"), 0);
    EXPECT_EQ(InStrRev("abc", ""), 3);
    EXPECT_EQ(InStrRev("abc", "a", 9), 0);
    EXPECT_EQ(InStrRev("", "a"), 0);
}

TEST(StringsTest, SplitAndJoin) {
    EXPECT_EQ(Split("a,,b", ","), (Parts{"a", "", "b"}));
    EXPECT_EQ(Split(",a,", ","), (Parts{"", "a", ""}));
    EXPECT_TRUE(Split("", ",").empty());
    EXPECT_EQ(Split("abc", ""), (Parts{"abc"}));
    EXPECT_EQ(Split("a,b,c", ",", 2), (Parts{"a", "b,c"}));
    EXPECT_EQ(Split("a,b,c", ",", 1), (Parts{"a,b,c"}));
    EXPECT_TRUE(Split("a,b", ",", 0).empty());
    EXPECT_EQ(Split("a--b--", "--"), (Parts{"a", "b", ""}));
    EXPECT_EQ(Split("名前 単位"), (Parts{"名前", "単位"}));
    const std::string csv = "ch1,,電圧,mV";
    EXPECT_EQ(Join(Split(csv, ","), ","), csv);
    EXPECT_EQ(Join({}, ","), "");
    EXPECT_EQ(Join({"a", "b"}), "a b");
}

TEST(StringsTest, ReplaceEveryOccurrence) {
    EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");
    EXPECT_EQ(Replace("abc", "", "x"), "abc");
    EXPECT_EQ(Replace("a\\b\\c", "\\", "/"), "a/b/c");
    EXPECT_EQ(Replace("表示表", "表", "ソ"), "ソ示ソ");
    EXPECT_EQ(Replace("xx", "x", "xx"), "xxxx");
    EXPECT_EQ(Replace("ABC", "b", ""), "ABC");
}

TEST(LikeTest, StarAndQuestionMark) {
    EXPECT_TRUE(Like("VylK10[±10]", "*±10*"));
    EXPECT_FALSE(Like("VylK10[±5]", "*±10*"));
    EXPECT_TRUE(Like("CONTEC Co.,Ltd-AD16-16U(PCI)EH [1]", "*CONTEC Co.,Ltd-AD16-16U(PCI)EH*"));
    EXPECT_TRUE(Like("abc", "a?c"));
    EXPECT_FALSE(Like("ac", "a?c"));
    EXPECT_TRUE(Like("日本", "??"));  // one "?" per character, not per byte
    EXPECT_FALSE(Like("日本", "???"));
    EXPECT_TRUE(Like("", "*"));
    EXPECT_FALSE(Like("", "?"));
    EXPECT_TRUE(Like("abc", "abc"));
    EXPECT_FALSE(Like("abcd", "abc"));
    EXPECT_TRUE(Like("aXbXc", "a*b*c"));
    EXPECT_TRUE(Like("mississippi", "*sip*"));
    EXPECT_TRUE(Like("[x]", "[x]"));  // brackets are plain characters
}

TEST(LikeTest, CaseSensitiveUnlessTextCompare) {
    EXPECT_FALSE(Like("USB-6008", "*usb-6008*"));
    EXPECT_TRUE(LikeText("USB-6008", "*usb-6008*"));
    EXPECT_TRUE(LikeText("Data.KDAT", "*.kdat"));
    EXPECT_FALSE(LikeText("Ａ", "ａ"));  // only ASCII letters fold
}

TEST(LikeTest, ManyStarsStayFast) {
    const std::string text(5000, 'a');
    EXPECT_FALSE(Like(text, "*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(Like(text + "b", "*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
