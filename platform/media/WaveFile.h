#pragma once

#include "platform/media/MediaError.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qv::media {

// The 18-byte format record of a WAVE file, field by field.
struct WaveFormat {
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0; // 0 when the "fmt " chunk is only 16 bytes
};

struct WaveInfo {
    WaveFormat format;
    uint32_t formatChunkSize = 0; // the whole "fmt " chunk, of which at most 18 bytes are read
    uint32_t dataSize = 0;
    uint64_t dataOffset = 0;      // file offset of the first sample byte (44 in a canonical file)
};

// Reads the format and the data placement of a RIFF "WAVE" file: the "RIFF" chunk of form
// "WAVE" is searched from the start of the file, "fmt " forward inside it, then "data" forward
// from the end of "fmt " (so a "data" chunk lying before "fmt " is not found). Fails on a
// "fmt " chunk shorter than 16 bytes and on any chunk that reaches past its parent or the file.
std::optional<WaveInfo> readWaveInfo(const std::string& path, MediaError& error);

} // namespace qv::media
