// Wide-vector scans behind the envelope and the column reduction of long traces.
#include "library/ArrayScan.h"

#include "platform/kernel/Workers.h"

#include <algorithm>
#include <immintrin.h>

namespace trelm {
namespace {

bool haveAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

// Folds p[i .. n-1] into the running extremes and the NaN flag.
void foldTail(const float* p, int64_t i, int64_t n, float& lo, float& hi, bool& nan) {
    for (; i < n; ++i) {
        const float v = p[i];
        nan |= v != v;
        if (v < lo) lo = v;
        if (v > hi) hi = v;
    }
}

// min/max(v, acc) return acc when either is NaN: a NaN element is passed over and a NaN start
// stays. Two accumulators each keep the dependency chains short.
[[gnu::target("avx2")]] void minMaxAvx2(const float* p, int64_t n, float& lo, float& hi, bool& nan) {
    const __m256 first = _mm256_set1_ps(p[0]);
    __m256 l0 = first, l1 = first, h0 = first, h1 = first;
    __m256 n0 = _mm256_cmp_ps(first, first, _CMP_UNORD_Q), n1 = n0;
    int64_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256 a = _mm256_loadu_ps(p + i), b = _mm256_loadu_ps(p + i + 8);
        l0 = _mm256_min_ps(a, l0);
        l1 = _mm256_min_ps(b, l1);
        h0 = _mm256_max_ps(a, h0);
        h1 = _mm256_max_ps(b, h1);
        n0 = _mm256_or_ps(n0, _mm256_cmp_ps(a, a, _CMP_UNORD_Q));
        n1 = _mm256_or_ps(n1, _mm256_cmp_ps(b, b, _CMP_UNORD_Q));
    }
    if (i + 8 <= n) {
        const __m256 a = _mm256_loadu_ps(p + i);
        l0 = _mm256_min_ps(a, l0);
        h0 = _mm256_max_ps(a, h0);
        n0 = _mm256_or_ps(n0, _mm256_cmp_ps(a, a, _CMP_UNORD_Q));
        i += 8;
    }
    // The lanes fold with the same comparisons as the scalar scan.
    alignas(32) float ls[16], hs[16];
    _mm256_store_ps(ls, l0);
    _mm256_store_ps(ls + 8, l1);
    _mm256_store_ps(hs, h0);
    _mm256_store_ps(hs + 8, h1);
    float l = p[0], h = p[0];
    for (int k = 0; k < 16; ++k) {
        if (ls[k] < l) l = ls[k];
        if (hs[k] > h) h = hs[k];
    }
    nan = _mm256_movemask_ps(_mm256_or_ps(n0, n1)) != 0;
    foldTail(p, i, n, l, h, nan);
    lo = l;
    hi = h;
}

[[gnu::target("avx2")]] int64_t firstEqualAvx2(const float* p, int64_t n, float v) {
    const __m256 w = _mm256_set1_ps(v);
    int64_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const int m = _mm256_movemask_ps(_mm256_cmp_ps(_mm256_loadu_ps(p + i), w, _CMP_EQ_OQ));
        if (m != 0) return i + __builtin_ctz(static_cast<unsigned>(m));
    }
    for (; i < n; ++i)
        if (p[i] == v) return i;
    return n;
}

}  // namespace

void minMaxNan(const float* p, int64_t n, float& lo, float& hi, bool& nan) {
    static const bool avx2 = haveAvx2();
    if (avx2 && n >= 16) {
        minMaxAvx2(p, n, lo, hi, nan);
        return;
    }
    lo = hi = p[0];
    nan = false;
    foldTail(p, 0, n, lo, hi, nan);
}

int64_t firstEqual(const float* p, int64_t n, float v) {
    static const bool avx2 = haveAvx2();
    if (avx2) return firstEqualAvx2(p, n, v);
    for (int64_t i = 0; i < n; ++i)
        if (p[i] == v) return i;
    return n;
}

void extremesInOrder(const float* p, int32_t n, float& first, float& second, bool wide) {
    float hi, lo;
    int64_t ihi, ilo;
    if (wide && n >= 16 && p[0] == p[0]) {
        // The running extremes end on the first element equal to the run's extreme (NaN never
        // replaces one): one vector pass for both extremes, then each is found.
        bool nan;
        minMaxNan(p, n, lo, hi, nan);
        ihi = firstEqual(p, n, hi);
        ilo = firstEqual(p, n, lo);
        hi = p[ihi];
        lo = p[ilo];
    } else {
        ihi = std::max(scanExtreme(p, n, hi, above), 0);
        ilo = std::max(scanExtreme(p, n, lo, below), 0);
    }
    first = ilo < ihi ? lo : hi;
    second = ilo < ihi ? hi : lo;
}

unsigned scanHelpers(int64_t n) {
    constexpr int64_t kValuesPerHelper = int64_t{1} << 18;
    return static_cast<unsigned>(std::clamp<int64_t>(n / kValuesPerHelper - 1, 0, qv::kernel::spareCores()));
}

}  // namespace trelm
