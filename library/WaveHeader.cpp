// MMIO_INIT2: the format record and the data placement of a RIFF WAVE file.
#include "library/trelm.h"

#include "library/ExportGuard.h"

#include "platform/kernel/Encoding.h"
#include "platform/media/WaveFile.h"

namespace {

// The format record, zeroed at the start of every call so no field survives from an earlier
// file (a 16-byte "fmt " chunk gives cbSize 0).
constinit qv::media::WaveFormat gFormat{};

}  // namespace

extern "C" {

int32_t MMIO_INIT2(const char* path, int16_t* cbSize, int32_t* nAvgBytesPerSec,
                   int16_t* nBlockAlign, int16_t* nChannels, int32_t* nSamplesPerSec,
                   int16_t* wBitsPerSample, int16_t* wFormatTag, int32_t* dataSize,
                   int32_t* dataOffset) {
    gFormat = {};
    if (!path || !*path) return 0;
    const auto info = trelm::guardedExport(std::optional<qv::media::WaveInfo>{}, [&] {
        qv::media::MediaError error;
        return qv::media::readWaveInfo(qv::kernel::cp932ToUtf8(path), error);
    });
    // The caller's offset is 32 bits: a data chunk beyond that cannot be reported.
    if (!info || info->dataOffset > INT32_MAX) return 0;
    gFormat = info->format;
    *cbSize = static_cast<int16_t>(gFormat.cbSize);
    *nAvgBytesPerSec = static_cast<int32_t>(gFormat.nAvgBytesPerSec);
    *nBlockAlign = static_cast<int16_t>(gFormat.nBlockAlign);
    *nChannels = static_cast<int16_t>(gFormat.nChannels);
    *nSamplesPerSec = static_cast<int32_t>(gFormat.nSamplesPerSec);
    *wBitsPerSample = static_cast<int16_t>(gFormat.wBitsPerSample);
    *wFormatTag = static_cast<int16_t>(gFormat.wFormatTag);
    *dataSize = static_cast<int32_t>(info->dataSize);
    *dataOffset = static_cast<int32_t>(info->dataOffset);
    return 1;
}

void MMIO_INFO_0() {}

}  // extern "C"
