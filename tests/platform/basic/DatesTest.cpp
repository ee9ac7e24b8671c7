#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "ErrorExpect.h"
#include "platform/basic/Basic.h"

using namespace qv::basic;

namespace {

TEST(DateSerialTest, KnownDayNumbers) {
    EXPECT_EQ(DateSerial(1899, 12, 30), 0);
    EXPECT_EQ(DateSerial(1899, 12, 29), -1);
    EXPECT_EQ(DateSerial(1900, 1, 1), 2);
    EXPECT_EQ(DateSerial(2000, 1, 1), 36526);
    EXPECT_EQ(DateSerial(2024, 2, 29), 45351);
    EXPECT_EQ(DateSerial(100, 1, 1), -657434);
    EXPECT_EQ(DateSerial(9999, 12, 31), 2958465);
}

TEST(DateSerialTest, MonthsAndDaysCarryOver) {
    EXPECT_EQ(DateSerial(2024, 13, 1), DateSerial(2025, 1, 1));
    EXPECT_EQ(DateSerial(2024, 3, 0), DateSerial(2024, 2, 29));
    EXPECT_EQ(DateSerial(2023, 3, 0), DateSerial(2023, 2, 28));
    EXPECT_EQ(DateSerial(2024, 0, 1), DateSerial(2023, 12, 1));
    EXPECT_EQ(DateSerial(2024, -12, 1), DateSerial(2022, 12, 1));
    EXPECT_EQ(DateSerial(2024, 1, 366), DateSerial(2024, 12, 31));
    EXPECT_EQ(DateSerial(24, 1, 1), DateSerial(2024, 1, 1));  // two-digit years
    EXPECT_EQ(DateSerial(99, 1, 1), DateSerial(1999, 1, 1));
}

TEST(DateSerialTest, OutsideTheDateRangeIsAnError) {
    EXPECT_RUNTIME_ERROR(DateSerial(10000, 1, 1), 5);
    EXPECT_RUNTIME_ERROR(DateSerial(100, 1, 0), 5);
    EXPECT_RUNTIME_ERROR(DateSerial(2024, 2147483647, 1), 5);
    EXPECT_RUNTIME_ERROR(DateSerial(2024, 1, -2147483647 - 1), 5);
}

TEST(DatePartsTest, EveryDayOfTheRangeRoundTrips) {
    // Walks the whole calendar in steps that hit every month length and leap rule.
    for (int64_t day = -657434; day <= 2958465; day += 13) {
        const double date = static_cast<double>(day);
        const double back = DateSerial(Year(date), Month(date), Day(date));
        ASSERT_EQ(back, date) << day;
    }
    EXPECT_EQ(DateSerial(1900, 2, 29), DateSerial(1900, 3, 1));  // 1900 is no leap year
    EXPECT_EQ(Month(DateSerial(2000, 2, 29)), 2);  // 2000 is a leap year
}

TEST(DatePartsTest, TimeOfDayAndDatesBeforeDayZero) {
    const double t = DateSerial(2024, 2, 29) + TimeSerial(13, 45, 30);
    EXPECT_EQ(Year(t), 2024);
    EXPECT_EQ(Month(t), 2);
    EXPECT_EQ(Day(t), 29);
    EXPECT_EQ(Hour(t), 13);
    EXPECT_EQ(Minute(t), 45);
    EXPECT_EQ(Second(t), 30);
    // -1.25 is 1899-12-29 06:00: the fraction counts forward even before day 0.
    EXPECT_EQ(Day(-1.25), 29);
    EXPECT_EQ(Hour(-1.25), 6);
    EXPECT_EQ(decodeDate(DateSerial(2024, 12, 31)).dayOfYear, 366);
    EXPECT_RUNTIME_ERROR(Year(3e6), 6);
    EXPECT_RUNTIME_ERROR(Hour(std::nan("")), 6);
}

TEST(TimeSerialTest, FractionOfADay) {
    EXPECT_EQ(TimeSerial(6, 0, 0), 0.25);
    EXPECT_EQ(TimeSerial(0, 90, 0), TimeSerial(1, 30, 0));
    EXPECT_EQ(TimeSerial(25, 0, 0), 1 + TimeSerial(1, 0, 0));
    EXPECT_EQ(TimeSerial(0, 0, -1), -1.0 / 86400);
}

TEST(CDateTest, ReadsTheSystemFormsStrictly) {
    const double t = DateSerial(2024, 1, 5) + TimeSerial(9, 3, 7);
    EXPECT_EQ(CDate("2024/01/05 09:03:07"), t);
    EXPECT_EQ(CDate(" 2024/1/5 9:03:07 "), t);
    EXPECT_EQ(CDate("2024-01-05T09:03:07"), t);
    EXPECT_EQ(CDate("2024/01/05"), DateSerial(2024, 1, 5));
    EXPECT_EQ(CDate("9:03"), TimeSerial(9, 3, 0));
    EXPECT_EQ(CDate("0"), 0);
    EXPECT_EQ(CDate("45000.5"), 45000.5);
    EXPECT_EQ(CDate("1899/12/29 06:00:00"), -1.25);
    for (const char* bad : {"", "abc", "2024/02/30", "2024/13/01", "24/1/5", "2024/1/5 25:00",
                            "2024/1/5x", "2024/1-5", "2024/1/5 9:60", "9:03:07:01"})
        EXPECT_RUNTIME_ERROR(CDate(bad), 13);
    EXPECT_RUNTIME_ERROR(CDate("3000000"), 6);
}

TEST(CDateTest, DefaultTextReadsBack) {
    EXPECT_EQ(CStrDate(DateSerial(2024, 1, 5) + TimeSerial(9, 3, 7)), "2024/01/05 9:03:07");
    EXPECT_EQ(CStrDate(DateSerial(2019, 11, 3) + TimeSerial(17, 5, 9)), "2019/11/03 17:05:09");
    EXPECT_EQ(CStrDate(DateSerial(2024, 1, 5)), "2024/01/05");
    EXPECT_EQ(CStrDate(TimeSerial(9, 3, 7)), "9:03:07");
    EXPECT_EQ(CStrDate(0), "0:00:00");
    // Texts of either hour form read back as the same date.
    EXPECT_EQ(CDate("2019/11/03 7:05:09"), DateSerial(2019, 11, 3) + TimeSerial(7, 5, 9));
    EXPECT_EQ(CDate("2019/11/03 07:05:09"), DateSerial(2019, 11, 3) + TimeSerial(7, 5, 9));
    for (double v : {0.0, 45000.0, 45000.75, -1.25, 12345.5, DateSerial(9999, 12, 31) + TimeSerial(23, 59, 59)})
        EXPECT_NEAR(CDate(CStrDate(v)), v, 1e-9) << CStrDate(v);
}

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { setClock({}); }
};

TEST_F(ClockTest, NowFollowsTheHook) {
    double virtualNow = 45000.5;
    setClock([&] { return virtualNow; });
    EXPECT_EQ(Now(), 45000.5);
    EXPECT_EQ(Today(), 45000);
    virtualNow += TimeSerial(0, 0, 200);
    EXPECT_EQ(Format(Now(), "hh:nn:ss"), "12:03:20");
}

TEST_F(ClockTest, SystemClockGivesLocalTime) {
    setClock({});
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    const double now = Now();
    const double expected = DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
                            TimeSerial(local.tm_hour, local.tm_min, local.tm_sec);
    EXPECT_NEAR(now, expected, 5.0 / 86400);
}

}  // namespace
