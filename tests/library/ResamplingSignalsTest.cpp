// Block shifts, resampling, envelopes, moving averages and test signals of the library.
#include "library/ArrayScan.h"
#include "library/trelm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

namespace {

using Words = std::vector<int32_t>;

Words iota8() {
    Words a(8);
    std::iota(a.begin(), a.end(), 10);  // 10 .. 17
    return a;
}

TEST(Shift, MovesTheBlockAndZeroesWhatItLeaves) {
    Words a = iota8();
    S_SHIFT(a.data(), 2, 3, 2, 8);
    EXPECT_EQ(a, (Words{10, 11, 0, 0, 12, 13, 14, 17}));
    a = iota8();
    S_SHIFT(a.data(), 2, 3, 3, 8);  // lands exactly at the end
    EXPECT_EQ(a, (Words{10, 11, 0, 0, 0, 12, 13, 14}));
    a = iota8();
    S_SHIFT(a.data(), 2, 3, -1, 8);
    EXPECT_EQ(a, (Words{10, 12, 13, 14, 0, 15, 16, 17}));
}

TEST(Shift, RefusesBlocksAndTargetsOutsideTheArray) {
    // The array is 8 words inside a larger buffer: nothing past word 7 may change.
    for (auto [start, count, k] : {std::tuple{-1, 2, 1}, {2, 3, -3}, {2, 3, 4}, {6, 4, -3},
                                   {2, -2, 1}, {5, 4, -2}}) {
        Words a = {10, 11, 12, 13, 14, 15, 16, 17, 99, 99, 99};
        const Words before = a;
        S_SHIFT(a.data(), start, count, k, 8);
        EXPECT_EQ(a, before) << start << " " << count << " " << k;
    }
    Words a = iota8();
    S_SHIFT(a.data(), 2147483647, 2147483647, 2147483647, 8);  // sums beyond 32 bits
    EXPECT_EQ(a, iota8());
}

TEST(Resample, SampleTakesEveryStepAndRefusesStepsBelowOne) {
    const Words src = {0, 1, 2, 3, 4, 5, 6};
    Words dst(4, -1);
    S_SAMPLE(dst.data(), src.data(), 3, 7);
    EXPECT_EQ(dst, (Words{0, 3, 6, -1}));
    dst.assign(4, -1);
    S_SAMPLE(dst.data(), src.data(), 0, 7);
    S_SAMPLE(dst.data(), src.data(), -2, 7);
    EXPECT_EQ(dst, (Words{-1, -1, -1, -1}));
}

TEST(Resample, ExpandInterpolatesAndHandlesTinySources) {
    const std::vector<float> src = {0, 10, 20};
    std::vector<float> dst(5, -1);
    S_EXPAND(dst.data(), src.data(), 3, 5);
    EXPECT_EQ(dst, (std::vector<float>{0, 5, 10, 15, 20}));
    std::vector<float> one = {7};
    S_EXPAND(dst.data(), one.data(), 1, 5);  // no neighbour to read: every point is src[0]
    EXPECT_EQ(dst, (std::vector<float>{7, 7, 7, 7, 7}));
    dst.assign(5, -1);
    S_EXPAND(dst.data(), src.data(), 3, 3);  // only when n < m
    S_EXPAND(dst.data(), src.data(), 0, 5);
    EXPECT_EQ(dst, (std::vector<float>(5, -1)));
}

TEST(Resample, CondenseAveragesAreasWithCarriedFractions) {
    const std::vector<float> src = {1, 2, 3, 4, 5, 6};
    std::vector<float> dst(4, -1);
    S_CONDENSE(dst.data(), src.data(), 6, 3);
    EXPECT_EQ(dst, (std::vector<float>{1.5f, 3.5f, 5.5f, -1}));
    S_CONDENSE(dst.data(), src.data(), 6, 4);  // r = 1.5
    EXPECT_FLOAT_EQ(dst[0], (1 + 0.5 * 2) / 1.5);
    EXPECT_FLOAT_EQ(dst[1], (0.5 * 2 + 3) / 1.5);
    EXPECT_FLOAT_EQ(dst[2], (4 + 0.5 * 5) / 1.5);
    EXPECT_FLOAT_EQ(dst[3], (0.5 * 5 + 6) / 1.5);
    S_CONDENSE(dst.data(), src.data(), 4, 4);
    EXPECT_EQ(dst, (std::vector<float>{1, 2, 3, 4}));
    dst.assign(4, -1);
    S_CONDENSE(dst.data(), src.data(), 3, 4);
    S_CONDENSE(dst.data(), src.data(), 6, 0);
    EXPECT_EQ(dst, (std::vector<float>(4, -1)));
}

TEST(Resample, CondenseKeepsTheAreaForAwkwardRatios) {
    // Ratios that float cannot hold exactly; the source is exactly n long, so a read past its
    // end shows under the address sanitizer.
    for (auto [n, m] : {std::pair{10, 3}, {1000, 7}, {999, 13}, {7, 6}}) {
        std::vector<float> src(n), dst(m);
        for (int i = 0; i < n; ++i) src[i] = static_cast<float>(i % 5 + 1);
        S_CONDENSE(dst.data(), src.data(), n, m);
        const double r = static_cast<float>(static_cast<double>(n) / m);
        double area = 0;
        for (float v : dst) area += v * r;
        EXPECT_NEAR(area, std::accumulate(src.begin(), src.end(), 0.0), 1e-3) << n << "/" << m;
    }
}

TEST(Envelope, PairsInSourceOrderOddCountsAndShortSources) {
    const std::vector<float> src = {1, 5, 2, 0, 3, 3, -1, 9};
    std::vector<float> dst(5, -7);
    S_TRANS(dst.data(), src.data(), 0, 8, 4);
    // Segment 0: max 5 (index 1) before min 0 (index 3); segment 1: min -1 before max 9.
    EXPECT_EQ(dst, (std::vector<float>{5, 0, -1, 9, -7}));
    S_TRANS(dst.data(), src.data(), 0, 8, 5);  // odd: the last output repeats the one before
    EXPECT_EQ(dst[4], dst[3]);
    // Fewer source points than outputs: empty segments repeat the point they sit on and
    // nothing past the source is read.
    const std::vector<float> two = {4, 7};
    std::vector<float> out(6, -1);
    S_TRANS(out.data(), two.data(), 0, 2, 6);
    EXPECT_EQ(out, (std::vector<float>{4, 4, 7, 7, 7, 7}));
    out.assign(6, -1);
    S_TRANS(out.data(), two.data(), 0, 2, 0);
    S_TRANS(out.data(), two.data(), 0, 0, 6);
    EXPECT_EQ(out, (std::vector<float>(6, -1)));
}

// Random runs with NaN, infinities, signed zeros, denormals and ties, at lengths and starts off
// the vector width: the envelope's vector scans give the running scans' pair bit for bit.
TEST(MinMaxEnvelope, VectorScansMatchTheRunningScansBitForBit) {
    std::mt19937 rng(34);
    constexpr float inf = std::numeric_limits<float>::infinity();
    const float specials[] = {std::numeric_limits<float>::quiet_NaN(), inf, -inf, 0.0f, -0.0f,
                              1e-45f, -1e-40f, std::numeric_limits<float>::max(), 1.0f, 1.0f};
    std::uniform_int_distribution<int> kind(0, 40);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    std::vector<float> src(6000);
    for (int round = 0; round < 3000; ++round) {
        const int32_t n = std::uniform_int_distribution<int32_t>(1, round % 3 ? 70 : 5000)(rng);
        const int density = round % 4;  // from no special values to many
        for (float& v : src) {
            const int k = kind(rng);
            if (round % 6 == 1)  // zeros of both signs as the maximum
                v = k < 2 ? -1.0f : k % 2 ? 0.0f : -0.0f;
            else
                v = k < density * 3 ? specials[k % std::size(specials)]
                                    : round % 5 == 0 ? std::round(noise(rng)) : noise(rng);  // ties
        }
        const float* start = src.data() + round % 7;  // unaligned starts
        float first, second, wantFirst, wantSecond;
        trelm::extremesInOrder(start, n, first, second, true);
        trelm::extremesInOrder(start, n, wantFirst, wantSecond, false);
        ASSERT_EQ(std::bit_cast<uint32_t>(first), std::bit_cast<uint32_t>(wantFirst)) << round << " " << n;
        ASSERT_EQ(std::bit_cast<uint32_t>(second), std::bit_cast<uint32_t>(wantSecond)) << round << " " << n;
    }
    // Through the export: long sources into the display's envelope, on one thread and shared
    // out (two million points), with an odd output count and with fewer pairs than threads.
    for (auto [n, m] : {std::pair{200002, 10000}, std::pair{2000003, 10001}, std::pair{1048577, 12}}) {
        std::vector<float> longSrc(static_cast<size_t>(n) + 1), dst(static_cast<size_t>(m)), ref(static_cast<size_t>(m));
        for (float& v : longSrc) v = kind(rng) == 0 ? specials[kind(rng) % std::size(specials)] : noise(rng);
        S_TRANS(dst.data(), longSrc.data() + 1, 0, n, m);
        const int32_t even = m & ~1;
        const auto at = [&](int32_t j) { return static_cast<int64_t>(2.0 * j * n / even + 0.5); };
        for (int32_t k = 0; k < even / 2; ++k)
            trelm::extremesInOrder(longSrc.data() + 1 + at(k), static_cast<int32_t>(at(k + 1) - at(k)),
                                   ref[2 * static_cast<size_t>(k)], ref[2 * static_cast<size_t>(k) + 1], false);
        if (m != even) ref.back() = ref[ref.size() - 2];
        EXPECT_EQ(std::memcmp(dst.data(), ref.data(), dst.size() * sizeof(float)), 0) << n << " points";
    }
}

// The wide scans themselves against one pass over the elements.
TEST(MinMaxEnvelope, WideScansFindTheExtremesAndNaN) {
    std::mt19937 rng(3);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    for (int64_t n : {1, 7, 15, 16, 17, 31, 33, 100, 1001}) {
        for (int nanAt : {-1, 0, 5, 16, static_cast<int>(n) - 1}) {
            if (nanAt >= n) continue;
            std::vector<float> p(static_cast<size_t>(n));
            for (float& v : p) v = noise(rng);
            p[static_cast<size_t>(n - 1)] = n > 1 ? 9.0f : p[0];  // extreme in the tail
            if (nanAt >= 0) p[static_cast<size_t>(nanAt)] = std::numeric_limits<float>::quiet_NaN();
            float lo, hi;
            bool nan;
            trelm::minMaxNan(p.data(), n, lo, hi, nan);
            EXPECT_EQ(nan, nanAt >= 0) << n << " " << nanAt;
            if (nanAt == 0) {
                EXPECT_TRUE(std::isnan(lo) && std::isnan(hi));
                continue;
            }
            float l = p[0], h = p[0];
            for (float v : p) {
                if (v < l) l = v;
                if (v > h) h = v;
            }
            EXPECT_EQ(lo, l) << n << " " << nanAt;
            EXPECT_EQ(hi, h) << n << " " << nanAt;
            EXPECT_EQ(trelm::firstEqual(p.data(), n, h),
                      std::find(p.begin(), p.end(), h) - p.begin());
            EXPECT_EQ(trelm::firstEqual(p.data(), n, 1e9f), n);
        }
    }
}

TEST(MovingAverage, WindowShrinksAtTheEnds) {
    const std::vector<float> src = {1, 2, 3, 4, 5, 6, 7};
    std::vector<float> dst(7, -1);
    S_MVAV(dst.data(), src.data(), 4, 7);  // width 4: 5 points in the middle, 3 at the ends
    EXPECT_EQ(dst, (std::vector<float>{2, 2.5f, 3, 4, 5, 5.5f, 6}));
    dst.assign(7, -1);
    S_MVAV(dst.data(), src.data(), 0, 7);
    EXPECT_EQ(dst, (std::vector<float>(7, -1)));
}

TEST(MovingAverage, LongRecordsMatchTheDirectMean) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> u(-1000.0f, 1000.0f);
    const int32_t n = 6000, width = 101;
    std::vector<float> src(n), dst(n);
    for (float& v : src) v = u(rng);
    src[1500] = 3e7f;  // a spike the running sum must forget again
    S_MVAV(dst.data(), src.data(), width, n);
    for (int32_t i = 0; i < n; ++i) {
        double s = 0;
        int cnt = 0;
        for (int32_t j = std::max(0, i - 50); j <= std::min(n - 1, i + 50); ++j, ++cnt) s += src[j];
        ASSERT_NEAR(dst[i], s / cnt, 1e-4 * std::max(1.0, std::fabs(s / cnt))) << i;
    }
}

