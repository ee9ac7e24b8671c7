#pragma once
// Test files written byte by byte: RIFF builders for AVI and WAVE files, uncompressed frames with
// a known colour at every pixel, and a temporary folder per test.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mediatest {

// Little-endian bytes with RIFF chunk nesting.
class Bytes {
public:
    std::vector<uint8_t> b;

    void u8(uint8_t v) { b.push_back(v); }
    void u16(uint16_t v) { u8(static_cast<uint8_t>(v)), u8(static_cast<uint8_t>(v >> 8)); }
    void u32(uint32_t v) { u16(static_cast<uint16_t>(v)), u16(static_cast<uint16_t>(v >> 16)); }
    void u64(uint64_t v) { u32(static_cast<uint32_t>(v)), u32(static_cast<uint32_t>(v >> 32)); }
    void fcc(const char* s)
    {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<uint8_t>(s[i]));
    }
    void raw(const std::vector<uint8_t>& v) { b.insert(b.end(), v.begin(), v.end()); }
    void patch32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    }
    void patch64(size_t at, uint64_t v)
    {
        patch32(at, static_cast<uint32_t>(v));
        patch32(at + 4, static_cast<uint32_t>(v >> 32));
    }
    // Opens a chunk; returns the offset of its size field for end().
    size_t begin(const char* id, const char* form = nullptr)
    {
        fcc(id);
        size_t at = b.size();
        u32(0);
        if (form)
            fcc(form);
        return at;
    }
    // Closes a chunk: sets its size and adds the pad byte of an odd size.
    void end(size_t at)
    {
        auto size = static_cast<uint32_t>(b.size() - at - 4);
        patch32(at, size);
        if (size & 1)
            u8(0);
    }
    void chunk(const char* id, const std::vector<uint8_t>& data)
    {
        size_t at = begin(id);
        raw(data);
        end(at);
    }
};

struct TestStream {
    const char* type = "vids";
    const char* twoCC = "db"; // chunk id suffix: "db" uncompressed video, "dc" compressed, "wb" audio
    uint16_t priority = 0;
    uint32_t scale = 1;
    uint32_t rate = 25;
    std::optional<uint32_t> length; // strh dwLength; the chunk count when unset
    std::vector<uint8_t> format;    // strf
    std::vector<std::vector<uint8_t>> chunks;
    std::string name;
};

enum class IndexKind { Idx1Relative, Idx1Absolute, None, OpenDml };

struct AviLayout {
    uint32_t microSecPerFrame = 40000;
    uint32_t width = 0;
    uint32_t height = 0;
    IndexKind index = IndexKind::Idx1Relative;
    bool recLists = false; // chunks grouped in LIST "rec " per time step
};

// The AVI file; with OpenDML the second half of the chunks goes into a RIFF "AVIX" part and
// each part ends with "ix##" chunk indexes that the streams' "indx" super indexes list.
std::vector<uint8_t> buildAvi(const std::vector<TestStream>& streams, const AviLayout& layout);

// "strf" of a video stream: the 40-byte header, then the colour table.
std::vector<uint8_t> bitmapFormat(int32_t width, int32_t height, uint16_t bits, const char* compression = nullptr,
                                  const std::vector<uint32_t>& table = {});

// Colour of pixel (x, y) (y from the top) of test frame `seed`, 0x00RRGGBB.
uint32_t testColour(int seed, int x, int y);
// An uncompressed 24- or 32-bit frame of testColour pixels, rows bottom-up unless topDown.
std::vector<uint8_t> rawFrame(int width, int height, int bits, int seed, bool topDown = false);

// Videos encoded through libavcodec and written by libavformat's AVI writer, 32 x 16 pixels at
// 25 frames a second, after a silent PCM audio stream. Frame i has two flat halves,
// encodedColour(i, true) on top and encodedColour(i, false) below, so a picture upside down is
// caught. A key frame starts every keyFrameInterval frames (MJPEG frames are all key frames).
// False when this libavcodec has no such encoder or the file could not be written.
enum class VideoCoding { Mjpeg, Mpeg4 };
bool writeEncodedAvi(const std::string& path, VideoCoding coding, int frames, int keyFrameInterval);
uint32_t encodedColour(int frame, bool top);

// A "fmt " chunk body of integer PCM; extraBytes > 0 appends cbSize and that many bytes in all.
std::vector<uint8_t> pcmFormat(uint16_t channels, uint32_t rate, uint16_t bits, size_t extraBytes = 0);

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace mediatest
