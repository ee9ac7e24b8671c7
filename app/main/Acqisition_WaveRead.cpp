// The windowed read of the recording: one display window of scans from the data file,
// converted by the library in one call per chunk (or per piece of a long window) and copied
// channel by channel into the display array. Only the window is ever in memory.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/TrelmImports.h"
#include "app/common/modFile.h"
#include "app/main/Acqisition.h"
#include "app/main/StagedRecording.h"
#include "platform/basic/Basic.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Workers.h"

namespace qv {

namespace {

// From this many points a window is read in ten chunks, so the raw and conversion buffers hold
// a tenth of it.
constexpr int32_t kChunkedFrom = 10000;

// The records of the recording's channels in one of the two arrays: record lStartCH - 1 + c
// for channel position c. A channel range that does not fit the 32 records is refused before
// the library reads past them.
const float* channelRecords(const CalRecordArray& records) {
    const int32_t first = GAcqCondition.lStartCH - 1;
    if (first < 0 || first + GAcqParam.wCh > static_cast<int32_t>(records.size()))
        basic::raiseError(basic::errSubscript);
    return &records[static_cast<size_t>(first)].EU_HI;
}

// The raw buffer holds at least `words` words; the part a missing data file leaves unread is 0.
void ensureRawWords(int64_t words) {
    if (RawSampleBuffer.size() < static_cast<size_t>(words))
        RawSampleBuffer.resize(static_cast<size_t>(words), 0);
}

// The records a chunk is converted with.
const float* chunkRecords() {
    return channelRecords((!IsModeRecalc() && IsUseCal()) ? GCalRecEU : GCalRecVolt);
}

// A long window goes in pieces small enough that a piece's words and floats stay in the cache
// of the core that takes it (32 channels: 256 KB and 512 KB): the file's words are read once and
// each display value written once, with no page-sized buffer in between. This thread and the
// process's helper threads take pieces in turn; each piece is read, converted by the library and
// copied to the channels' runs exactly as a chunk is, so the values are those of the chunk road.
constexpr int32_t kPieceScans = 4096;

// Reads scans start .. start + valid - 1 into points 0 .. valid - 1 of the display array (already
// dimensioned). Returns false, having changed nothing, when the data file cannot be opened or
// the buffers cannot be had: the chunk road then reads (and reports) as it always did.
bool readWindowInPieces(int32_t start, int32_t valid) {
    const int32_t wCh = GAcqParam.wCh;
    const std::string path = FindFile(GstrKdatFile, true);
    kernel::BinaryFile file;
    if (path.empty() || !file.open(path)) return false;
    const float* records = chunkRecords();
    std::vector<float*> runs(static_cast<size_t>(wCh));
    for (int32_t c = 0; c < wCh; ++c) runs[static_cast<size_t>(c)] = DispWaveArray.Channel(c);
    const int64_t pieces = (valid + int64_t{kPieceScans} - 1) / kPieceScans;
    const unsigned readers = static_cast<unsigned>(
        std::clamp<int64_t>(pieces / 4, 1, int64_t{kernel::spareCores()} + 1));
    struct Buffers {
        std::vector<int16_t> raw;
        std::vector<float> conv;
    };
    std::vector<Buffers> buffers;
    try {
        buffers.resize(readers);
        for (Buffers& b : buffers) {
            b.raw.resize(static_cast<size_t>(wCh) * kPieceScans);
            b.conv.resize(static_cast<size_t>(wCh) * kPieceScans);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    // Bound on this thread first: the readers only call what is bound already.
    Trelm::M_Change(buffers[0].conv.data(), buffers[0].raw.data(), wCh, 0, records);
    Trelm::S_ADDC(buffers[0].conv.data(), buffers[0].conv.data(), 0.0f, 0);
    std::atomic<int64_t> next{0};
    std::atomic<unsigned> taken{0};
    auto work = [&] {
        Buffers& b = buffers[taken.fetch_add(1, std::memory_order_relaxed)];
        for (int64_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < pieces;) {
            const int64_t s0 = k * kPieceScans;
            const auto n = static_cast<int32_t>(std::min<int64_t>(kPieceScans, valid - s0));
            file.readAt((static_cast<uint64_t>(start) + static_cast<uint64_t>(s0)) * static_cast<uint64_t>(wCh) * 2u,
                        b.raw.data(), static_cast<size_t>(n) * static_cast<size_t>(wCh) * sizeof(int16_t));
            Trelm::M_Change(b.conv.data(), b.raw.data(), wCh, n, records);
            for (int32_t c = 0; c < wCh; ++c)
                Trelm::S_ADDC(runs[static_cast<size_t>(c)] + s0, b.conv.data() + static_cast<size_t>(c) * n, 0.0f, n);
        }
    };
    // Each taker of the work (this thread and the pool's helpers) has buffers of its own.
    kernel::shareWork(readers - 1, work);
    return true;
}

}  // namespace

void ReadWaveChunk(int32_t& start, int32_t& count) {
    const int32_t wCh = GAcqParam.wCh;
    if (wCh <= 0 || count <= 0) return;
    LoadRawSamples(start, count);
    ensureRawWords(static_cast<int64_t>(wCh) * count);
    if (ConvWaveArray.Channels() != wCh || ConvWaveArray.Points() != count)
        ConvWaveArray.Redim(wCh, count);
    Trelm::M_Change(ConvWaveArray.Channel(0), RawSampleBuffer.data(), wCh, count, chunkRecords());
}

void ReadWaveWindow(int32_t& start, int32_t& count) {
    if (GAcqParam.PTotal < 1 || GAcqParam.lSweepPoint == 0) return;
    if (count == kOnePage) count = GAcqParam.lSweepPoint;
    if (count < 0) basic::raiseError(basic::errSubscript);
    if (count == std::numeric_limits<int32_t>::max()) basic::raiseError(basic::errOverflow);
    const int32_t wCh = GAcqParam.wCh;
    if (wCh <= 0) return;

    // Scans at or past the end of the recording are not read: a window that runs past it holds
    // its valid points and zeros after them.
    const int64_t left = static_cast<int64_t>(GAcqParam.PTotal) - start;
    const int32_t valid = start < 0 ? 0 : static_cast<int32_t>(std::clamp<int64_t>(left, 0, count));

    // Ten chunks from kChunkedFrom points on, the last taking what the other nine leave; a
    // long window is read in pieces instead when it can be. A window of the same shape as the
    // last (every page step) is then not cleared whole: the pieces overwrite points
    // 0 .. valid - 1 and only the rest is zeroed.
    bool pieces = false;
    if (count >= kChunkedFrom && valid > 0) {
        if (DispWaveArray.Channels() == wCh && DispWaveArray.Points() == count + 1) {
            for (int32_t c = 0; c < wCh; ++c)
                std::fill(DispWaveArray.Channel(c) + valid, DispWaveArray.Channel(c) + count + 1, 0.0f);
        } else {
            DispWaveArray.Redim(wCh, count + 1);
        }
        try {
            pieces = readWindowInPieces(start, valid);
        } catch (...) {
            DispWaveArray.Redim(wCh, count + 1);  // as the chunk road leaves it on that error
            throw;
        }
    }
    if (!pieces) DispWaveArray.Redim(wCh, count + 1);
    const int32_t chunks = pieces ? 0 : count < kChunkedFrom ? 1 : 10;
    const int32_t chunk = chunks == 1 ? count : basic::CLng(count / 10.0);
    for (int32_t k = 0; k < chunks; ++k) {
        const int32_t offset = k * chunk;
        const int32_t length = k == chunks - 1 ? count - offset : chunk;
        int32_t n = std::clamp(valid - offset, 0, length);
        if (n == 0) break;
        int32_t from = start + offset;
        ReadWaveChunk(from, n);
        for (int32_t c = 0; c < wCh; ++c)
            Trelm::S_ADDC(DispWaveArray.Channel(c) + offset, ConvWaveArray.Channel(c), 0.0f, n);
    }

    // The closing point carries each trace to the right edge: the first scan of the next page,
    // or on the last page (and in trigger recordings) the last point again.
    if (count == 0 || valid == 0) return;
    if (valid < count || static_cast<int64_t>(start) + count == GAcqParam.PTotal || IsTriggerSetting()) {
        for (int32_t c = 0; c < wCh; ++c) DispWaveArray(count, c) = DispWaveArray(valid - 1, c);
        return;
    }
    LoadRawSamples(start + count, 1);
    ensureRawWords(wCh);
    std::vector<float> closing(static_cast<size_t>(wCh));
    Trelm::M_Change(closing.data(), RawSampleBuffer.data(), wCh, 1,
                    channelRecords(IsUseCal() ? GCalRecEU : GCalRecVolt));
    for (int32_t c = 0; c < wCh; ++c) DispWaveArray(count, c) = closing[static_cast<size_t>(c)];
}

void Acqisition::LoadWave_Sweep(int32_t& start, int32_t& count) { ReadWaveWindow(start, count); }
void Acqisition::LoadWave_Rec(int32_t& start, int32_t& count) { ReadWaveChunk(start, count); }

void Acqisition::LoadWave_Sweep(int32_t& start) {
    int32_t count = kOnePage;
    LoadWave_Sweep(start, count);
}

}  // namespace qv
