// The sample readers: stretches of scans from the data file into the shared raw buffer, their
// conversion to engineering values with the recording's (or the board's) calibration, and the
// display trace of a whole recording.
#include <algorithm>
#include <array>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <atomic>
#include <cmath>
#include <new>

#include "app/common/TrelmImports.h"
#include "app/recording/CKdat.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Paths.h"

namespace qv {

namespace {

std::atomic<int64_t> gRawReads{0};

// Scans a trace reads at a time, whatever its stretches are: bounds the memory of a trace.
constexpr int64_t kTraceChunkWords = int64_t{1} << 20;

kernel::BinaryFile openForReading(const std::string& path) {
    kernel::BinaryFile f;
    if (path.empty() || !kernel::isRegularFile(path)) basic::raiseError(basic::errFileNotFound);
    if (!f.open(path)) basic::raiseError(75, "Path/File access error: " + f.error());
    return f;
}

void growRaw(int64_t words) {
    if (static_cast<int64_t>(RawSampleBuffer.size()) >= words) return;
    try {
        std::vector<int16_t>(static_cast<size_t>(words), 0).swap(RawSampleBuffer);
    } catch (const std::bad_alloc&) {
        basic::raiseError(basic::errOutOfMemory);
    }
}

void resize(std::vector<int16_t>& v, int64_t words) {
    try {
        std::vector<int16_t>(static_cast<size_t>(words), 0).swap(v);
    } catch (const std::bad_alloc&) {
        basic::raiseError(basic::errOutOfMemory);
    }
}

void checkCount(int64_t count) {
    if (count < 1) basic::raiseError(basic::errSubscript);
}

// The largest and smallest word of each of CH channels over `scans` scans, folded into hi and
// lo. The channel count is fixed at compile time so the loop runs over whole vector registers.
template <int CH>
void rawExtremes(const int16_t* raw, int32_t scans, int16_t* hiOut, int16_t* loOut) {
    int16_t hi[CH], lo[CH];
    for (int c = 0; c < CH; ++c) {
        hi[c] = hiOut[c];
        lo[c] = loOut[c];
    }
#if defined(__SSE2__)
    if constexpr (CH % 8 == 0) {
        // Eight channels to a register: a scan is CH / 8 loads.
        constexpr int kRegs = CH / 8;
        __m128i vhi[kRegs], vlo[kRegs];
        for (int r = 0; r < kRegs; ++r) {
            vhi[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hi + 8 * r));
            vlo[r] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lo + 8 * r));
        }
        for (int32_t i = 0; i < scans; ++i, raw += CH)
            for (int r = 0; r < kRegs; ++r) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raw + 8 * r));
                vhi[r] = _mm_max_epi16(vhi[r], v);
                vlo[r] = _mm_min_epi16(vlo[r], v);
            }
        for (int r = 0; r < kRegs; ++r) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(hi + 8 * r), vhi[r]);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(lo + 8 * r), vlo[r]);
        }
    } else
#endif
    {
        for (int32_t i = 0; i < scans; ++i, raw += CH)
            for (int c = 0; c < CH; ++c) {
                hi[c] = std::max(hi[c], raw[c]);
                lo[c] = std::min(lo[c], raw[c]);
            }
    }
    for (int c = 0; c < CH; ++c) {
        hiOut[c] = hi[c];
        loOut[c] = lo[c];
    }
}

using RawExtremes = void (*)(const int16_t*, int32_t, int16_t*, int16_t*);
template <size_t... I>
constexpr std::array<RawExtremes, sizeof...(I) + 1> rawExtremesTable(std::index_sequence<I...>) {
    return {nullptr, &rawExtremes<static_cast<int>(I) + 1>...};
}
// Indexed by the channel count, 1..32.
constexpr auto kRawExtremes = rawExtremesTable(std::make_index_sequence<32>());

}  // namespace

int64_t CKdat::RawReadCount() { return gRawReads.load(); }

