// Peak search, level crossings and the spectrum of the library.
#include "library/trelm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

struct Peaks {
    std::vector<float> peaks, valleys;
};

Peaks peakSearch(const std::vector<float>& data, float threshold) {
    Peaks r;
    std::vector<float> p(data.size() + 1, -1), v(data.size() + 1, -1);
    int32_t np = -1, nv = -1;
    S_PEAK(&np, p.data(), &nv, v.data(), data.data(), static_cast<int32_t>(data.size()), threshold);
    r.peaks.assign(p.begin(), p.begin() + np);
    r.valleys.assign(v.begin(), v.begin() + nv);
    return r;
}

TEST(PeakSearch, AlternatingPeaksAndValleysWithHysteresis) {
    const std::vector<float> wave = {0, 10, 0, 10, 0};
    Peaks r = peakSearch(wave, 5);
    EXPECT_EQ(r.peaks, (std::vector<float>{1, 3}));
    EXPECT_EQ(r.valleys, (std::vector<float>{2}));
    EXPECT_EQ(peakSearch(wave, -5).peaks, r.peaks);  // a negative threshold acts as its size
    r = peakSearch(wave, 20);
    EXPECT_TRUE(r.peaks.empty());
    EXPECT_TRUE(r.valleys.empty());
    // Small wiggles below the threshold do not split a peak; the higher top wins.
    r = peakSearch({0, 8, 7, 9, 1, 6, 5, 0, 2}, 4);
    EXPECT_EQ(r.peaks, (std::vector<float>{3, 5}));
    EXPECT_EQ(r.valleys, (std::vector<float>{4}));
}

TEST(PeakSearch, EmptyAndSingleRecordsReportNothing) {
    float p = -1, v = -1;
    int32_t np = -1, nv = -1;
    S_PEAK(&np, &p, &nv, &v, nullptr, 0, 1.0f);  // nothing may be read
    EXPECT_EQ(np, 0);
    EXPECT_EQ(nv, 0);
    const float one = 3;
    S_PEAK(&np, &p, &nv, &v, &one, 1, 1.0f);
    EXPECT_EQ(np, 0);
    EXPECT_EQ(nv, 0);
    EXPECT_EQ(p, -1);
}

struct Crossings {
    std::vector<float> up, down;
};

Crossings slice(const std::vector<float>& data, float level, float width, float upper, float lower) {
    std::vector<float> l1(data.size() + 1, -1), l2(data.size() + 1, -1);
    int32_t n1 = -1, n2 = -1;
    S_SLICE(&n1, l1.data(), &n2, l2.data(), data.data(), static_cast<int32_t>(data.size()), level,
            width, upper, lower);
    return {{l1.begin(), l1.begin() + n1}, {l2.begin(), l2.begin() + n2}};
}

TEST(LevelCrossing, CrossingsNeedTheWholeHysteresisBand) {
    Crossings c = slice({0, -2, 2, -2, 2}, 0, 2, 10, -10);
    EXPECT_EQ(c.up, (std::vector<float>{2, 4}));
    EXPECT_EQ(c.down, (std::vector<float>{3}));
    // Inside the band (|x| <= 1) nothing counts; the crossing is the first sample past the level.
    c = slice({-3, -0.5f, 0.5f, 0.8f, 3, 0.5f, -0.5f, -3}, 0, 2, 10, -10);
    EXPECT_EQ(c.up, (std::vector<float>{2}));
    EXPECT_EQ(c.down, (std::vector<float>{6}));
    c = slice({-3, 0.5f, -0.5f, 0.5f, -3}, 0, 2, 10, -10);
    EXPECT_TRUE(c.up.empty());
    EXPECT_TRUE(c.down.empty());
}

