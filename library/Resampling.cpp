// Block shifts, resampling, envelopes and moving averages over caller-owned arrays.
#include "library/trelm.h"

#include "library/ArrayScan.h"
#include "platform/kernel/Workers.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace {

// Exact window sum, used to start and to refresh the running sum of the moving average so
// that rounding in the running update cannot build up along a long record.
double windowSum(const float* src, int64_t lo, int64_t hi) {
    double s = 0.0;
    for (int64_t j = lo; j <= hi; ++j) s += src[j];
    return s;
}

// Weighted window of S_MVAV0 / S_MVAV2: points outside 0..n-1 either take the nearest end value
// (extendEdges) or are left out of the sum.
void weightedWindow(float* dst, const float* src, int32_t width, int32_t n, const float* weights,
                    bool extendEdges) {
    if (width <= 0 || n <= 0) return;
    const int64_t h = width / 2;
    for (int64_t i = 0; i < n; ++i) {
        double s = 0.0;
        for (int64_t j = i - h; j <= i + h; ++j) {
            const bool inside = j >= 0 && j < n;
            if (!inside && !extendEdges) continue;
            const float v = src[std::clamp<int64_t>(j, 0, n - 1)];
            s += static_cast<double>(v) * weights[h + j - i];
        }
        dst[i] = static_cast<float>(s);
    }
}

constexpr int64_t kPairsPerTurn = 64;

}  // namespace

extern "C" {

void S_SHIFT(int32_t* array, int32_t start, int32_t count, int32_t k, int32_t size) {
    // 64-bit sums: the bounds test itself must not overflow. A negative count and a block that
    // does not lie inside the array are refused as well as a target outside it.
    const int64_t s = start, c = count, d = k;
    if (s < 0 || c < 0 || s + d < 0 || s + c + d > size || s + c > size) return;
    std::memmove(array + s + d, array + s, static_cast<size_t>(c) * sizeof(int32_t));
    if (d < 0) {
        std::fill(array + s + d + c, array + s + c, 0);  // the -k words after the new end
    } else {
        std::fill(array + s, array + s + d, 0);  // the k words from the old start
    }
}

void S_SAMPLE(int32_t* dst, const int32_t* src, int32_t step, int32_t n) {
    if (step < 1) return;  // a step of 0 would never leave the loop
    for (int64_t j = 0; j * step < n; ++j) dst[j] = src[j * step];
}

void S_EXPAND(float* dst, const float* src, int32_t n, int32_t m) {
    if (n >= m || n <= 0) return;
    if (n == 1) {
        std::fill(dst, dst + m, src[0]);
        return;
    }
    const double ratio = static_cast<double>(n - 1) / (m - 1);
    for (int32_t i = 0; i < m - 1; ++i) {
        const double p = ratio * i;
        const int32_t k = std::min(static_cast<int32_t>(p), n - 2);
        dst[i] = static_cast<float>(src[k] + (p - k) * (static_cast<double>(src[k + 1]) - src[k]));
    }
    dst[m - 1] = src[n - 1];
}

void S_CONDENSE(float* dst, const float* src, int32_t n, int32_t m) {
    if (m <= 0 || n < m) return;
    // Output i averages the source over [i * r, (i + 1) * r); a sample cut by a window end is
    // split between the two outputs in proportion.
    const float r = static_cast<float>(static_cast<double>(n) / m);
    int64_t j = 0;  // first source sample not yet used
    double carried = 0.0;
    for (int32_t i = 0; i < m; ++i) {
        const double end = (i + 1.0) * r;
        double whole = 0.0;
        while (j < n && j + 1 <= end) whole += src[j++];
        double partial = 0.0, next = 0.0;
        if (end > j) {
            // A rounded-up ratio can put the last end just past the source: clamp the index.
            const double x = src[std::min<int64_t>(j, n - 1)];
            const double f = end - j;
            partial = f * x;
            next = (1.0 - f) * x;
            ++j;
        }
        dst[i] = static_cast<float>((whole + partial + carried) / r);
        carried = next;
    }
}

void S_TRANS(float* dst, const float* src, int32_t /*ignored*/, int32_t n, int32_t m) {
    if (n <= 0 || m <= 0) return;
    if (n < m) dst[0] = 0.0f;
    const int32_t even = m & ~1;
    if (even == 0) return;
    auto boundary = [n, even](int64_t k) {
        return static_cast<int64_t>(2.0 * static_cast<double>(k) * n / even + 0.5);
    };
    // Each output pair depends on its own segment only, so a long source is scanned by several
    // threads taking runs of pairs in turn; the pairs are the same whoever computes them.
    const int64_t pairs = even / 2;
    std::atomic<int64_t> next{0};
    auto work = [&] {
        for (int64_t k0; (k0 = next.fetch_add(kPairsPerTurn, std::memory_order_relaxed)) < pairs;) {
            int64_t b = boundary(k0);
            for (int64_t k = k0; k < std::min(pairs, k0 + kPairsPerTurn); ++k) {
                const int64_t end = boundary(k + 1);
                float first, second;
                if (end <= b) {
                    // An empty segment (fewer source points than outputs) repeats the point it
                    // sits on.
                    first = second = src[std::min<int64_t>(b, n - 1)];
                } else {
                    // Source order; the maximum first when both sit on the same point.
                    trelm::extremesInOrder(src + b, static_cast<int32_t>(end - b), first, second, true);
                }
                dst[2 * k] = first;
                dst[2 * k + 1] = second;
                b = end;
            }
        }
    };
    const int64_t turns = (pairs + kPairsPerTurn - 1) / kPairsPerTurn;
    qv::kernel::shareWork(static_cast<unsigned>(std::min<int64_t>(trelm::scanHelpers(n), turns - 1)), work);
    if (m != even) dst[m - 1] = dst[m - 2];
}

void S_MVAV(float* dst, const float* src, int32_t width, int32_t n) {
    if (width <= 0 || n <= 0) return;
    const int64_t h = width / 2;
    // Refresh the running sum exactly every `refresh` outputs: amortised cost stays O(1).
    const int64_t refresh = std::max<int64_t>(1024, 2 * h + 1);
    double s = 0.0;
    for (int64_t i = 0; i < n; ++i) {
        const int64_t lo = std::max<int64_t>(0, i - h);
        const int64_t hi = std::min<int64_t>(n - 1, i + h);
        if (i % refresh == 0) {
            s = windowSum(src, lo, hi);
        } else {
            if (i + h < n) s += src[i + h];
            if (i - h - 1 >= 0) s -= src[i - h - 1];
        }
        dst[i] = static_cast<float>(s / static_cast<double>(hi - lo + 1));
    }
}

void S_MVAV0(float* dst, const float* src, int32_t width, int32_t n, const float* weights) {
    weightedWindow(dst, src, width, n, weights, true);
}

void S_MVAV2(float* dst, const float* src, int32_t width, int32_t n, const float* weights) {
    weightedWindow(dst, src, width, n, weights, false);
}

}  // extern "C"
