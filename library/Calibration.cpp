// Calibration store (".CAL" ini text, section "CAL") and the raw-to-units conversion.
#include "library/Calibration.h"
#include "library/trelm.h"

#include "library/ExportGuard.h"

#include "platform/kernel/Encoding.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/Profile.h"
#include "platform/kernel/Workers.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <immintrin.h>
#include <memory>
#include <new>
#include <unistd.h>
#include <locale.h>
#include <memory>
#include <string>
#include <type_traits>

namespace {

constexpr int kChannels = 32;
constexpr int kFieldBytes = 32;    // one name or unit field
constexpr int kValuesPerChannel = 4;  // EU_HI, EU_LO, CAL_AD, BASE_AD
constexpr char kSection[] = "CAL";
constexpr const char* kValueKeys[kValuesPerChannel] = {"fEU_HI", "fEU_LO", "fCAL_AD", "fBASE_AD"};

// The store's file. Nothing the program calls names it, so it is the program folder's
// DEFAULT.CAL: the file the program's quit button saves its calibration into, which keeps the
// user's registered calibration across runs. Before that file exists every read gives the
// defaults. A path given by a test (CP932, possibly empty) overrides it.
char gCalPath[2048];
bool gCalPathGiven;

std::string storeFile() {
    if (gCalPathGiven) return qv::kernel::cp932ToUtf8(gCalPath);
    return qv::kernel::programFolderWindows() + "\\DEFAULT.CAL";
}

std::string key(const char* name, int channel) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s(%d)", name, channel);
    return buf;
}

// "%f" with "." whatever the process locale is.
std::string fixed6(float v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::fixed, 6);
    return std::string(buf, r.ptr);
}

}  // namespace

namespace trelm {

void setCalibrationStorePath(const char* path) {
    std::memset(gCalPath, 0, sizeof gCalPath);
    if (path) std::strncpy(gCalPath, path, sizeof gCalPath - 1);
    gCalPathGiven = true;
}

void resetCalibrationStorePath() {
    std::memset(gCalPath, 0, sizeof gCalPath);
    gCalPathGiven = false;
}

}  // namespace trelm

extern "C" {

void PUTCAL(const float* cal, const char* names, const char* units) {
    trelm::guardedExport([&] {
        using namespace qv::kernel;
        const std::string path = storeFile();
        if (path.empty()) return;  // the profile functions reach no file
        ProfileBatch batch(path);   // 224 keys, one rewrite of the file
        for (int ch = 0; ch < kChannels; ++ch) {
            char separator[48];
            std::snprintf(separator, sizeof separator, "---------- CAL(%d) ----------", ch);
            writeProfileString(path, kSection, key("CAL", ch), separator);
            // A field holds at most 31 bytes of text: a 31-byte name is followed by a padding blank
            // and no NUL, so the read must stop at 31 bytes.
            writeProfileString(path, kSection, key("pName", ch),
                               cp932FieldToUtf8(names + ch * kFieldBytes, kFieldBytes - 1));
            writeProfileString(path, kSection, key("pUnit", ch),
                               cp932FieldToUtf8(units + ch * kFieldBytes, kFieldBytes - 1));
            for (int v = 0; v < kValuesPerChannel; ++v)
                writeProfileString(path, kSection, key(kValueKeys[v], ch),
                                   fixed6(cal[ch * kValuesPerChannel + v]));
        }
        if (batch.commit()) flushProfile(path);
    });
}

void GETCAL(float* cal, char* names, char* units) {
    trelm::guardedExport([&] {
        using namespace qv::kernel;
        const std::string path = storeFile();
        // strtod with "." as the decimal point, whatever locale the program runs in.
        const std::unique_ptr<std::remove_pointer_t<locale_t>, decltype(&freelocale)> numeric(
            newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr)), &freelocale);
        const locale_t cLocale = numeric.get();
        for (int ch = 0; ch < kChannels; ++ch) {
            writeCp932Field(getProfileString(path, kSection, key("pName", ch), "0", kFieldBytes).text,
                            names + ch * kFieldBytes, kFieldBytes);
            writeCp932Field(getProfileString(path, kSection, key("pUnit", ch), "0", kFieldBytes).text,
                            units + ch * kFieldBytes, kFieldBytes);
            for (int v = 0; v < kValuesPerChannel; ++v) {
                const std::string text =
                    utf8ToCp932(getProfileString(path, kSection, key(kValueKeys[v], ch), "0").text);
                const double x = cLocale ? strtod_l(text.c_str(), nullptr, cLocale)
                                         : std::strtod(text.c_str(), nullptr);
                cal[ch * kValuesPerChannel + v] = static_cast<float>(x);
            }
        }
    });
}

}  // extern "C"

