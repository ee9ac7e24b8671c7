#pragma once

#include "platform/media/MediaError.h"
#include "platform/media/PackedDib.h"
#include "platform/media/RiffFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qv::media {

// The "avih" main header.
struct AviMainHeader {
    uint32_t dwMicroSecPerFrame = 0;
    uint32_t dwMaxBytesPerSec = 0;
    uint32_t dwPaddingGranularity = 0;
    uint32_t dwFlags = 0;
    uint32_t dwTotalFrames = 0; // of the first RIFF part only in files with extension parts
    uint32_t dwInitialFrames = 0;
    uint32_t dwStreams = 0;
    uint32_t dwSuggestedBufferSize = 0;
    uint32_t dwWidth = 0;
    uint32_t dwHeight = 0;
};

// The 108-byte file information record, laid out as callers receive it.
struct AviFileInfo {
    uint32_t dwMaxBytesPerSec = 0;
    uint32_t dwFlags = 0;
    uint32_t dwCaps = 0;
    uint32_t dwStreams = 0;
    uint32_t dwSuggestedBufferSize = 0;
    uint32_t dwWidth = 0;
    uint32_t dwHeight = 0;
    uint32_t dwScale = 0; // dwScale / dwRate = seconds per frame
    uint32_t dwRate = 0;
    uint32_t dwLength = 0; // in units of dwScale / dwRate
    uint32_t dwEditCount = 0;
    char szFileType[64] = {};
};
static_assert(sizeof(AviFileInfo) == 108);

constexpr uint32_t kAviCapsCanRead = 0x1;

// Where one chunk of a stream lies: its data (after the 8-byte chunk header) and size.
// A zero size is a dropped frame that repeats the picture before it.
struct AviChunkRef {
    uint64_t offset = 0;
    uint32_t size = 0;
    bool keyFrame = false;
};

enum class AviIndexSource {
    OpenDml, // "indx" super indexes and their "ix##" chunk indexes (files in several RIFF parts)
    Idx1,    // the "idx1" chunk of a one-part file
    Scan,    // no usable index: the "movi" lists walked chunk by chunk
};

struct AviStream {
    // "strh"
    FourCC fccType = 0; // "vids", "auds", ...
    FourCC fccHandler = 0;
    uint32_t dwFlags = 0;
    uint16_t wPriority = 0;
    uint16_t wLanguage = 0;
    uint32_t dwInitialFrames = 0;
    uint32_t dwScale = 0;
    uint32_t dwRate = 0; // dwRate / dwScale = frames (samples) per second
    uint32_t dwStart = 0;
    uint32_t dwLength = 0;
    uint32_t dwSuggestedBufferSize = 0;
    uint32_t dwQuality = 0;
    uint32_t dwSampleSize = 0;

    std::vector<uint8_t> format; // "strf" bytes as they are
    std::string name;            // "strn", empty when absent
    std::vector<AviChunkRef> chunks; // one per frame for video streams

    bool isVideo() const { return fccType == fourCC("vids"); }
    bool isAudio() const { return fccType == fourCC("auds"); }
    // The picture format of a video stream; empty when "strf" is too short to hold one.
    std::optional<BITMAPINFOHEADER> bitmapInfo() const;
    // Seconds per frame from dwScale / dwRate; 0 when dwRate is 0.
    double secondsPerFrame() const;
};

// An AVI file's headers and index, read once and checked: every chunk the index names lies
// inside a "movi" list of the file. Copies share the file and the parsed headers.
class AviFile {
public:
    static std::optional<AviFile> open(const std::string& path, MediaError& error);

    const AviMainHeader& mainHeader() const { return parsed_->main; }
    const std::vector<AviStream>& streams() const { return parsed_->streams; }
    AviIndexSource indexSource() const { return parsed_->source; }
    // Frames of the whole file: the extended header's count when there is one, else "avih"'s.
    uint32_t totalFrames() const;

    // The file information record: dwScale = microseconds per frame and dwRate = 1000000 (from
    // the first video stream's dwScale / dwRate when the main header gives no frame time), and
    // dwLength = the longest stream in those units.
    AviFileInfo fileInfo() const;

    // The stream to show: the first video stream, replaced by any later one with a strictly
    // smaller priority. -1 when there is no video stream.
    int preferredVideoStream() const;

    // Number of frames (chunks) the index lists for a stream; 0 for a stream that does not exist.
    size_t frameCount(int stream) const;

    // Reads the data of chunk `index` of stream s and checks that the chunk header found there
    // is the one the index names.
    bool readChunk(int stream, size_t index, std::vector<uint8_t>& out, MediaError& error) const;

    const RiffFile& file() const { return file_; }

private:
    struct Parsed {
        AviMainHeader main;
        uint32_t odmlTotalFrames = 0;
        bool hasOdmlHeader = false;
        std::vector<AviStream> streams;
        AviIndexSource source = AviIndexSource::Scan;
    };
    AviFile(RiffFile f, std::shared_ptr<const Parsed> p) : file_(std::move(f)), parsed_(std::move(p)) {}

    RiffFile file_;
    std::shared_ptr<const Parsed> parsed_;
    friend class AviParser;
};

} // namespace qv::media
