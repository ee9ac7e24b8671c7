// Element-wise arithmetic, type conversions and statistics of the library.
#include "library/trelm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

TEST(ElementWise, AddConstantZeroIsAMoveThatAllowsOverlap) {
    std::vector<float> a = {1, 2, 3, 4, 5, 6};
    S_ADDC(a.data() + 1, a.data(), 0.0f, 5);  // overlapping, destination above the source
    EXPECT_EQ(a, (std::vector<float>{1, 1, 2, 3, 4, 5}));
    std::vector<float> b = {1, 2, 3, 4, 5, 6};
    S_ADDC(b.data(), b.data() + 2, 0.0f, 4);
    EXPECT_EQ(b, (std::vector<float>{3, 4, 5, 6, 5, 6}));
    // -0.0 survives the copy (an addition of +0 would give +0).
    float z = -0.0f, out = 1.0f;
    S_ADDC(&out, &z, 0.0f, 1);
    EXPECT_TRUE(std::signbit(out));
}

TEST(ElementWise, ConstantFirstOperandsInPlaceAndWideSums) {
    std::vector<float> a = {8, 6, -3}, d(3);
    S_SUBCA(d.data(), 10.0f, a.data(), 3);
    EXPECT_EQ(d, (std::vector<float>{2, 4, 13}));
    S_DIVCA(d.data(), 12.0f, a.data(), 3);
    EXPECT_EQ(d, (std::vector<float>{1.5f, 2, -4}));
    S_MULC(a.data(), a.data(), 0.5f, 3);  // in place
    S_ADDC(a.data(), a.data(), 1.0f, 0);  // n <= 0 writes nothing
    EXPECT_EQ(a, (std::vector<float>{4, 3, -1.5f}));
    const std::vector<double> w = {1e-12};
    const float one = 1.0f;
    double sum = 0;
    S_ADDW(&sum, w.data(), &one, 1);
    EXPECT_EQ(sum, 1.0 + 1e-12);  // kept in double, not rounded to float
    const float negZero = -0.0f;
    float abs = -1;
    S_ABS(&abs, &negZero, 1);
    EXPECT_FALSE(std::signbit(abs));
}

TEST(TypeConversion, TruncationLow16BitsAndIndefinite) {
    const float src[] = {40000.7f, -1.9f, 2.9f, std::nanf(""), 3e9f, -32768.5f};
    int16_t s[6];
    S_S2I(s, src, 6);
    EXPECT_EQ(s[0], static_cast<int16_t>(40000 - 65536));
    EXPECT_EQ(s[1], -1);
    EXPECT_EQ(s[2], 2);
    EXPECT_EQ(s[3], 0);  // low 16 bits of 0x80000000
    EXPECT_EQ(s[4], 0);
    EXPECT_EQ(s[5], -32768);
    int32_t l[6];
    S_S2L(l, src, 6);
    EXPECT_EQ(l[0], 40000);
    EXPECT_EQ(l[1], -1);
    EXPECT_EQ(l[3], std::numeric_limits<int32_t>::min());
    EXPECT_EQ(l[4], std::numeric_limits<int32_t>::min());
    const int16_t words[] = {-32768, 5};
    float f[2];
    S_I2S(f, words, 2);
    EXPECT_EQ(f[0], -32768.0f);
    const double dd[] = {0.1};
    S_D2S(f, dd, 1);
    EXPECT_EQ(f[0], 0.1f);
    double back;
    S_S2D(&back, f, 1);
    EXPECT_EQ(back, static_cast<double>(0.1f));
}

TEST(Statistics, MaxMinIndexOnlyWhenBeyondTheFirstElement) {
    const float a[] = {5, 1, 5};
    float v = 0;
    int32_t idx = 42;
    S_MAX(&v, &idx, a, 3);
    EXPECT_EQ(v, 5);
    EXPECT_EQ(idx, 42);  // src[0] is the extreme: the caller's index stays
    const float b[] = {1, 5, 5};
    S_MAX(&v, &idx, b, 3);
    EXPECT_EQ(v, 5);
    EXPECT_EQ(idx, 1);  // first occurrence of the final extreme
    const float c[] = {3, 4, -2, 0, -2};
    idx = 9;
    S_MIN(&v, &idx, c, 5);
    EXPECT_EQ(v, -2);
    EXPECT_EQ(idx, 2);
    idx = 9;
    S_MIN(&v, &idx, c, 0);  // n <= 0: src[0], index untouched
    EXPECT_EQ(v, 3);
    EXPECT_EQ(idx, 9);
    float hi = 0, lo = 0;
    S_MAXMIN(&hi, &lo, c, 5);
    EXPECT_EQ(hi, 4);
    EXPECT_EQ(lo, -2);
    S_MAXMIN(&hi, &lo, c, -1);
    EXPECT_EQ(hi, 3);
    EXPECT_EQ(lo, 3);
}

TEST(Statistics, SumMeanRmsAndCountsOfZero) {
    const float a[] = {1, 2, 3, 4};
    float out = -1;
    S_SUM(&out, a, 4);
    EXPECT_EQ(out, 10);
    S_SUM(&out, a, 0);
    EXPECT_EQ(out, 0);  // the sum of nothing is written as 0
    out = -1;
    S_MEAN(&out, a, 0);
    EXPECT_EQ(out, -1);  // the mean of nothing writes nothing
    S_MEAN(&out, a, 4);
    EXPECT_EQ(out, 2.5f);
    S_RMS(&out, a, 4);
    EXPECT_FLOAT_EQ(out, std::sqrt(30.0f / 4));
    // Accumulated in double: 2^24 + 1 + 1 would stay 2^24 in float.
    const float big[] = {16777216.0f, 1.0f, 1.0f};
    S_SUM(&out, big, 3);
    EXPECT_EQ(out, 16777218.0f);
}

TEST(Statistics, SampleStandardDeviationHasNoSizeLimit) {
    const float a[] = {2, 4, 4, 4, 5, 5, 7, 9};
    float out = -1;
    S_SD(&out, a, 8);
    EXPECT_FLOAT_EQ(out, std::sqrt(32.0f / 7));
    S_SD(&out, a, 1);
    EXPECT_EQ(out, 0);
    out = -1;
    S_SD(&out, a, 0);
    EXPECT_EQ(out, -1);
    // More points than the old fixed scratch held: alternating +-1 gives sqrt(n / (n - 1)).
    const int32_t n = 1200000;
    std::vector<float> alt(n);
    for (int32_t i = 0; i < n; ++i) alt[i] = (i % 2) ? 1.0f : -1.0f;
    S_SD(&out, alt.data(), n);
    EXPECT_FLOAT_EQ(out, static_cast<float>(std::sqrt(static_cast<double>(n) / (n - 1))));
}

}  // namespace
