// The windowed read of the recording: one display window of scans from the data file,
// converted by the library in one call per chunk and copied channel by channel into the display
// array. Only the window is ever in memory.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "app/common/IniSet.h"
#include "app/common/IniSet_Options.h"
#include "app/common/TrelmImports.h"
#include "app/main/Acqisition.h"
#include "app/main/StagedRecording.h"
#include "platform/basic/Basic.h"

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

}  // namespace

void ReadWaveChunk(int32_t& start, int32_t& count) {
    const int32_t wCh = GAcqParam.wCh;
    if (wCh <= 0 || count <= 0) return;
    LoadRawSamples(start, count);
    ensureRawWords(static_cast<int64_t>(wCh) * count);
    const CalRecordArray& records = (!IsModeRecalc() && IsUseCal()) ? GCalRecEU : GCalRecVolt;
    if (ConvWaveArray.Channels() != wCh || ConvWaveArray.Points() != count)
        ConvWaveArray.Redim(wCh, count);
    Trelm::M_Change(ConvWaveArray.Channel(0), RawSampleBuffer.data(), wCh, count,
                    channelRecords(records));
}

void ReadWaveWindow(int32_t& start, int32_t& count) {
    if (GAcqParam.PTotal < 1 || GAcqParam.lSweepPoint == 0) return;
    if (count == kOnePage) count = GAcqParam.lSweepPoint;
    if (count < 0) basic::raiseError(basic::errSubscript);
    if (count == std::numeric_limits<int32_t>::max()) basic::raiseError(basic::errOverflow);
    const int32_t wCh = GAcqParam.wCh;
    if (wCh <= 0) return;
    DispWaveArray.Redim(wCh, count + 1);

    // Scans at or past the end of the recording are not read: a window that runs past it holds
    // its valid points and zeros after them.
    const int64_t left = static_cast<int64_t>(GAcqParam.PTotal) - start;
    const int32_t valid = start < 0 ? 0 : static_cast<int32_t>(std::clamp<int64_t>(left, 0, count));

    // Ten chunks from kChunkedFrom points on, the last taking what the other nine leave.
    const int32_t chunks = count < kChunkedFrom ? 1 : 10;
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
