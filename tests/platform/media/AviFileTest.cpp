#include "MediaTestFiles.h"

#include "platform/media/AviFile.h"
#include "platform/media/AviFrameDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <sys/resource.h>

using namespace qv::media;
using namespace mediatest;

namespace {

TestStream videoStream(int w, int h, int frames, int seedBase, uint16_t priority = 0)
{
    TestStream s;
    s.priority = priority;
    s.format = bitmapFormat(w, h, 24);
    for (int i = 0; i < frames; ++i)
        s.chunks.push_back(rawFrame(w, h, 24, seedBase + i));
    return s;
}

TestStream audioStream(int chunks, uint32_t samplesPerChunk = 320)
{
    TestStream s;
    s.type = "auds";
    s.twoCC = "wb";
    s.scale = 1;
    s.rate = 8000;
    s.length = static_cast<uint32_t>(chunks) * samplesPerChunk;
    s.format = pcmFormat(1, 8000, 16);
    for (int i = 0; i < chunks; ++i)
        s.chunks.push_back(std::vector<uint8_t>(samplesPerChunk * 2, static_cast<uint8_t>(i)));
    return s;
}

// Every pixel of the decoded frame against the colours the writer put there.
void expectFrame(const PackedDib& dib, int w, int h, int seed)
{
    ASSERT_EQ(dib.width(), w);
    ASSERT_EQ(dib.height(), h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(dib.rgbAt(x, y), testColour(seed, x, y)) << "at " << x << "," << y;
}

class AviFileTest : public ::testing::Test {
protected:
    TempDir dir;
};

} // namespace

TEST_F(AviFileTest, HeadersStreamsAndFileInformation)
{
    TestStream v = videoStream(7, 5, 10, 0);
    v.name = "camera";
    AviLayout layout;
    layout.width = 7;
    layout.height = 5;
    std::string path = dir.write("a.avi", buildAvi({audioStream(50), v}, layout));

    MediaError e;
    auto avi = AviFile::open(path, e);
    ASSERT_TRUE(avi) << e.text;
    ASSERT_EQ(avi->streams().size(), 2u);
    EXPECT_TRUE(avi->streams()[0].isAudio());
    EXPECT_TRUE(avi->streams()[1].isVideo());
    EXPECT_EQ(avi->streams()[1].name, "camera");
    EXPECT_EQ(avi->streams()[1].bitmapInfo()->biWidth, 7);
    EXPECT_DOUBLE_EQ(avi->streams()[1].secondsPerFrame(), 0.04);
    EXPECT_EQ(avi->frameCount(1), 10u);
    EXPECT_EQ(avi->frameCount(0), 50u);
    EXPECT_EQ(avi->frameCount(2), 0u);
    EXPECT_EQ(avi->indexSource(), AviIndexSource::Idx1);

    AviFileInfo info = avi->fileInfo();
    EXPECT_EQ(info.dwStreams, 2u);
    EXPECT_EQ(info.dwWidth, 7u);
    EXPECT_EQ(info.dwHeight, 5u);
    EXPECT_EQ(info.dwScale, 40000u);
    EXPECT_EQ(info.dwRate, 1000000u);
    // The audio lasts 50 × 320 / 8000 = 2 s: 50 frames of 40 ms, longer than the 10 video frames.
    EXPECT_EQ(info.dwLength, 50u);
    EXPECT_STREQ(info.szFileType, "AVI");
}

TEST_F(AviFileTest, FrameTimeFromTheVideoStreamWhenTheMainHeaderHasNone)
{
    AviLayout layout;
    layout.microSecPerFrame = 0;
    TestStream v = videoStream(2, 2, 3, 0);
    v.scale = 1;
    v.rate = 25;
    MediaError e;
    auto avi = AviFile::open(dir.write("a.avi", buildAvi({v}, layout)), e);
    ASSERT_TRUE(avi) << e.text;
    AviFileInfo info = avi->fileInfo();
    EXPECT_EQ(info.dwScale, 1u);
    EXPECT_EQ(info.dwRate, 25u);
    EXPECT_EQ(info.dwLength, 3u);
}

TEST_F(AviFileTest, PreferredVideoStreamHasTheLowestPriorityValue)
{
    AviLayout layout;
    auto pick = [&](std::vector<TestStream> streams) {
        MediaError e;
        auto avi = AviFile::open(dir.write("p.avi", buildAvi(streams, layout)), e);
        EXPECT_TRUE(avi) << e.text;
        return avi ? avi->preferredVideoStream() : -2;
    };
    EXPECT_EQ(pick({audioStream(2), videoStream(4, 3, 2, 0, 2), videoStream(4, 3, 2, 100, 1)}), 2);
    EXPECT_EQ(pick({audioStream(2), videoStream(4, 3, 2, 0, 1), videoStream(4, 3, 2, 100, 2)}), 1);
    EXPECT_EQ(pick({videoStream(4, 3, 2, 0, 3), videoStream(4, 3, 2, 100, 3)}), 0); // ties keep the first
    EXPECT_EQ(pick({audioStream(2)}), -1);

    // And the frames shown are those of the chosen stream.
    MediaError e;
    auto avi = AviFile::open(dir.write("q.avi", buildAvi({audioStream(2), videoStream(4, 3, 2, 0, 2),
                                                          videoStream(4, 3, 2, 100, 1)},
                                                         layout)),
                             e);
    ASSERT_TRUE(avi);
    auto dec = AviFrameDecoder::open(*avi, avi->preferredVideoStream(), e);
    ASSERT_TRUE(dec) << e.text;
    auto f = dec->frame(1, e);
    ASSERT_TRUE(f) << e.text;
    expectFrame(*f, 4, 3, 101);
}

TEST_F(AviFileTest, EveryIndexFormFindsTheSameFrames)
{
    const int w = 5, h = 3, n = 9;
    for (IndexKind kind : {IndexKind::Idx1Relative, IndexKind::Idx1Absolute, IndexKind::None, IndexKind::OpenDml}) {
        for (bool rec : {false, true}) {
            SCOPED_TRACE(static_cast<int>(kind) * 2 + rec);
            AviLayout layout;
            layout.index = kind;
            layout.recLists = rec;
            MediaError e;
            auto avi = AviFile::open(dir.write("i.avi", buildAvi({audioStream(n), videoStream(w, h, n, 7)}, layout)), e);
            ASSERT_TRUE(avi) << e.text;
            AviIndexSource expected = kind == IndexKind::OpenDml ? AviIndexSource::OpenDml
                                      : kind == IndexKind::None  ? AviIndexSource::Scan
                                                                 : AviIndexSource::Idx1;
            EXPECT_EQ(avi->indexSource(), expected);
            ASSERT_EQ(avi->frameCount(1), static_cast<size_t>(n));
            ASSERT_EQ(avi->frameCount(0), static_cast<size_t>(n));
            if (kind == IndexKind::OpenDml) {
                EXPECT_EQ(avi->mainHeader().dwTotalFrames, 5u); // the first part only
                EXPECT_EQ(avi->totalFrames(), static_cast<uint32_t>(n));
            }
            auto dec = AviFrameDecoder::open(*avi, 1, e);
            ASSERT_TRUE(dec) << e.text;
            for (int i : {0, 4, 5, 8, 2}) {
                auto f = dec->frame(i, e);
                ASSERT_TRUE(f) << e.text;
                expectFrame(*f, w, h, 7 + i);
            }
        }
    }
}

TEST_F(AviFileTest, RefusesFilesThatAreNotAviOrCannotBeOpened)
{
    MediaError e;
    EXPECT_FALSE(AviFile::open(dir.file("missing.avi"), e));
    EXPECT_EQ(e.kind, MediaErrorKind::CannotOpen);

    Bytes wave;
    size_t riff = wave.begin("RIFF", "WAVE");
    wave.chunk("fmt ", pcmFormat(1, 8000, 16));
    wave.end(riff);
    EXPECT_FALSE(AviFile::open(dir.write("w.wav", wave.b), e));
    EXPECT_EQ(e.kind, MediaErrorKind::NotThisFormat);

    Bytes noMovie;
    size_t r = noMovie.begin("RIFF", "AVI ");
    size_t hdrl = noMovie.begin("LIST", "hdrl");
    noMovie.chunk("avih", std::vector<uint8_t>(56, 0));
    noMovie.end(hdrl);
    noMovie.end(r);
    EXPECT_FALSE(AviFile::open(dir.write("n.avi", noMovie.b), e)) << e.text;
    EXPECT_EQ(e.kind, MediaErrorKind::NotFound);
}

TEST_F(AviFileTest, EveryTruncationIsRefused)
{
    for (IndexKind kind : {IndexKind::Idx1Relative, IndexKind::OpenDml}) {
        AviLayout layout;
        layout.index = kind;
        std::vector<uint8_t> whole = buildAvi({audioStream(3), videoStream(3, 2, 4, 0)}, layout);
        size_t firstPart = whole.size();
        if (kind == IndexKind::OpenDml) // the first RIFF alone is a whole file with fewer frames
            firstPart = 8 + (whole[4] | whole[5] << 8 | whole[6] << 16);
        for (size_t n = 0; n < whole.size(); ++n) {
            if (n == firstPart)
                continue;
            std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            MediaError e;
            EXPECT_FALSE(AviFile::open(dir.write("t.avi", cut), e)) << "cut at " << n;
            EXPECT_NE(e.kind, MediaErrorKind::None);
        }
    }
}

TEST_F(AviFileTest, InconsistentIndexesAreRefused)
{
    AviLayout layout;
    std::vector<uint8_t> good = buildAvi({videoStream(3, 2, 4, 0)}, layout);
    // The last 16 bytes are the last idx1 entry: point it past the movie data.
    std::vector<uint8_t> bad = good;
    size_t entry = bad.size() - 16;
    bad[entry + 9] = 0x7F;
    MediaError e;
    EXPECT_FALSE(AviFile::open(dir.write("b.avi", bad), e));
    EXPECT_EQ(e.kind, MediaErrorKind::Inconsistent);

    // An entry naming a stream the headers do not declare.
    bad = good;
    bad[entry + 1] = '5';
    EXPECT_FALSE(AviFile::open(dir.write("c.avi", bad), e));
    EXPECT_EQ(e.kind, MediaErrorKind::Inconsistent);

    // An entry whose size disagrees with the chunk found there: opening succeeds (only the
    // bounds are checked up front), the frame then is refused.
    bad = good;
    bad[entry + 12] = static_cast<uint8_t>(bad[entry + 12] - 4);
    e = {};
    auto avi = AviFile::open(dir.write("d.avi", bad), e);
    ASSERT_TRUE(avi) << e.text;
    auto dec = AviFrameDecoder::open(*avi, 0, e);
    ASSERT_TRUE(dec);
    EXPECT_TRUE(dec->frame(2, e));
    EXPECT_FALSE(dec->frame(3, e));
    EXPECT_EQ(e.kind, MediaErrorKind::Inconsistent);
}

TEST_F(AviFileTest, OpenDmlIndexCountBeyondItsChunkIsRefused)
{
    AviLayout layout;
    layout.index = IndexKind::OpenDml;
    std::vector<uint8_t> f = buildAvi({videoStream(3, 2, 4, 0)}, layout);
    // The first "ix00" chunk: raise its entry count.
    auto it = std::search(f.begin(), f.end(), std::begin("ix00"), std::begin("ix00") + 4);
    ASSERT_NE(it, f.end());
    size_t count = static_cast<size_t>(it - f.begin()) + 8 + 4;
    f[count + 2] = 1;
    MediaError e;
    EXPECT_FALSE(AviFile::open(dir.write("x.avi", f), e));
    EXPECT_EQ(e.kind, MediaErrorKind::Truncated);
}

// Damaged files must be refused or read within their bounds, never read past a buffer (the
// sanitizer build checks the latter).
TEST_F(AviFileTest, RandomDamageNeverReadsOutOfBounds)
{
    std::mt19937 rng(12345);
    for (IndexKind kind : {IndexKind::Idx1Relative, IndexKind::OpenDml, IndexKind::None}) {
        AviLayout layout;
        layout.index = kind;
        std::vector<uint8_t> whole = buildAvi({audioStream(3), videoStream(4, 3, 5, 0)}, layout);
        for (int round = 0; round < 200; ++round) {
            std::vector<uint8_t> f = whole;
            for (int k = 0; k < 3; ++k)
                f[rng() % f.size()] = static_cast<uint8_t>(rng());
            MediaError e;
            auto avi = AviFile::open(dir.write("r.avi", f), e);
            if (!avi)
                continue;
            for (size_t s = 0; s < avi->streams().size(); ++s) {
                auto dec = AviFrameDecoder::open(*avi, static_cast<int>(s), e);
                if (!dec)
                    continue;
                for (int i = -1; i <= static_cast<int>(dec->frameCount()); ++i) {
                    if (auto pic = dec->frame(i, e)) {
                        EXPECT_EQ(pic->size(), pic->pixelOffset() + pic->stride() * static_cast<size_t>(pic->height()));
                    }
                }
            }
        }
    }
}

// An OpenDML super index whose 16,384 parts all name the same "ix00" chunk of 16,384 entries: read
// naively it collects 268 M chunk references. A part named again is read once, so the index stays
// as large as what the file holds; the memory peak shows it was never built in full.
TEST_F(AviFileTest, SuperIndexNamingOneChunkManyTimesIsReadOnce)
{
    constexpr uint32_t kParts = 16384, kEntries = 16384;
    Bytes f;
    size_t riff = f.begin("RIFF", "AVI ");
    size_t hdrl = f.begin("LIST", "hdrl");
    size_t avih = f.begin("avih");
    for (uint32_t v : {40000u, 0u, 0u, 0x10u, 1u, 0u, 1u, 0u, 2u, 2u, 0u, 0u, 0u, 0u})
        f.u32(v);
    f.end(avih);
    size_t strl = f.begin("LIST", "strl");
    size_t strh = f.begin("strh");
    f.fcc("vids");
    f.fcc("DIB ");
    for (uint32_t v : {0u, 0u, 0u, 1u, 25u, 0u, 1u, 0u, 0u, 0u, 0u, 0u})
        f.u32(v);
    f.end(strh);
    f.chunk("strf", bitmapFormat(2, 2, 24));
    size_t indx = f.begin("indx");
    f.u16(4), f.u8(0), f.u8(0), f.u32(kParts), f.fcc("00db"), f.u32(0), f.u32(0), f.u32(0);
    size_t firstPart = f.b.size();
    for (uint32_t i = 0; i < kParts; ++i)
        f.u64(0), f.u32(8 + 24 + 8 * kEntries), f.u32(1);
    f.end(indx);
    f.end(strl);
    f.end(hdrl);
    size_t movi = f.begin("LIST", "movi");
    size_t frameData = f.b.size() + 8;
    f.chunk("00db", rawFrame(2, 2, 24, 0));
    uint64_t ixAt = f.b.size();
    size_t ix = f.begin("ix00");
    f.u16(2), f.u8(0), f.u8(1), f.u32(kEntries), f.fcc("00db"), f.u64(0), f.u32(0);
    for (uint32_t i = 0; i < kEntries; ++i)
        f.u32(static_cast<uint32_t>(frameData)), f.u32(static_cast<uint32_t>(rawFrame(2, 2, 24, 0).size()));
    f.end(ix);
    f.end(movi);
    f.end(riff);
    for (uint32_t i = 0; i < kParts; ++i)
        f.patch64(firstPart + 16 * size_t{i}, ixAt);
    ASSERT_LT(f.b.size(), 400'000u);

    MediaError e;
    auto avi = AviFile::open(dir.write("amplified.avi", f.b), e);
    ASSERT_TRUE(avi) << e.text;
    EXPECT_EQ(avi->indexSource(), AviIndexSource::OpenDml);
    EXPECT_EQ(avi->frameCount(0), kEntries);
    std::vector<uint8_t> data;
    EXPECT_TRUE(avi->readChunk(0, kEntries - 1, data, e)) << e.text;
    EXPECT_EQ(data, rawFrame(2, 2, 24, 0));
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    EXPECT_LT(use.ru_maxrss, 512 * 1024) << "peak resident kilobytes";
}
