#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "ErrorExpect.h"
#include "platform/basic/Basic.h"

using namespace qv::basic;

namespace {

TEST(RuntimeErrorTest, CarriesNumberAndDefaultOrOwnDescription) {
    try {
        raiseError(9);
        FAIL() << "raiseError returned";
    } catch (const std::exception& e) {
        auto* err = dynamic_cast<const RuntimeError*>(&e);
        ASSERT_NE(err, nullptr);
        EXPECT_EQ(err->number(), 9);
        EXPECT_EQ(err->description(), "Subscript out of range");
        EXPECT_NE(std::string(e.what()).find("9"), std::string::npos);
    }
    RuntimeError own(30000, "引数 lSize が範囲外です");
    EXPECT_EQ(own.description(), "引数 lSize が範囲外です");
    EXPECT_EQ(RuntimeError(6).description(), "Overflow");
    EXPECT_EQ(RuntimeError(11).description(), "Division by zero");
    EXPECT_EQ(RuntimeError(13).description(), "Type mismatch");
    // Every number the system raises has a text, and the unknown ones share the generic text.
    for (int n : {5, 6, 7, 9, 11, 13, 48, 53, 91, 380, 383, 453, 30000})
        EXPECT_FALSE(defaultDescription(n).empty()) << n;
    EXPECT_EQ(defaultDescription(30000), defaultDescription(12345));
    EXPECT_NE(defaultDescription(380), defaultDescription(383));
}

TEST(ValTest, ReadsTheLeadingNumberOnly) {
    EXPECT_EQ(Val("12abc"), 12);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("  \t-1.5e3x"), -1500);
    EXPECT_EQ(Val("1.2.3"), 1.2);
    EXPECT_EQ(Val(".5"), 0.5);
    EXPECT_EQ(Val("-.5"), -0.5);
    EXPECT_EQ(Val("5."), 5);
    EXPECT_EQ(Val("."), 0);
    EXPECT_EQ(Val("+-1"), 0);
    EXPECT_EQ(Val("1D2"), 100);  // the language's double-precision exponent letter
    EXPECT_EQ(Val("1e"), 1);     // an incomplete exponent is not part of the number
    EXPECT_EQ(Val("2E+"), 2);
    EXPECT_EQ(Val("0x10"), 0);
    EXPECT_EQ(Val("１２"), 0);  // full-width digits are not digits
    EXPECT_EQ(Val("1e-999"), 0);
    EXPECT_EQ(Val("123456789012345678901234567890"), 1.2345678901234568e29);
    EXPECT_EQ(Val("0.1"), 0.1);  // correctly rounded, not accumulated digit by digit
}

TEST(ValTest, TooLargeExponentOverflows) {
    EXPECT_RUNTIME_ERROR(Val("1e999"), 6);
    EXPECT_RUNTIME_ERROR(Val("-5E400"), 6);
    EXPECT_RUNTIME_ERROR(Val("0.5e400"), 6);
    EXPECT_RUNTIME_ERROR(CDbl("200e306"), 6);
    EXPECT_EQ(CDbl("123e306"), 1.23e308);
    EXPECT_EQ(Val("0.0001e-400"), 0);
    EXPECT_EQ(Val("123456e-400"), 0);
}

TEST(IsNumericTest, WholeTextMustBeOneNumber) {
    for (const char* yes : {"12", " 12 ", "-1.5", "+3", "1e5", "1.", ".5", "2D3", "\t7"})
        EXPECT_TRUE(IsNumeric(yes)) << yes;
    for (const char* no : {"", " ", ".", "12a", "1e", "- 1", "1 2", "abc", "1e999", "--1"})
        EXPECT_FALSE(IsNumeric(no)) << no;
}

TEST(StrictConversionTest, RejectsTextThatIsNotANumber) {
    EXPECT_EQ(CLng("12"), 12);
    EXPECT_EQ(CLng(" 2.5 "), 2);
    EXPECT_EQ(CLng("3.5"), 4);
    EXPECT_EQ(CInt("-7"), -7);
    EXPECT_EQ(CDbl("1.25"), 1.25);
    EXPECT_EQ(CSng("0.1"), 0.1f);
    EXPECT_RUNTIME_ERROR(CLng(""), 13);
    EXPECT_RUNTIME_ERROR(CLng("abc"), 13);
    EXPECT_RUNTIME_ERROR(CLng("12abc"), 13);
    EXPECT_RUNTIME_ERROR(CDbl("."), 13);
    EXPECT_RUNTIME_ERROR(CLng("3000000000"), 6);
    EXPECT_RUNTIME_ERROR(CInt("40000"), 6);
    EXPECT_RUNTIME_ERROR(CSng("1e39"), 6);
    EXPECT_RUNTIME_ERROR(CDbl("1e400"), 6);
}

TEST(RoundingTest, CLngAndCIntRoundHalvesToEven) {
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(3.5), 4);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CLng(-3.5), -4);
    EXPECT_EQ(CLng(0.5), 0);
    EXPECT_EQ(CLng(2.4999999), 2);
    EXPECT_EQ(CLng(2.5000001), 3);
    EXPECT_EQ(CLng(-0.4), 0);
    EXPECT_EQ(CInt(1.5), 2);
    EXPECT_EQ(CInt(-1.5), -2);
}

