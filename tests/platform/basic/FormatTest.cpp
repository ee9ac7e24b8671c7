#include <gtest/gtest.h>

#include <cmath>

#include "ErrorExpect.h"
#include "platform/basic/Basic.h"

using namespace qv::basic;

namespace {

TEST(FormatNumberTest, MandatoryDigitsPadWithZeros) {
    EXPECT_EQ(Format(7, "0000"), "0007");
    EXPECT_EQ(Format(5, "00"), "05");
    EXPECT_EQ(Format(7, "000"), "007");
    EXPECT_EQ(Format(12345, "000"), "12345");  // never cut
    EXPECT_EQ(Format(-7, "0000"), "-0007");
    EXPECT_EQ(Format(0, "00"), "00");
}

TEST(FormatNumberTest, DecimalsRoundHalfAwayFromZero) {
    EXPECT_EQ(Format(3.14159, "0.0000"), "3.1416");
    EXPECT_EQ(Format(0.125, "0.00"), "0.13");
    EXPECT_EQ(Format(2.675, "0.00"), "2.68");  // 2.67499999... in binary, 2.675 as written
    EXPECT_EQ(Format(-2.5, "0"), "-3");
    EXPECT_EQ(Format(9.96, "0.0"), "10.0");
    EXPECT_EQ(Format(999.5, "000"), "1000");
    EXPECT_EQ(Format(0.00004, "0.0000"), "0.0000");
    EXPECT_EQ(Format(2.5, "0.0"), "2.5");
    EXPECT_EQ(Format(1e20, "0.00"), "100000000000000000000.00");
}

TEST(FormatNumberTest, ZeroAfterRoundingHasNoSign) {
    EXPECT_EQ(Format(-0.00001, "0.0"), "0.0");
    EXPECT_EQ(Format(-0.04, "##0.0000"), "-0.0400");
}

TEST(FormatNumberTest, OptionalDigits) {
    EXPECT_EQ(Format(1.23, "##0.00000"), "1.23000");
    EXPECT_EQ(Format(0.5, "##0.0000"), "0.5000");
    EXPECT_EQ(Format(-123.456789, "##0.00000"), "-123.45679");
    EXPECT_EQ(Format(12345.5, "##0.0"), "12345.5");
    EXPECT_EQ(Format(123.456, "#"), "123");
    EXPECT_EQ(Format(0, "#"), "");
    EXPECT_EQ(Format(0.5, "#.0"), ".5");
    EXPECT_EQ(Format(5, "0.##"), "5.");
    EXPECT_EQ(Format(5.1, "0.##"), "5.1");
    EXPECT_EQ(Format(1234567, "#,##0"), "1,234,567");
}

TEST(FormatNumberTest, TextAroundThePlaceholdersStays) {
    EXPECT_EQ(Format(3, "0.0 V"), "3.0 V");
    EXPECT_EQ(Format(7, "_0000"), "_0007");
    EXPECT_EQ(Format(2.5, ""), "2.5");
}

TEST(FormatDateTest, FixedPatterns) {
    const double t = DateSerial(2024, 1, 5) + TimeSerial(9, 3, 7);
    EXPECT_EQ(Format(t, "yyyy/mm/dd hh:nn:ss"), "2024/01/05 09:03:07");
    EXPECT_EQ(Format(t, "YYYYMMDDHHNNSS"), "20240105090307");
    EXPECT_EQ(Format(t, "yyyymmdd"), "20240105");
    EXPECT_EQ(Format(t, "yyyy/mm/dd"), "2024/01/05");
    EXPECT_EQ(Format(t, "hh:nn:ss"), "09:03:07");
    EXPECT_EQ(Format(t, "hh:mm:ss"), "09:03:07");  // "mm" after the hour is the minute
    EXPECT_EQ(Format(t, "mm:ss"), "03:07");        // and before the second too
    EXPECT_EQ(Format(t, "m/d/yy"), "1/5/24");
    EXPECT_EQ(Format(t, "y"), "5");  // day of the year
}

TEST(FormatDateTest, SecondsRoundAndCarryIntoTheDay) {
    const double almostMidnight = DateSerial(2023, 12, 31) + 0.9999999;
    EXPECT_EQ(Format(almostMidnight, "yyyy/mm/dd hh:nn:ss"), "2024/01/01 00:00:00");
    EXPECT_EQ(Format(1.6 / 86400, "hh:nn:ss"), "00:00:02");
    EXPECT_EQ(Format(1.4 / 86400, "hh:nn:ss"), "00:00:01");
}

TEST(FormatDateTest, ValueOutsideTheDateRangeIsAnError) {
    EXPECT_RUNTIME_ERROR(Format(1e10, "yyyy"), 6);
    EXPECT_RUNTIME_ERROR(Format(std::nan(""), "hh:nn"), 6);
}

}  // namespace