// ---- M_Change ----
namespace {

// One channel's two-point line, in double.
struct Line {
    double base, span, calAd, lo;
};

inline Line lineOf(const float* cal, int32_t channel) {
    const float* rec = cal + int64_t{channel} * kValuesPerChannel;
    return {rec[3], static_cast<double>(rec[0]) - rec[1], rec[2], rec[1]};
}

// ((raw - BASE_AD) * (EU_HI - EU_LO)) / CAL_AD + EU_LO, in double and in exactly this order,
// stored as float. The vector paths below give the same bits lane by lane.
inline float convert(int16_t raw, const Line& l) {
    return static_cast<float>((static_cast<double>(raw) - l.base) * l.span / l.calAd + l.lo);
}

// Lines of 8 consecutive channels, lanes 0-3 and 4-7.
struct Lines8 {
    __m256d base[2], span[2], calAd[2], lo[2];
};

[[gnu::target("avx2")]] inline Lines8 lines8(const float* cal, int32_t c0) {
    Lines8 g;
    for (int h = 0; h < 2; ++h) {
        Line l[4];
        for (int k = 0; k < 4; ++k) l[k] = lineOf(cal, c0 + 4 * h + k);
        g.base[h] = _mm256_setr_pd(l[0].base, l[1].base, l[2].base, l[3].base);
        g.span[h] = _mm256_setr_pd(l[0].span, l[1].span, l[2].span, l[3].span);
        g.calAd[h] = _mm256_setr_pd(l[0].calAd, l[1].calAd, l[2].calAd, l[3].calAd);
        g.lo[h] = _mm256_setr_pd(l[0].lo, l[1].lo, l[2].lo, l[3].lo);
    }
    return g;
}

// 8 words of one scan (8 channels) -> 8 floats, each lane with its channel's line. The division
// stays: a rounded reciprocal with a fused correction gives the same bits but measured slower
// here, the conversions and the transpose rather than the divider setting the pace.
[[gnu::target("avx2")]] inline __m256 convert8(const int16_t* words, const Lines8& g) {
    const __m256i x = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(words)));
    __m256d v[2] = {_mm256_cvtepi32_pd(_mm256_castsi256_si128(x)),
                    _mm256_cvtepi32_pd(_mm256_extracti128_si256(x, 1))};
    for (int h = 0; h < 2; ++h) {
        const __m256d a = _mm256_mul_pd(_mm256_sub_pd(v[h], g.base[h]), g.span[h]);
        v[h] = _mm256_add_pd(_mm256_div_pd(a, g.calAd[h]), g.lo[h]);
    }
    return _mm256_set_m128(_mm256_cvtpd_ps(v[1]), _mm256_cvtpd_ps(v[0]));
}

// In-place 8x8 transpose: r[k] lane c becomes r[c] lane k.
[[gnu::target("avx2")]] inline void transpose8(__m256 r[8]) {
    __m256 t[8], u[8];
    for (int k = 0; k < 8; k += 2) {
        t[k] = _mm256_unpacklo_ps(r[k], r[k + 1]);
        t[k + 1] = _mm256_unpackhi_ps(r[k], r[k + 1]);
    }
    for (int k = 0; k < 8; k += 4) {
        u[k] = _mm256_shuffle_ps(t[k], t[k + 2], 0x44);
        u[k + 1] = _mm256_shuffle_ps(t[k], t[k + 2], 0xEE);
        u[k + 2] = _mm256_shuffle_ps(t[k + 1], t[k + 3], 0x44);
        u[k + 3] = _mm256_shuffle_ps(t[k + 1], t[k + 3], 0xEE);
    }
    for (int k = 0; k < 4; ++k) {
        r[k] = _mm256_permute2f128_ps(u[k], u[k + 4], 0x20);
        r[k + 4] = _mm256_permute2f128_ps(u[k], u[k + 4], 0x31);
    }
}

// Tiles of 8 scans x 8 channels over channels [0, tiled) and scans [0, scans), both multiples
// of 8: each scan's 8 words convert as one vector, the transpose turns the tile channel-major,
// and each channel gets 8 floats in one store.
[[gnu::target("avx2")]] void convertTiles(float* out, int64_t stride, const int16_t* raw,
                                             int32_t nch, int32_t tiled, int64_t scans,
                                             const float* cal) {
    for (int32_t c0 = 0; c0 < tiled; c0 += 8) {
        const Lines8 g = lines8(cal, c0);
        for (int64_t s0 = 0; s0 < scans; s0 += 8) {
            __m256 r[8];
            for (int k = 0; k < 8; ++k) r[k] = convert8(raw + (s0 + k) * nch + c0, g);
            transpose8(r);
            for (int c = 0; c < 8; ++c) _mm256_storeu_ps(out + (c0 + c) * stride + s0, r[c]);
        }
    }
}

