// MMIO_INIT2 over WAVE files the test writes.
#include "library/trelm.h"

#include "tests/platform/media/MediaTestFiles.h"

#include "FailingAllocation.h"

#include <gtest/gtest.h>

namespace {

struct WaveOut {
    int16_t cbSize = -1, blockAlign = -1, channels = -1, bits = -1, tag = -1;
    int32_t avgBytes = -1, rate = -1, dataSize = -1, dataOffset = -1;
    int32_t read(const std::string& path) {
        return MMIO_INIT2(path.c_str(), &cbSize, &avgBytes, &blockAlign, &channels, &rate, &bits,
                          &tag, &dataSize, &dataOffset);
    }
};

std::vector<uint8_t> wave(const std::vector<uint8_t>& fmt, size_t dataBytes, bool dataFirst = false) {
    mediatest::Bytes o;
    const size_t riff = o.begin("RIFF", "WAVE");
    if (dataFirst) o.chunk("data", std::vector<uint8_t>(dataBytes, 1));
    o.chunk("fmt ", fmt);
    if (!dataFirst) o.chunk("data", std::vector<uint8_t>(dataBytes, 1));
    o.end(riff);
    return o.b;
}

class WaveHeader : public ::testing::Test {
protected:
    mediatest::TempDir dir;
};

TEST_F(WaveHeader, CanonicalFileGivesItsFormatAndDataAt44) {
    WaveOut w;
    ASSERT_EQ(w.read(dir.write("a.wav", wave(mediatest::pcmFormat(2, 44100, 16), 1000))), 1);
    EXPECT_EQ(w.tag, 1);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.rate, 44100);
    EXPECT_EQ(w.avgBytes, 176400);
    EXPECT_EQ(w.blockAlign, 4);
    EXPECT_EQ(w.bits, 16);
    EXPECT_EQ(w.cbSize, 0);
    EXPECT_EQ(w.dataSize, 1000);
    EXPECT_EQ(w.dataOffset, 44);
}

TEST_F(WaveHeader, LongFormatChunksAreReadUpToTheRecordAndNothingSurvivesTheFile) {
    WaveOut w;
    // A 40-byte extensible format chunk: 18 bytes are taken, the rest skipped.
    ASSERT_EQ(w.read(dir.write("ext.wav", wave(mediatest::pcmFormat(2, 48000, 24, 24), 6))), 1);
    EXPECT_EQ(w.cbSize, 22);
    EXPECT_EQ(w.dataOffset, 12 + 8 + 40 + 8);
    EXPECT_EQ(w.dataSize, 6);
    ASSERT_EQ(w.read(dir.write("short.wav", wave(mediatest::pcmFormat(1, 8000, 8), 3))), 1);
    EXPECT_EQ(w.cbSize, 0);
    EXPECT_EQ(w.bits, 8);
}

TEST_F(WaveHeader, FailuresReturnZeroAndWriteNothing) {
    WaveOut w;
    EXPECT_EQ(w.read(dir.write("late.wav", wave(mediatest::pcmFormat(1, 8000, 8), 4, true))), 0);
    std::vector<uint8_t> tiny = mediatest::pcmFormat(1, 8000, 8);
    tiny.resize(14);
    EXPECT_EQ(w.read(dir.write("tiny.wav", wave(tiny, 4))), 0);
    EXPECT_EQ(w.read(dir.file("missing.wav")), 0);
    EXPECT_EQ(w.read(""), 0);
    EXPECT_EQ(MMIO_INIT2(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr),
              0);
    EXPECT_EQ(w.dataOffset, -1);
    EXPECT_EQ(w.tag, -1);
}

}  // namespace

// Running out of memory at any allocation inside the reader: 0, the outputs untouched.
TEST_F(WaveHeader, AllocationFailureAnywhereReturnsZeroAndLeavesTheOutputs) {
    const std::string path = dir.write("a.wav", wave(mediatest::pcmFormat(2, 44100, 16), 100));
    for (int64_t allowed = 0;; ++allowed) {
        WaveOut w;
        int32_t result;
        bool refused;
        {
            trelmtest::FailingAllocation seam(allowed);
            result = w.read(path);
            refused = seam.refused();
        }
        if (!refused) {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(w.dataOffset, 44);
            EXPECT_GT(allowed, 0) << "the seam refused nothing";
            break;
        }
        EXPECT_EQ(result, 0) << "after " << allowed << " allocations";
        EXPECT_EQ(w.dataOffset, -1);
        EXPECT_EQ(w.channels, -1);
        ASSERT_LT(allowed, 100000);
    }
}
