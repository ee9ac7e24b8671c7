#include "platform/media/WaveFile.h"

#include "platform/media/RiffFile.h"

#include <algorithm>

namespace qv::media {

std::optional<WaveInfo> readWaveInfo(const std::string& path, MediaError& error)
{
    auto file = RiffFile::open(path, error);
    if (!file)
        return std::nullopt;
    auto riff = file->find(0, file->size(), fourCC("RIFF"), fourCC("WAVE"), error);
    if (!riff) {
        if (error.kind == MediaErrorKind::NotFound)
            error = {MediaErrorKind::NotThisFormat, "\"" + path + "\" is not a RIFF WAVE file"};
        return std::nullopt;
    }
    auto fmt = file->find(riff->listBegin(), riff->dataEnd(), fourCC("fmt "), 0, error);
    if (!fmt)
        return std::nullopt;
    if (fmt->size < 16) {
        error = {MediaErrorKind::Inconsistent, "the \"fmt \" chunk has " + std::to_string(fmt->size) +
                                                   " bytes; a WAVE format needs at least 16"};
        return std::nullopt;
    }
    // The record holds 18 bytes; a longer (extensible) format is read only that far.
    uint8_t rec[18] = {};
    if (!file->read(fmt->dataOffset(), rec, std::min<uint32_t>(fmt->size, sizeof rec), error))
        return std::nullopt;
    auto data = file->find(RiffFile::next(*fmt, riff->dataEnd()), riff->dataEnd(), fourCC("data"), 0, error);
    if (!data)
        return std::nullopt;

    WaveInfo info;
    info.format.wFormatTag = le16(rec);
    info.format.nChannels = le16(rec + 2);
    info.format.nSamplesPerSec = le32(rec + 4);
    info.format.nAvgBytesPerSec = le32(rec + 8);
    info.format.nBlockAlign = le16(rec + 12);
    info.format.wBitsPerSample = le16(rec + 14);
    info.format.cbSize = le16(rec + 16);
    info.formatChunkSize = fmt->size;
    info.dataSize = data->size;
    info.dataOffset = data->dataOffset();
    return info;
}

} // namespace qv::media
