// Peak and valley search, level crossings with hysteresis, and the radix-2 spectrum.
#include "library/trelm.h"
#include "library/ExportGuard.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

namespace {

// ---- S_SLICE zones ----
// Zone 1 lies above `upper`, 2 above level + width/2, 3 above the level, 4 down to
// level - width/2, 5 down to `lower`, 6 below; 1..3 are above the level, 4..6 below it.
struct Zones {
    double lowerBound[7];  // zone z holds x when lowerBound[z] < x <= upperBound[z]
    double upperBound[7];
    bool holds(int z, double x) const { return lowerBound[z] < x && x <= upperBound[z]; }
};

// Order in which the zones are tried, by the zones of the two samples before (before last,
// last). With bounds in their natural order the order only makes the usual case one test;
// with crossed bounds the first zone that holds the sample wins.
using ZoneOrder = signed char[6];
constexpr ZoneOrder kOrders[4][6] = {
    // before last 1
    {{1, 2, 3, 4, 5, 6}, {2, 3, 1, 4, 5, 6}, {3, 4, 2, 5, 1, 6},
     {4, 5, 3, 6, 2, 1}, {5, 4, 6, 3, 2, 1}, {6, 5, 4, 3, 2, 1}},
    // before last 2
    {{2, 1, 3, 4, 5, 6}, {2, 1, 3, 4, 5, 6}, {3, 4, 2, 5, 1, 6},
     {4, 5, 3, 6, 2, 1}, {5, 4, 6, 3, 2, 1}, {6, 5, 4, 3, 2, 1}},
    // before last 3
    {{1, 2, 3, 4, 5, 6}, {2, 1, 3, 4, 5, 6}, {3, 2, 4, 1, 5, 6},
     {4, 5, 3, 6, 2, 1}, {5, 6, 4, 3, 2, 1}, {6, 5, 4, 3, 2, 1}},
    // before last 4, 5 or 6 (last 5 after 5 or 6: see below)
    {{1, 2, 3, 4, 5, 6}, {2, 1, 3, 4, 5, 6}, {3, 2, 4, 1, 5, 6},
     {4, 3, 5, 2, 6, 1}, {5, 6, 4, 3, 2, 1}, {6, 5, 4, 3, 2, 1}},
};
constexpr ZoneOrder kLast5After5Or6 = {5, 4, 6, 3, 2, 1};
constexpr ZoneOrder kNatural = {1, 2, 3, 4, 5, 6};

// Zone of x (1..6), or 0 when no zone holds it (NaN, +inf, -FLT_MAX and below).
int zoneOf(const Zones& zones, double x, int beforeLast, int last) {
    const signed char* order = kNatural;
    if (beforeLast >= 1 && last >= 1) {
        if (beforeLast >= 5 && last == 5)
            order = kLast5After5Or6;
        else
            order = kOrders[std::min(beforeLast, 4) - 1][last - 1];
    }
    for (int t = 0; t < 6; ++t)
        if (zones.holds(order[t], x)) return order[t];
    return 0;
}

enum class Side { None, Low, High };

Side sideOf(int zone) {
    if (zone == 0) return Side::None;
    return zone <= 3 ? Side::High : Side::Low;
}

// ---- Spectrum ----
// Work buffers of the transform, grown on demand and kept until unload, so repeated calls
// neither allocate nor clear memory (the library is called from one thread).
std::vector<double> gRe, gIm, gWRe, gWIm;
std::vector<uint32_t> gRev;

template <typename T>
T* grown(std::vector<T>& v, size_t size) {
    if (v.size() < size) v.resize(size);
    return v.data();
}

// Radix-2 decimation in time over the first 2^floor(log2 n) points, in double. The results
// for i < N are divided by `scale` (1 for none). Writes re/im (im may be null) as floats.
void radix2(const float* inRe, const float* inIm, double imSign, int32_t n, double scale,
            float* outRe, float* outIm) {
    int L = 0;
    for (int32_t m = n; m > 1; m /= 2) ++L;
    const size_t N = size_t{1} << L;

    // Bit-reversal table built by doubling: entries b..2b-1 are entries 0..b-1 plus N/(2b).
    uint32_t* rev = grown(gRev, N);
    rev[0] = 0;
    for (size_t b = 1; b < N; b *= 2)
        for (size_t i = 0; i < b; ++i) rev[b + i] = static_cast<uint32_t>(rev[i] + N / (2 * b));

    double* re = grown(gRe, N);
    double* im = grown(gIm, N);
    for (size_t i = 0; i < N; ++i) {
        re[i] = inRe[rev[i]];
        im[i] = inIm ? imSign * inIm[rev[i]] : 0.0;
    }
    constexpr double kPi = 3.14159265358979323846264338327950;
    // Twiddles of a stage: (1, 0) advanced by multiplication with (cos(pi/d), -sin(pi/d)),
    // computed once per stage so the butterflies can run block by block through memory.
    double* wRe = grown(gWRe, N / 2 + 1);
    double* wIm = grown(gWIm, N / 2 + 1);
    for (size_t d = 1; d < N; d *= 2) {
        const double stepRe = std::cos(kPi / static_cast<double>(d));
        const double stepIm = -std::sin(kPi / static_cast<double>(d));
        wRe[0] = 1.0;
        wIm[0] = 0.0;
        for (size_t j = 1; j < d; ++j) {
            wRe[j] = wRe[j - 1] * stepRe - wIm[j - 1] * stepIm;
            wIm[j] = wRe[j - 1] * stepIm + wIm[j - 1] * stepRe;
        }
        for (size_t a0 = 0; a0 < N; a0 += 2 * d) {
            for (size_t j = 0; j < d; ++j) {
                const size_t a = a0 + j, b = a + d;
                const double tRe = wRe[j] * re[b] - wIm[j] * im[b];
                const double tIm = wRe[j] * im[b] + wIm[j] * re[b];
                re[b] = re[a] - tRe;
                im[b] = im[a] - tIm;
                re[a] += tRe;
                im[a] += tIm;
            }
        }
    }
    for (size_t i = 0; i < N; ++i) {
        outRe[i] = static_cast<float>(re[i] / scale);
        if (outIm) outIm[i] = static_cast<float>(im[i] / scale);
    }
}

}  // namespace

