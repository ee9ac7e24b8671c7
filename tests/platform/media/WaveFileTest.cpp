#include "MediaTestFiles.h"

#include "platform/kernel/Paths.h"
#include "platform/media/WaveFile.h"

#include <gtest/gtest.h>

using namespace qv::media;
using namespace mediatest;

namespace {

using Chunks = std::vector<std::pair<const char*, std::vector<uint8_t>>>;

// A RIFF file of the given form holding these chunks in this order.
Bytes riff(const Chunks& chunks, const char* form = "WAVE")
{
    Bytes b;
    size_t at = b.begin("RIFF", form);
    for (const auto& [id, data] : chunks)
        b.chunk(id, data);
    b.end(at);
    return b;
}

class WaveFileTest : public ::testing::Test {
protected:
    TempDir dir;

    std::optional<WaveInfo> read(const Bytes& b, MediaError& e) { return readWaveInfo(dir.write("s.wav", b.b), e); }
};

} // namespace

TEST_F(WaveFileTest, CanonicalPcmFile)
{
    Bytes b = riff({{"fmt ", pcmFormat(2, 44100, 16)}, {"data", std::vector<uint8_t>(400, 7)}});
    MediaError e;
    auto w = read(b, e);
    ASSERT_TRUE(w) << e.text;
    EXPECT_EQ(w->dataOffset, 44u);
    EXPECT_EQ(w->dataSize, 400u);
    EXPECT_EQ(w->formatChunkSize, 16u);
    EXPECT_EQ(w->format.wFormatTag, 1);
    EXPECT_EQ(w->format.nChannels, 2);
    EXPECT_EQ(w->format.nSamplesPerSec, 44100u);
    EXPECT_EQ(w->format.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(w->format.nBlockAlign, 4);
    EXPECT_EQ(w->format.wBitsPerSample, 16);
    EXPECT_EQ(w->format.cbSize, 0);
}

TEST_F(WaveFileTest, LongFormatIsReadOnlyAsFarAsTheRecord)
{
    // A 40-byte extensible format: cbSize 22 and 22 more bytes that must not be taken.
    Bytes b = riff({{"fmt ", pcmFormat(6, 48000, 24, 24)}, {"data", std::vector<uint8_t>(36, 1)}});
    MediaError e;
    auto w = read(b, e);
    ASSERT_TRUE(w) << e.text;
    EXPECT_EQ(w->formatChunkSize, 40u);
    EXPECT_EQ(w->format.cbSize, 22);
    EXPECT_EQ(w->format.nChannels, 6);
    EXPECT_EQ(w->dataOffset, 12u + 48 + 8);
}

TEST_F(WaveFileTest, OddChunksArePaddedAndSearchedForward)
{
    // JUNK before the RIFF form, odd-sized chunks around "fmt " (pad bytes), data last.
    Bytes b;
    b.chunk("JUNK", {1, 2, 3});
    b.raw(riff({{"LIST", {'I', 'N', 'F', 'O', 9}},
                {"fmt ", pcmFormat(1, 8000, 8)},
                {"fact", {1, 2, 3, 4, 5}},
                {"data", std::vector<uint8_t>(5, 0x80)}})
              .b);
    MediaError e;
    auto w = read(b, e);
    ASSERT_TRUE(w) << e.text;
    // JUNK 8+3+1, RIFF header 12, LIST 8+5+1, fmt 8+16, fact 8+5+1, data header 8.
    EXPECT_EQ(w->dataOffset, 12u + 12 + 14 + 24 + 14 + 8);
    EXPECT_EQ(w->dataSize, 5u);
    EXPECT_EQ(w->format.wBitsPerSample, 8);
}

TEST_F(WaveFileTest, DataBeforeFormatIsNotFound)
{
    Bytes b = riff({{"data", std::vector<uint8_t>(8, 0)}, {"fmt ", pcmFormat(1, 8000, 16)}});
    MediaError e;
    EXPECT_FALSE(read(b, e));
    EXPECT_EQ(e.kind, MediaErrorKind::NotFound);
}

TEST_F(WaveFileTest, BadFilesAreRefused)
{
    MediaError e;
    {
        // format too short for a WAVE format
        Bytes b = riff({{"fmt ", std::vector<uint8_t>(14, 1)}, {"data", std::vector<uint8_t>(2, 0)}});
        EXPECT_FALSE(read(b, e));
        EXPECT_EQ(e.kind, MediaErrorKind::Inconsistent);
    }
    {
        // a RIFF of another form
        Bytes b = riff({{"fmt ", pcmFormat(1, 8000, 16)}}, "AVI ");
        EXPECT_FALSE(read(b, e));
        EXPECT_EQ(e.kind, MediaErrorKind::NotThisFormat);
    }
    {
        // data claims more than the file holds
        Bytes b = riff({{"fmt ", pcmFormat(1, 8000, 16)}, {"data", std::vector<uint8_t>(100, 0)}});
        b.b.resize(b.b.size() - 50);
        b.patch32(4, static_cast<uint32_t>(b.b.size() - 8));
        EXPECT_FALSE(read(b, e));
        EXPECT_EQ(e.kind, MediaErrorKind::Truncated);
    }
    {
        // no data chunk at all
        Bytes b = riff({{"fmt ", pcmFormat(1, 8000, 16)}});
        EXPECT_FALSE(read(b, e));
        EXPECT_EQ(e.kind, MediaErrorKind::NotFound);
    }
    EXPECT_FALSE(readWaveInfo(dir.file("none.wav"), e));
    EXPECT_EQ(e.kind, MediaErrorKind::CannotOpen);
}

TEST_F(WaveFileTest, DrivePathsAreMapped)
{
    Bytes b = riff({{"fmt ", pcmFormat(1, 8000, 16)}, {"data", std::vector<uint8_t>(2, 0)}});
    dir.write("Tone.wav", b.b);
    std::string before = qv::kernel::driveFolder('Q');
    qv::kernel::setDriveFolder('Q', dir.path().string());
    MediaError e;
    auto w = readWaveInfo("Q:\\TONE.WAV", e);
    qv::kernel::setDriveFolder('Q', "");
    ASSERT_TRUE(w) << e.text;
    EXPECT_EQ(w->dataOffset, 44u);
}