int32_t CKdat::WholeScansIn(const std::string& kdatFile, int32_t ch) {
    if (ch < 1 || kdatFile.empty() || !kernel::isRegularFile(kdatFile)) return INT32_MAX;
    const uint64_t scans = openForReading(kdatFile).size() / (2u * static_cast<uint64_t>(ch));
    return scans > INT32_MAX ? INT32_MAX : static_cast<int32_t>(scans);
}

int32_t CKdat::checkedChannels() const {
    const int32_t ch = P.wCh;
    const int32_t first = P.Condition.lStartCH;
    if (ch < 1 || ch > kChannels || first < 1 || first > kChannels || first - 1 + ch > kChannels)
        basic::raiseError(basic::errSubscript, "チャンネルの範囲が正しくありません。");
    return ch;
}

const float* CKdat::conversionRecords() const {
    // Each channel converts with the record of its own slot: the first channel of a scan is
    // slot lStartCH - 1.
    const CalRecordArray& records = GetUseCal() ? CalRecords_ : PresetCalRecords_;
    return &records[static_cast<size_t>(P.Condition.lStartCH - 1)].EU_HI;
}

void CKdat::readScans(int64_t start, int64_t count, std::vector<int16_t>* through) {
    const int32_t ch = checkedChannels();
    checkCount(count);
    if (start < 0) basic::raiseError(63, "Bad record number");
    const int64_t words = count * ch;
    if (words > (int64_t{1} << 40)) basic::raiseError(basic::errOutOfMemory);
    kernel::BinaryFile f = openForReading(strKdatFile_);
    growRaw(words);
    const uint64_t offset = static_cast<uint64_t>(start) * static_cast<uint64_t>(ch) * 2u;
    const size_t bytes = static_cast<size_t>(words) * sizeof(int16_t);
    // What lies past the end of the file reads as 0.
    if (through) {
        resize(*through, words);
        f.readAt(offset, through->data(), bytes);
        std::copy(through->begin(), through->end(), RawSampleBuffer.begin());
    } else {
        f.readAt(offset, RawSampleBuffer.data(), bytes);
    }
    ++gRawReads;
}

void CKdat::GetFileData_Rec(int32_t start, int32_t count) { readScans(start, count, nullptr); }

void CKdat::GetFileData_Point(int32_t start, int32_t count) { readScans(start, count, &BUFF_READ_); }

void CKdat::GetFileData_Unit(int32_t frame) {
    kernel::BinaryFile data;
    readFrame(frame, data);
}

void CKdat::readFrame(int32_t frame, kernel::BinaryFile& data) {
    const int32_t ch = checkedChannels();
    checkCount(P.nSample);
    if (frame < 0) basic::raiseError(63, "Bad record number");
    const int64_t frameWords = int64_t{P.nSample} * ch;
    if (static_cast<int64_t>(BUFF_UNIT_.size()) != frameWords * 10) resize(BUFF_UNIT_, frameWords * 10);
    if (!data.isOpen()) data = openForReading(strKdatFile_);
    growRaw(static_cast<int64_t>(BUFF_UNIT_.size()));
    // A read at the end of the file leaves zeros, never an earlier read's words, behind it.
    data.readAt(static_cast<uint64_t>(frame) * static_cast<uint64_t>(frameWords) * 2u, BUFF_UNIT_.data(),
                BUFF_UNIT_.size() * sizeof(int16_t));
    std::copy_n(BUFF_UNIT_.begin(), frameWords, RawSampleBuffer.begin());
    ++gRawReads;
}

// ---- loads ----

void CKdat::LoadWave_Point(int32_t start, int32_t count) {
    const int32_t ch = checkedChannels();
    checkCount(count);
    BUFF_POINT_.Redim(ch, count);
    GetFileData_Point(start, count);
    Trelm::M_Change(BUFF_POINT_.Channel(0), RawSampleBuffer.data(), ch, count, conversionRecords());
}

void CKdat::LoadWave_Frame(int32_t frame) {
    kernel::BinaryFile data;
    loadFrame(frame, data);
}