// Converts scans [0, scans) of a block starting at raw; channel c's values go to
// out + c * stride. What the tiles leave (channels past the last 8, scans past the last 8)
// goes one value at a time.
void convertBlock(float* out, int64_t stride, const int16_t* raw, int32_t nch, int64_t scans,
                  const float* cal, bool avx2) {
    const int32_t tiled = avx2 ? nch & ~7 : 0;
    const int64_t tiledScans = tiled > 0 ? scans & ~int64_t{7} : 0;
    if (tiledScans > 0) convertTiles(out, stride, raw, nch, tiled, tiledScans, cal);
    for (int32_t c = 0; c < nch; ++c) {
        const Line l = lineOf(cal, c);
        for (int64_t s = c < tiled ? tiledScans : 0; s < scans; ++s)
            out[c * stride + s] = convert(raw[s * nch + c], l);
    }
}

// Copies count floats with non-temporal stores where 32-byte chunks are aligned: the output of a
// long conversion is not read again soon, and streaming it spares reading every line first.
[[gnu::target("avx2")]] void streamCopy(float* dst, const float* src, int64_t count) {
    int64_t i = 0;
    for (; i < count && (reinterpret_cast<uintptr_t>(dst + i) & 31) != 0; ++i) dst[i] = src[i];
    for (; i + 8 <= count; i += 8) _mm256_stream_ps(dst + i, _mm256_loadu_ps(src + i));
    for (; i < count; ++i) dst[i] = src[i];
}

bool haveAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

int64_t lastLevelCacheBytes() {
    const long l3 = sysconf(_SC_LEVEL3_CACHE_SIZE);
    return l3 > 0 ? l3 : 8 << 20;
}

// Scans go in blocks so that a block's words stay in the first-level cache while every channel
// takes its run out of them: the raw words are read from memory once.
constexpr int64_t kBlockScans = 256;

// Converts blocks [firstBlock, endBlock) of the scans. Output larger than the last-level cache
// goes through a small buffer (`scratch`, nch x kBlockScans floats) streamed to its place;
// without that buffer the blocks are written directly.
void convertBlocks(float* dst, const int16_t* raw, int32_t nch, int64_t n, const float* cal,
                   int64_t firstBlock, int64_t endBlock, float* scratch, bool avx2) {
    for (int64_t b0 = firstBlock * kBlockScans; b0 < std::min(n, endBlock * kBlockScans); b0 += kBlockScans) {
        const int64_t scans = std::min<int64_t>(kBlockScans, n - b0);
        const int16_t* block = raw + b0 * nch;
        if (!scratch) {
            convertBlock(dst + b0, n, block, nch, scans, cal, avx2);
            continue;
        }
        convertBlock(scratch, kBlockScans, block, nch, scans, cal, avx2);
        for (int32_t c = 0; c < nch; ++c) streamCopy(dst + c * int64_t{n} + b0, scratch + c * kBlockScans, scans);
    }
}

// One core converts well below the memory's pace, so a long conversion is shared out: the
// caller's thread and up to seven helpers of the process's pool take runs of blocks in turn
// until none is left (a helper that joins late leaves its share to the others). Every value is
// computed by the same code whichever thread takes its block, so the result does not depend on
// the split. Short conversions stay on the caller's thread, and so does everything when the pool
// has no helper to lend.
constexpr int64_t kValuesPerThread = int64_t{1} << 20;
constexpr int64_t kBlocksPerTurn = 32;

struct SharedConversion {
    float* dst;
    const int16_t* raw;
    int32_t nch;
    int64_t n;
    const float* cal;
    bool stream, avx2;
    int64_t blocks;
    std::atomic<int64_t> next{0};

    void work() {
        std::unique_ptr<float[]> scratch;
        if (stream) scratch.reset(new (std::nothrow) float[size_t(nch) * kBlockScans]);
        for (;;) {
            const int64_t first = next.fetch_add(kBlocksPerTurn, std::memory_order_relaxed);
            if (first >= blocks) break;
            convertBlocks(dst, raw, nch, n, cal, first, std::min(blocks, first + kBlocksPerTurn),
                          scratch.get(), avx2);
        }
        if (scratch) _mm_sfence();
    }
};

unsigned conversionHelpers(int64_t values) {
    return static_cast<unsigned>(std::clamp<int64_t>(values / kValuesPerThread - 1, 0, qv::kernel::spareCores()));
}

}  // namespace

extern "C" int32_t M_Change(float* dst, const int16_t* raw, int32_t nchArg, int32_t n,
                            const float* cal) {
    const int32_t nch = static_cast<int16_t>(static_cast<uint16_t>(nchArg));
    if (n <= 0 || nch <= 0) return n;
    static const bool avx2 = haveAvx2();
    static const int64_t llc = lastLevelCacheBytes();
    const int64_t values = int64_t{nch} * n;
    SharedConversion job{dst, raw, nch, n, cal, avx2 && values * int64_t{sizeof(float)} > llc, avx2,
                         (n + kBlockScans - 1) / kBlockScans};
    const int64_t turns = (job.blocks + kBlocksPerTurn - 1) / kBlocksPerTurn;
    const auto helpers = static_cast<unsigned>(std::min<int64_t>(conversionHelpers(values), turns - 1));
    auto work = [&job] { job.work(); };
    qv::kernel::shareWork(helpers, work);
    return n;
}