extern "C" {

void S_PEAK(int32_t* npeaks, float* peaks, int32_t* nvalleys, float* valleys, const float* data,
            int32_t n, float threshold) {
    int32_t np = 0, nv = 0;
    if (n <= 0) {
        *npeaks = 0;
        *nvalleys = 0;
        return;
    }
    const double c = std::fabs(static_cast<double>(threshold));
    int32_t pb = 0, vb = 0;                 // peak and valley candidates
    double pv = data[0], vv = data[0];
    bool rising = false, armed = false, started = false;
    for (int32_t i = 0; i + 1 < n; ++i) {
        const double prev = data[i == 0 ? 0 : i - 1];
        const double cur = data[i];
        const double next = data[i + 1];
        if (prev < cur && cur >= next) {
            // A local maximum, or the start of a plateau after a rise.
            const int32_t u = cur > pv ? i : pb;
            const double v = cur > pv ? cur : pv;
            pb = i;
            pv = cur;
            if (cur - vv < c || rising) {
                pb = u;
                pv = v;
            } else {
                armed = false;
                rising = true;
                if (started)
                    valleys[nv++] = static_cast<float>(vb);
                else
                    started = true;
            }
        } else if (prev > cur && cur <= next) {
            if (cur < vv) {
                vb = i;
                vv = cur;
            }
            if (pv - cur >= c && !armed) {
                rising = false;
                vb = i;
                vv = cur;
                armed = true;
                if (started)
                    peaks[np++] = static_cast<float>(pb);
                else
                    started = true;
            }
        }
    }
    const double last = data[n - 1];
    if (pb < vb) {
        if (last > vv + c) valleys[nv++] = static_cast<float>(vb);
    } else if (!(last >= pv - c)) {
        peaks[np++] = static_cast<float>(pb);
    }
    *npeaks = np;
    *nvalleys = nv;
}

void S_SLICE(int32_t* count1, float* list1, int32_t* count2, float* list2, const float* data,
             int32_t n, float level, float width, float upper, float lower) {
    int32_t n1 = 0, n2 = 0;
    if (n < 2) {
        *count1 = 0;
        *count2 = 0;
        return;
    }
    const double lv = level, hw = static_cast<double>(width) / 2.0;
    const Zones zones{{0, upper, lv + hw, lv, lv - hw, lower, -FLT_MAX},
                      {0, FLT_MAX, upper, lv + hw, lv, lv - hw, lower}};

    Side side = Side::None;
    bool wentHigh = false, lastUp = false, dropDown = false;  // pending removal after a swing up
    bool wentLow = false, lastDown = false, dropUp = false;   // ... and after a swing down
    bool savedWentHigh = false, savedWentLow = false;
    int32_t J = 0;

    int p = zoneOf(zones, data[0], 0, 0);
    switch (p) {
        case 1: side = Side::High; wentHigh = lastUp = dropDown = true; break;
        case 2: side = Side::High; break;
        case 5: side = Side::Low; break;
        case 6: side = Side::Low; wentLow = lastDown = dropUp = true; break;
        default: break;
    }
    int beforeLast = p;
    for (int32_t i = 1; i < n; ++i) {
        const int z = zoneOf(zones, data[i], beforeLast, p);
        if (z == 0) continue;  // a sample in no zone changes nothing
        if (z != p) {
            if (sideOf(p) != Side::None && sideOf(p) != sideOf(z)) J = i;
            if (z >= 5) {
                if (side == Side::High) {
                    list2[n2++] = static_cast<float>(J);
                    lastDown = true;
                    lastUp = false;
                    savedWentLow = wentLow;
                    wentLow = false;
                    J = 0;
                }
                side = Side::Low;
            }
            if (z <= 2) {
                if (side == Side::Low) {
                    list1[n1++] = static_cast<float>(J);
                    lastDown = false;
                    lastUp = true;
                    savedWentHigh = wentHigh;
                    wentHigh = false;
                    J = 0;
                }
                side = Side::High;
                if (z == 1) wentHigh = lastUp = true;
            }
            if (z == 6) wentLow = lastDown = true;
            // A swing beyond upper/lower cancels the crossings that bracket it.
            if (dropUp && (z == 1 || lastUp)) {
                if (n1 > 0) --n1;
                dropUp = false;
                if (!savedWentHigh && n2 > 0) --n2;
            }
            if (dropDown && lastDown) {
                if (n2 > 0) --n2;
                dropDown = false;
                if (!savedWentLow && n1 > 0) --n1;
            }
            if (lastUp && wentHigh) dropDown = true;
            if (lastDown && wentLow) dropUp = true;
        }
        beforeLast = p;
        p = z;
    }
    *count1 = n1;
    *count2 = n2;
}

void S_FFT(float* re, float* im, const float* src, int32_t n) {
    trelm::guardedExport([&] {
        // X[k] = (1/n) sum x[t] e^(-j 2 pi k t / N) over the first N = 2^floor(log2 n) points;
        // any size works (no fixed work buffers), entries from N on are left as they are.
        if (n <= 0) return;
        radix2(src, nullptr, 1.0, n, static_cast<double>(n), re, im);
    });
}

void S_INVFFT(float* out, const float* re, const float* im, int32_t n) {
    trelm::guardedExport([&] {
        // The same transform of the conjugate, unscaled; the real part is the signal.
        if (n <= 0) return;
        radix2(re, im, -1.0, n, 1.0, out, nullptr);
    });
}

}  // extern "C"