TEST(LevelCrossing, SwingBeyondTheLimitsCancelsTheBracketingPair) {
    Crossings c = slice({0, -2, 2, 20, 2, -2, 2}, 0, 2, 10, -10);
    EXPECT_EQ(c.up, (std::vector<float>{6}));
    EXPECT_TRUE(c.down.empty());
    c = slice({0, 2, -2, -20, -2, 2, -2}, 0, 2, 10, -10);
    EXPECT_TRUE(c.up.empty());
    EXPECT_EQ(c.down, (std::vector<float>{6}));
}

TEST(LevelCrossing, ShortRecordsAndCrossedLimits) {
    Crossings c = slice({5}, 0, 2, 10, -10);
    EXPECT_TRUE(c.up.empty());
    EXPECT_TRUE(c.down.empty());
    // Limits given the wrong way round (as the frame-start search passes them): every value
    // lies in zones 1 and 6 at once, zone 1 is tried first and holds them all, so nothing
    // ever crosses.
    c = slice({0, 100, 200, 300, 400, -5}, 250, 0, -1e30f, 1e30f);
    EXPECT_TRUE(c.up.empty());
    EXPECT_TRUE(c.down.empty());
    // With the limits in order the same record crosses up at 3 and down at 5.
    c = slice({0, 100, 200, 300, 400, -5}, 250, 0, 1e30f, -1e30f);
    EXPECT_EQ(c.up, (std::vector<float>{3}));
    EXPECT_EQ(c.down, (std::vector<float>{5}));
}

TEST(Spectrum, ScaledByTheCountAndInvertible) {
    std::vector<float> one(8, 1.0f), re(8), im(8);
    S_FFT(re.data(), im.data(), one.data(), 8);
    EXPECT_FLOAT_EQ(re[0], 1.0f);
    for (int i = 1; i < 8; ++i) EXPECT_NEAR(re[i], 0, 1e-7) << i;
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(im[i], 0, 1e-7) << i;
    std::vector<float> x(8);
    for (int t = 0; t < 8; ++t) x[t] = static_cast<float>(std::sin(2 * M_PI * t / 8));
    S_FFT(re.data(), im.data(), x.data(), 8);
    EXPECT_NEAR(im[1], -0.5, 1e-7);  // sin = (e^jw - e^-jw) / 2j
    EXPECT_NEAR(im[7], 0.5, 1e-7);
    EXPECT_NEAR(re[1], 0, 1e-7);

    std::mt19937 rng(3);
    std::uniform_real_distribution<float> u(-1, 1);
    for (int32_t n : {1, 2, 64, 65536}) {  // 65536: beyond the old fixed work buffers
        std::vector<float> s(n), r(n), i(n), back(n);
        for (float& v : s) v = u(rng);
        S_FFT(r.data(), i.data(), s.data(), n);
        S_INVFFT(back.data(), r.data(), i.data(), n);
        for (int32_t k = 0; k < n; ++k) ASSERT_NEAR(back[k], s[k], 2e-6) << n << " " << k;
    }
}

TEST(Spectrum, NonPowerOfTwoTransformsTheFirstPowerOfTwoPoints) {
    std::vector<float> s = {1, 2, 3, 4, 5, 6, 7, 8, 100, 100}, re(10, -9), im(10, -9);
    S_FFT(re.data(), im.data(), s.data(), 10);
    EXPECT_FLOAT_EQ(re[0], 36.0f / 10);  // the first 8 values, divided by n = 10
    EXPECT_FLOAT_EQ(re[4], -4.0f / 10);  // alternating sum
    EXPECT_EQ(re[8], -9);                // entries from N on are left as they were
    EXPECT_EQ(im[9], -9);
    std::vector<float> out(10, -9);
    S_INVFFT(out.data(), re.data(), im.data(), 10);
    EXPECT_EQ(out[8], -9);
    S_FFT(re.data(), im.data(), s.data(), 0);
    S_INVFFT(out.data(), re.data(), im.data(), -4);
    EXPECT_EQ(re[8], -9);
    EXPECT_EQ(out[9], -9);
}

}  // namespace