TEST(RoundingTest, OverflowAtTheRangeEdges) {
    EXPECT_EQ(CLng(2147483647.4), 2147483647);
    EXPECT_EQ(CLng(-2147483648.5), std::numeric_limits<int32_t>::min());  // half to even stays in
    EXPECT_RUNTIME_ERROR(CLng(2147483647.5), 6);
    EXPECT_RUNTIME_ERROR(CLng(-2147483648.51), 6);
    EXPECT_RUNTIME_ERROR(CLng(std::nan("")), 6);
    EXPECT_RUNTIME_ERROR(CLng(std::numeric_limits<double>::infinity()), 6);
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(CInt(-32768.5), -32768);
    EXPECT_RUNTIME_ERROR(CInt(32767.5), 6);
    EXPECT_RUNTIME_ERROR(CInt(-32768.6), 6);
    EXPECT_RUNTIME_ERROR(CSng(1e39), 6);
    EXPECT_EQ(CSng(1e-50), 0.0f);
    EXPECT_EQ(Fix(-2.7), -2);
    EXPECT_EQ(Fix(2.7), 2);
}

TEST(ArithmeticTest, DivisionErrorsAsTheLanguageRaisedThem) {
    EXPECT_EQ(Divide(6, 4), 1.5);
    EXPECT_RUNTIME_ERROR(Divide(1, 0), 11);
    EXPECT_RUNTIME_ERROR(Divide(-1, 0), 11);
    EXPECT_RUNTIME_ERROR(Divide(0, 0), 6);
    EXPECT_RUNTIME_ERROR(Divide(1e308, 1e-10), 6);
    EXPECT_EQ(IntDiv(7, 2), 3);
    EXPECT_EQ(IntDiv(-7, 2), -3);
    EXPECT_RUNTIME_ERROR(IntDiv(1, 0), 11);
    EXPECT_RUNTIME_ERROR(IntDiv(std::numeric_limits<int32_t>::min(), -1), 6);
    EXPECT_EQ(Mod(-7, 3), -1);
    EXPECT_EQ(Mod(7, -3), 1);
    EXPECT_EQ(Mod(std::numeric_limits<int32_t>::min(), -1), 0);
    EXPECT_RUNTIME_ERROR(Mod(5, 0), 11);
}

TEST(RgbTest, PacksRedLowAndClamps) {
    EXPECT_EQ(RGB(255, 0, 0), 255);
    EXPECT_EQ(RGB(0, 0, 255), 16711680);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412);
    EXPECT_EQ(RGB(300, -5, 256), 0xFF00FF);
}

TEST(CStrTest, SingleShowsAtMostSevenDigits) {
    EXPECT_EQ(CStr(std::sqrt(12.5f)), "3.535534");
    EXPECT_EQ(CStr(4995.005f), "4995.005");
    EXPECT_EQ(CStr(0.1f), "0.1");
    EXPECT_EQ(CStr(1234567.0f), "1234567");
    EXPECT_EQ(CStr(12345678.0f), "1.234568E+07");
    EXPECT_EQ(CStr(1.5e10f), "1.5E+10");
    EXPECT_EQ(CStr(-0.000015f), "-1.5E-05");
    EXPECT_EQ(CStr(0.0f), "0");
    EXPECT_EQ(CStr(-0.0f), "0");
}

TEST(CStrTest, DoubleShowsAtMostFifteenDigits) {
    EXPECT_EQ(CStr(1 / 0.634 * 3.3), "5.20504731861199");
    EXPECT_EQ(CStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(CStr(static_cast<double>(0.1f)), "0.100000001490116");
    EXPECT_EQ(CStr(1e-5), "1E-05");
    EXPECT_EQ(CStr(0.0001), "0.0001");
    EXPECT_EQ(CStr(1.5e10), "15000000000");
    EXPECT_EQ(CStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(CStr(1e15), "1E+15");
    EXPECT_EQ(CStr(1e100), "1E+100");
    EXPECT_EQ(CStr(-2.5), "-2.5");
    EXPECT_EQ(CStr(100.0), "100");
}

TEST(CStrTest, IntegersAndBooleans) {
    EXPECT_EQ(CStr(true), "True");
    EXPECT_EQ(CStr(false), "False");
    EXPECT_EQ(CStr(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(CStr(static_cast<int16_t>(-5)), "-5");
    EXPECT_EQ(CStr(uint32_t{4000000000u}), "4000000000");
}

TEST(CStrTest, TextReadsBackToTheSameSingle) {
    // Values the program writes with CStr and reads with Val come back as the same float when
    // they carry no more than seven digits.
    for (float f : {10.41f, 4.096f, 5.5808f, -0.5f, 3.3f, 1e-5f, 65535.0f, 0.000123f})
        EXPECT_EQ(static_cast<float>(Val(CStr(f))), f) << CStr(f);
}

TEST(StrTest, ClassicFormHasLeadingBlank) {
    EXPECT_EQ(Str(2), " 2");
    EXPECT_EQ(Str(-3), "-3");
    EXPECT_EQ(Str(0.5), " .5");
    EXPECT_EQ(Str(-0.5), "-.5");
    EXPECT_EQ(Str(0), " 0");
    EXPECT_EQ(Str(Val("2")), " 2");
    EXPECT_EQ(Str(1.25f), " 1.25");
}

}  // namespace
