#include "MediaTestFiles.h"

#include "platform/media/AviFile.h"
#include "platform/media/AviFrameDecoder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include <cstdlib>
#include <cstring>


using namespace qv::media;
using namespace mediatest;

namespace {

class AviFrameDecoderTest : public ::testing::Test {
protected:
    TempDir dir;

    std::unique_ptr<AviFrameDecoder> decoderFor(const std::vector<TestStream>& streams, int stream,
                                                const AviLayout& layout = {})
    {
        MediaError e;
        auto avi = AviFile::open(dir.write("f.avi", buildAvi(streams, layout)), e);
        EXPECT_TRUE(avi) << e.text;
        if (!avi)
            return nullptr;
        auto dec = AviFrameDecoder::open(*avi, stream, e);
        EXPECT_TRUE(dec) << e.text;
        return dec;
    }
};

TestStream rawStream(int w, int h, int bits, int frames, bool topDown = false)
{
    TestStream s;
    s.format = bitmapFormat(w, topDown ? -h : h, static_cast<uint16_t>(bits));
    for (int i = 0; i < frames; ++i)
        s.chunks.push_back(rawFrame(w, h, bits, i, topDown));
    return s;
}

void expectPixels(const PackedDib& dib, int seed)
{
    for (int y = 0; y < dib.height(); ++y)
        for (int x = 0; x < dib.width(); ++x)
            ASSERT_EQ(dib.rgbAt(x, y), testColour(seed, x, y)) << "frame " << seed << " at " << x << "," << y;
}

} // namespace

TEST_F(AviFrameDecoderTest, UncompressedFramesComeAsBottomUpDibsWithoutColourTable)
{
    for (int bits : {24, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(bits * 10 + topDown);
            auto dec = decoderFor({rawStream(7, 5, bits, 3, topDown)}, 0);
            ASSERT_TRUE(dec);
            EXPECT_EQ(dec->width(), 7);
            EXPECT_EQ(dec->height(), 5);
            MediaError e;
            auto f = dec->frame(2, e);
            ASSERT_TRUE(f) << e.text;
            BITMAPINFOHEADER h = f->header();
            EXPECT_EQ(h.biSize, 40u);
            EXPECT_EQ(h.biWidth, 7);
            EXPECT_EQ(h.biHeight, 5);
            EXPECT_EQ(h.biBitCount, bits);
            EXPECT_EQ(h.biCompression, 0u);
            EXPECT_EQ(h.biClrUsed, 0u);
            EXPECT_EQ(h.biSizeImage, dibStride(7, bits) * 5);
            EXPECT_EQ(f->pixelOffset(), 40u);
            EXPECT_EQ(f->size(), 40u + h.biSizeImage);
            expectPixels(*f, 2);
            // The bottom row comes first in the bytes.
            const uint8_t* first = f->data() + 40;
            uint32_t c = testColour(2, 0, 4);
            EXPECT_EQ(first[0] | first[1] << 8 | first[2] << 16, static_cast<int>(c));
        }
    }
}

TEST_F(AviFrameDecoderTest, PalettedFramesKeepTheirColourTable)
{
    const std::vector<uint32_t> table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
    TestStream s;
    s.format = bitmapFormat(3, 2, 8, nullptr, table);
    s.chunks.push_back({4, 1, 2, 0, 3, 0, 0, 0}); // bottom row 4 1 2, top row 3 0 0; rows padded to 4
    auto dec = decoderFor({s}, 0);
    ASSERT_TRUE(dec);
    MediaError e;
    auto f = dec->frame(0, e);
    ASSERT_TRUE(f) << e.text;
    EXPECT_EQ(f->bitCount(), 8);
    EXPECT_EQ(f->colourCount(), table.size());
    EXPECT_EQ(f->header().biClrUsed, table.size());
    EXPECT_EQ(f->pixelOffset(), 40u + 4 * table.size());
    EXPECT_EQ(f->rgbAt(0, 1), 0x123456u);
    EXPECT_EQ(f->rgbAt(2, 1), 0x00FF00u);
    EXPECT_EQ(f->rgbAt(0, 0), 0x0000FFu);
    PackedDib wide = toBgrx32(*f);
    EXPECT_EQ(wide.bitCount(), 32);
    EXPECT_EQ(wide.colourCount(), 0u);
    EXPECT_EQ(wide.rgbAt(0, 1), 0x123456u);
    EXPECT_EQ(wide.rgbAt(1, 1), 0xFF0000u);
    EXPECT_EQ(wide.row(1)[3], 0); // unused byte of the pixel word

    // Without its colour table the stream cannot be shown.
    s.format = bitmapFormat(3, 2, 8);
    MediaError e2;
    auto avi = AviFile::open(dir.write("np.avi", buildAvi({s}, {})), e2);
    ASSERT_TRUE(avi);
    EXPECT_FALSE(AviFrameDecoder::open(*avi, 0, e2));
    EXPECT_EQ(e2.kind, MediaErrorKind::Inconsistent);
}