TEST(MovingAverage, WeightedWindowsExtendOrDropTheEdges) {
    const std::vector<float> src = {1, 2, 3}, w = {1, 2, 1};
    std::vector<float> dst(3);
    S_MVAV0(dst.data(), src.data(), 2, 3, w.data());
    EXPECT_EQ(dst, (std::vector<float>{1 + 2 + 2, 1 + 4 + 3, 2 + 6 + 3}));
    S_MVAV2(dst.data(), src.data(), 2, 3, w.data());
    EXPECT_EQ(dst, (std::vector<float>{2 + 2, 1 + 4 + 3, 2 + 6}));
    // An even width reads width + 1 weights.
    const std::vector<float> w5 = {1, 0, 0, 0, 1};
    std::vector<float> src5 = {1, 2, 3, 4, 5}, dst5(5);
    S_MVAV2(dst5.data(), src5.data(), 4, 5, w5.data());
    EXPECT_EQ(dst5, (std::vector<float>{3, 4, 6, 2, 3}));
}

TEST(TestSignals, PulsesToggleAtHalfPeriodsAndNeverWithoutCycles) {
    std::vector<float> d(8, -1);
    M_MKPULSE(d.data(), 1, 8);
    EXPECT_EQ(d, (std::vector<float>{0, 0, 0, 0, 1, 1, 1, 1}));
    M_MKPULSE(d.data(), 3, 8);  // P/2 = 4/3: thresholds 1.33, 2.67, 4, 5.33, 6.67
    EXPECT_EQ(d, (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}));
    M_MKPULSE(d.data(), 0, 8);
    EXPECT_EQ(d, std::vector<float>(8, 0));
    const float duty = 0.25f;
    M_MKPULSE2(d.data(), 1, 8, &duty);
    EXPECT_EQ(d, (std::vector<float>{0, 0, 0, 0, 0, 0, 1, 1}));
    M_MKPULSE2(d.data(), 2, 8, &duty);
    EXPECT_EQ(d, (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1}));
    M_MKPULSE2(d.data(), -1, 8, &duty);
    EXPECT_EQ(d, std::vector<float>(8, 0));
}

TEST(TestSignals, SineAndCosine) {
    std::vector<float> s(8), c(4);
    M_MKSIN(s.data(), 2, 8);
    EXPECT_NEAR(s[1], 1, 1e-7);
    EXPECT_NEAR(s[7], -1, 1e-7);
    M_MKCOS(c.data(), 0, 4);  // no cycles: the first value throughout
    EXPECT_EQ(c, std::vector<float>(4, 1.0f));
}

}  // namespace
