#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "platform/basic/Convert.h"

using namespace qv::basic;

namespace {

constexpr int32_t kIndefinite = std::numeric_limits<int32_t>::min();

TEST(ConvertTest, TruncationTowardZero) {
    EXPECT_EQ(truncToInt32(1.9), 1);
    EXPECT_EQ(truncToInt32(-1.9), -1);
    EXPECT_EQ(truncToInt32(-0.5), 0);
    EXPECT_EQ(truncToInt32(2147483647.9), 2147483647);
    EXPECT_EQ(truncToInt32(-2147483648.9), -2147483647 - 1);  // truncates to -2^31, which fits
    EXPECT_EQ(truncToInt32(-2147483647.9), -2147483647);
}

TEST(ConvertTest, OutOfRangeAndNaNGiveIndefinite) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {2147483648.0, -2147483649.0, 1e300, -1e300, inf, -inf, std::nan("")}) {
        EXPECT_EQ(truncToInt32(x), kIndefinite) << x;
        EXPECT_EQ(roundToInt32(x), kIndefinite) << x;
    }
    EXPECT_EQ(roundToInt32(2147483647.5), kIndefinite);  // rounds to 2^31
    EXPECT_EQ(roundToInt32(-2147483648.5), -2147483647 - 1);  // rounds to -2^31 (even), fits
    EXPECT_EQ(roundToInt32(-2147483648.6), kIndefinite);       // rounds to -2^31 - 1
    EXPECT_EQ(roundToInt32(2147483647.4), 2147483647);
}

TEST(ConvertTest, RoundingHalvesToEven) {
    EXPECT_EQ(roundToInt32(0.5), 0);
    EXPECT_EQ(roundToInt32(1.5), 2);
    EXPECT_EQ(roundToInt32(2.5), 2);
    EXPECT_EQ(roundToInt32(-0.5), 0);
    EXPECT_EQ(roundToInt32(-1.5), -2);
    EXPECT_EQ(roundToInt32(-2.5), -2);
    EXPECT_EQ(roundToInt32(0.49999999999999994), 0);
}

TEST(ConvertTest, AgreesWithTheHardwareOnRandomValues) {
    // Under the default rounding mode nearbyint is the hardware's half-to-even rounding.
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> wide(-3e9, 3e9);
    std::uniform_int_distribution<int> halves(-2000, 2000);
    for (int i = 0; i < 200000; ++i) {
        const double x = (i % 2) ? wide(rng) : halves(rng) * 0.5;
        const bool inRange = x > -2147483649.0 && x < 2147483648.0;
        EXPECT_EQ(truncToInt32(x), inRange ? static_cast<int32_t>(std::trunc(x)) : kIndefinite) << x;
        const double r = std::nearbyint(x);
        const bool roundFits = r >= -2147483648.0 && r <= 2147483647.0;
        ASSERT_EQ(roundToInt32(x), roundFits ? static_cast<int32_t>(r) : kIndefinite) << x;
    }
}

TEST(ConvertTest, SixteenBitFormsKeepTheLowBits) {
    EXPECT_EQ(truncToInt16(70000.7), static_cast<int16_t>(70000 - 65536));
    EXPECT_EQ(truncToInt16(-1.5), -1);
    EXPECT_EQ(truncToInt16(32768.0), -32768);
    EXPECT_EQ(truncToInt16(std::nan("")), 0);  // low half of 0x80000000
    EXPECT_EQ(roundToInt16(32767.5), -32768);
    EXPECT_EQ(roundToInt16(-2.5), -2);
}

}  // namespace