TEST_F(AviFrameDecoderTest, FramesOutsideTheStreamGiveNoFrame)
{
    auto dec = decoderFor({rawStream(4, 4, 24, 3)}, 0);
    ASSERT_TRUE(dec);
    ASSERT_EQ(dec->frameCount(), 3u);
    for (int64_t k : {int64_t{-1}, int64_t{3}, int64_t{1} << 40, INT64_MIN}) {
        MediaError e;
        EXPECT_FALSE(dec->frame(k, e)) << k;
        EXPECT_EQ(e.kind, MediaErrorKind::NotFound);
    }
    MediaError e;
    EXPECT_TRUE(dec->frame(0, e));
}

TEST_F(AviFrameDecoderTest, DroppedFramesRepeatThePictureBefore)
{
    TestStream s = rawStream(4, 2, 24, 5);
    s.chunks[2].clear();
    s.chunks[3].clear();
    auto dec = decoderFor({s}, 0);
    ASSERT_TRUE(dec);
    MediaError e;
    for (int k : {3, 2, 4, 1}) {
        auto f = dec->frame(k, e);
        ASSERT_TRUE(f) << e.text;
        expectPixels(*f, k == 2 || k == 3 ? 1 : k);
    }
    s.chunks[0].clear();
    dec = decoderFor({s}, 0);
    ASSERT_TRUE(dec);
    EXPECT_FALSE(dec->frame(0, e));
}

TEST_F(AviFrameDecoderTest, ShortFramesAndUnknownCodingsAreRefused)
{
    TestStream s = rawStream(4, 3, 24, 2);
    s.chunks[1].resize(s.chunks[1].size() - 1);
    auto dec = decoderFor({s}, 0);
    ASSERT_TRUE(dec);
    MediaError e;
    EXPECT_TRUE(dec->frame(0, e));
    EXPECT_FALSE(dec->frame(1, e));
    EXPECT_EQ(e.kind, MediaErrorKind::Truncated);

    TestStream unknown;
    unknown.twoCC = "dc";
    unknown.format = bitmapFormat(4, 3, 24, "QZQZ");
    unknown.chunks.push_back({1, 2, 3});
    MediaError e2;
    auto avi = AviFile::open(dir.write("u.avi", buildAvi({unknown}, {})), e2);
    ASSERT_TRUE(avi) << e2.text;
    EXPECT_FALSE(AviFrameDecoder::open(*avi, 0, e2));
    EXPECT_EQ(e2.kind, MediaErrorKind::Unsupported);

    TestStream huge = rawStream(4, 3, 24, 1);
    huge.format = bitmapFormat(100000, 100000, 24);
    avi = AviFile::open(dir.write("h.avi", buildAvi({huge}, {})), e2);
    ASSERT_TRUE(avi);
    EXPECT_FALSE(AviFrameDecoder::open(*avi, 0, e2));
    EXPECT_EQ(e2.kind, MediaErrorKind::Inconsistent);
    // The lowest 32-bit height, which has no positive twin to flip a top-down picture to.
    for (int32_t height : {INT32_MIN, INT32_MIN + 1}) {
        huge.format = bitmapFormat(4, height, 24);
        avi = AviFile::open(dir.write("m.avi", buildAvi({huge}, {})), e2);
        ASSERT_TRUE(avi) << height;
        EXPECT_FALSE(AviFrameDecoder::open(*avi, 0, e2)) << height;
        EXPECT_EQ(e2.kind, MediaErrorKind::Inconsistent) << height;
    }
}

TEST_F(AviFrameDecoderTest, AudioStreamsHaveNoFrames)
{
    TestStream audio;
    audio.type = "auds";
    audio.twoCC = "wb";
    audio.format = pcmFormat(1, 8000, 16);
    audio.chunks.push_back(std::vector<uint8_t>(64, 0));
    MediaError e;
    auto avi = AviFile::open(dir.write("a.avi", buildAvi({audio, rawStream(2, 2, 24, 1)}, {})), e);
    ASSERT_TRUE(avi);
    EXPECT_FALSE(AviFrameDecoder::open(*avi, 0, e));
    EXPECT_EQ(e.kind, MediaErrorKind::NotFound);
    EXPECT_FALSE(AviFrameDecoder::open(*avi, 2, e));
    EXPECT_TRUE(AviFrameDecoder::open(*avi, 1, e));
}

// Compressed files: each frame has two flat halves in colours of its own.
namespace {

// The two halves of encoded frame i, sampled away from the edge between them.
void expectHalves(const PackedDib& dib, int i, int tolerance)
{
    for (int y : {0, dib.height() / 4, 3 * dib.height() / 4, dib.height() - 1})
        for (int x : {0, dib.width() / 2, dib.width() - 1}) {
            uint32_t want = y < dib.height() / 2 ? encodedColour(i, true) : encodedColour(i, false);
            uint32_t got = dib.rgbAt(x, y);
            for (int shift : {0, 8, 16})
                ASSERT_NEAR(static_cast<int>((got >> shift) & 255), static_cast<int>((want >> shift) & 255), tolerance)
                    << std::hex << "got " << got << " want " << want << " at " << std::dec << x << "," << y;
        }
}

} // namespace