void CKdat::loadFrame(int32_t frame, kernel::BinaryFile& data) {
    const int32_t ch = checkedChannels();
    checkCount(P.nSample);
    BUFF_FRAME_.Redim(ch, P.nSample);
    readFrame(frame, data);
    Trelm::M_Change(BUFF_FRAME_.Channel(0), RawSampleBuffer.data(), ch, P.nSample, conversionRecords());
}

void CKdat::LoadWave_Sweep(int32_t start) {
    const int32_t ch = checkedChannels();
    const int32_t w = P.lSweepPoint;
    if (w < 0 || w == INT32_MAX) basic::raiseError(basic::errSubscript);
    BUFF_SWEEP_.Redim(ch, w + 1);
    std::vector<float> scratch(static_cast<size_t>(ch));
    if (w == 0) return;

    // Scans at..at+len-1 of the window, converted in BUFF_FRAME and copied into the sweep.
    auto piece = [&](int32_t at, int32_t len) {
        if (BUFF_FRAME_.Points() != len || BUFF_FRAME_.Channels() != ch) BUFF_FRAME_.Redim(ch, len);
        readScans(int64_t{start} + at, len, nullptr);
        Trelm::M_Change(BUFF_FRAME_.Channel(0), RawSampleBuffer.data(), ch, len, conversionRecords());
        for (int32_t c = 0; c < ch; ++c)
            std::copy_n(BUFF_FRAME_.Channel(c), len, BUFF_SWEEP_.Channel(c) + at);
    };
    if (w < 10000) {
        piece(0, w);
    } else {
        // Ten chunks; when the window is not a multiple of ten the last one takes the rest.
        const int32_t c = basic::roundToInt32(w / 10.0);
        for (int32_t i = 0; i < 9; ++i) piece(i * c, c);
        piece(9 * c, w - 9 * c);
    }

    if (int64_t{start} + w == P.PTotal) {
        for (int32_t c = 0; c < ch; ++c) BUFF_SWEEP_(w, c) = BUFF_SWEEP_(w - 1, c);
    } else {
        readScans(int64_t{start} + w, 1, nullptr);
        Trelm::M_Change(scratch.data(), RawSampleBuffer.data(), ch, 1, conversionRecords());
        for (int32_t c = 0; c < ch; ++c) BUFF_SWEEP_(w, c) = scratch[static_cast<size_t>(c)];
    }
}

// ---- display trace ----

void CKdat::GetWaveTrans(int32_t n, WaveArray& out) {
    const int32_t ch = checkedChannels();
    checkCount(n);
    out.Redim(ch, n);
    if (P.PTotal > 1000000)
        GetWaveTrans_Point(n, out);
    else
        GetWaveTrans_Frame(n, out);
}

void CKdat::GetWaveTrans_Frame(int32_t n, WaveArray& out) {
    const int32_t ch = checkedChannels();
    const int32_t total = P.PTotal;
    const int32_t ns = P.nSample;
    checkCount(total);
    checkCount(ns);
    WaveArray recording;
    recording.Redim(ch, total);
    std::vector<float> scratch(static_cast<size_t>(ns));
    kernel::BinaryFile data;  // opened at the first frame, read by all of them
    // Frames fill the recording array up to PTotal and never past it.
    for (int32_t f = 0; f < P.NFrame; ++f) {
        const int64_t first = int64_t{f} * ns;
        if (first >= total) break;
        const int32_t len = static_cast<int32_t>(std::min<int64_t>(ns, total - first));
        loadFrame(f, data);
        for (int32_t c = 0; c < ch; ++c) {
            Trelm::S_ADDC(scratch.data(), BUFF_FRAME_.Channel(c), 0.0f, len);
            Trelm::S_ADDC(recording.Channel(c) + first, scratch.data(), 0.0f, len);
        }
    }
    for (int32_t c = 0; c < ch; ++c) Trelm::S_TRANS(out.Channel(c), recording.Channel(c), 0, total, n);
}