TEST_F(AviFrameDecoderTest, MjpegFramesDecodeByIndexAfterAnAudioStream)
{
    std::string path = dir.file("mjpeg.avi");
    ASSERT_TRUE(writeEncodedAvi(path, VideoCoding::Mjpeg, 12, 1));
    MediaError e;
    auto avi = AviFile::open(path, e);
    ASSERT_TRUE(avi) << e.text;
    ASSERT_EQ(avi->streams().size(), 2u);
    EXPECT_TRUE(avi->streams()[0].isAudio());
    ASSERT_EQ(avi->preferredVideoStream(), 1);
    EXPECT_EQ(avi->fileInfo().dwScale * 25, avi->fileInfo().dwRate);
    auto dec = AviFrameDecoder::open(*avi, 1, e);
    ASSERT_TRUE(dec) << e.text;
    ASSERT_EQ(dec->frameCount(), 12u);
    for (int k : {0, 7, 3, 4, 11, 10, 0}) {
        auto f = dec->frame(k, e);
        ASSERT_TRUE(f) << k << ": " << e.text;
        EXPECT_EQ(f->bitCount(), 24);
        EXPECT_EQ(f->width(), 32);
        EXPECT_EQ(f->height(), 16);
        expectHalves(*f, k, 6);
    }
    EXPECT_FALSE(dec->frame(12, e));
}

TEST_F(AviFrameDecoderTest, InterFramesDecodeFromTheirKeyFrameInAnyOrder)
{
    std::string path = dir.file("mpeg4.avi");
    if (!writeEncodedAvi(path, VideoCoding::Mpeg4, 14, 5))
        GTEST_SKIP() << "no MPEG-4 encoder in this libavcodec";
    MediaError e;
    auto avi = AviFile::open(path, e);
    ASSERT_TRUE(avi) << e.text;
    const auto& chunks = avi->streams()[1].chunks;
    ASSERT_EQ(chunks.size(), 14u);
    EXPECT_TRUE(chunks[0].keyFrame);
    EXPECT_FALSE(chunks[1].keyFrame);
    auto dec = AviFrameDecoder::open(*avi, 1, e);
    ASSERT_TRUE(dec) << e.text;
    // Backwards, forwards by one (the decoder goes on), and jumps across key frames.
    for (int k : {8, 3, 4, 5, 6, 13, 1, 12, 12, 0, 9}) {
        auto f = dec->frame(k, e);
        ASSERT_TRUE(f) << k << ": " << e.text;
        expectHalves(*f, k, 8);
    }
}

// Frame k is the same picture whatever was decoded before it: MJPEG frames whose Huffman tables
// are blanked out (the marker turned into a comment) must not borrow the tables of the frame
// decoded last.
TEST_F(AviFrameDecoderTest, DamagedFramesDecodeTheSameInAnyOrder)
{
    std::string path = dir.file("damaged.avi");
    ASSERT_TRUE(writeEncodedAvi(path, VideoCoding::Mjpeg, 8, 1));
    MediaError e;
    std::vector<AviChunkRef> chunks;
    {
        auto avi = AviFile::open(path, e);
        ASSERT_TRUE(avi) << e.text;
        chunks = avi->streams()[1].chunks;
    }
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    int blanked = 0;
    for (size_t k = 1; k < chunks.size(); k += 2)
        for (uint64_t i = chunks[k].offset; i + 1 < chunks[k].offset + chunks[k].size; ++i)
            if (bytes[i] == 0xFF && bytes[i + 1] == 0xC4) {
                bytes[i + 1] = 0xFE;
                ++blanked;
            }
    ASSERT_GT(blanked, 0);
    path = dir.write("damaged2.avi", bytes);

    auto decodeInOrder = [&](const std::vector<int>& order) {
        std::map<int, std::optional<std::vector<uint8_t>>> pictures;
        auto avi = AviFile::open(path, e);
        auto dec = avi ? AviFrameDecoder::open(*avi, 1, e) : nullptr;
        if (!dec)
            return pictures;
        for (int k : order) {
            auto f = dec->frame(k, e);
            pictures[k] = f ? std::optional(std::vector<uint8_t>(f->data(), f->data() + f->size())) : std::nullopt;
        }
        return pictures;
    };
    auto forward = decodeInOrder({0, 1, 2, 3, 4, 5, 6, 7});
    ASSERT_EQ(forward.size(), 8u);
    EXPECT_EQ(forward, decodeInOrder({7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(forward, decodeInOrder({4, 1, 6, 3, 0, 5, 2, 7}));
}