void CKdat::GetWaveTrans_Point(int32_t n, WaveArray& out) {
    const int32_t ch = checkedChannels();
    const int32_t pairs = n / 2;
    if (pairs == 0) return;  // a single point stays 0
    const int64_t total = P.PTotal;
    const int64_t s = basic::roundToInt32(2.0 * static_cast<double>(total) / n);
    checkCount(s);
    const float* records = conversionRecords();

    // The conversion is monotone in the raw word for a channel with a non-zero Cal_AD, so the
    // stretch's extremes are the conversions of its extreme words. A channel without one
    // (infinite or undefined values) has every word converted, as the library orders them.
    std::vector<bool> exact(static_cast<size_t>(ch));
    bool anyExact = false;
    for (int32_t c = 0; c < ch; ++c) {
        const float* r = records + 4 * c;
        const bool finite = std::isfinite(r[0]) && std::isfinite(r[1]) && std::isfinite(r[2]) &&
                            std::isfinite(r[3]);
        exact[static_cast<size_t>(c)] = !finite || r[2] == 0.0f;
        anyExact = anyExact || exact[static_cast<size_t>(c)];
    }
    const int64_t chunkScans = std::max<int64_t>(1, kTraceChunkWords / ch);
    std::vector<int16_t> hiRaw(static_cast<size_t>(ch)), loRaw(static_cast<size_t>(ch));
    std::vector<float> hiExact(static_cast<size_t>(ch)), loExact(static_cast<size_t>(ch));
    std::vector<int16_t> pairRaw(static_cast<size_t>(ch) * 2);
    std::vector<float> pairValues(static_cast<size_t>(ch) * 2);
    WaveArray converted;
    std::vector<float> folded;

    for (int32_t k = 0; k < pairs; ++k) {
        if (k % 1000 == 0) forms::DoEvents();
        const int64_t p = int64_t{k} * s;
        if (p >= total) break;  // later pairs stay 0
        const int64_t end = k == pairs - 1 ? total : std::min(p + s, total);
        std::fill(hiRaw.begin(), hiRaw.end(), INT16_MIN);
        std::fill(loRaw.begin(), loRaw.end(), INT16_MAX);
        for (int64_t at = p; at < end; at += chunkScans) {
            const int32_t len = static_cast<int32_t>(std::min(chunkScans, end - at));
            readScans(at, len, nullptr);
            kRawExtremes[ch](RawSampleBuffer.data(), len, hiRaw.data(), loRaw.data());
            if (!anyExact) continue;
            converted.Redim(ch, len);
            Trelm::M_Change(converted.Channel(0), RawSampleBuffer.data(), ch, len, records);
            folded.resize(static_cast<size_t>(len) + 1);
            for (int32_t c = 0; c < ch; ++c) {
                if (!exact[static_cast<size_t>(c)]) continue;
                float& hi = hiExact[static_cast<size_t>(c)];
                float& lo = loExact[static_cast<size_t>(c)];
                if (at == p) {
                    Trelm::S_MAXMIN(&hi, &lo, converted.Channel(c), len);
                    continue;
                }
                // The running extreme goes first, so the scan goes on as over one stretch.
                float unused;
                std::copy_n(converted.Channel(c), len, folded.begin() + 1);
                folded[0] = hi;
                Trelm::S_MAXMIN(&hi, &unused, folded.data(), len + 1);
                folded[0] = lo;
                Trelm::S_MAXMIN(&unused, &lo, folded.data(), len + 1);
            }
        }
        for (int32_t c = 0; c < ch; ++c) {
            pairRaw[static_cast<size_t>(c)] = hiRaw[static_cast<size_t>(c)];
            pairRaw[static_cast<size_t>(ch + c)] = loRaw[static_cast<size_t>(c)];
        }
        Trelm::M_Change(pairValues.data(), pairRaw.data(), ch, 2, records);
        for (int32_t c = 0; c < ch; ++c) {
            const size_t i = static_cast<size_t>(c);
            float hi, lo;
            if (exact[i]) {
                hi = hiExact[i];
                lo = loExact[i];
            } else {
                const float a = pairValues[i * 2];      // the largest word converted
                const float b = pairValues[i * 2 + 1];  // the smallest word converted
                hi = std::max(a, b);
                lo = std::min(a, b);
            }
            out(2 * k, c) = hi;
            out(2 * k + 1, c) = lo;
        }
    }
}

}  // namespace qv
