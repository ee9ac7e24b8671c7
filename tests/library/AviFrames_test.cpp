// AVI exports over files the test writes: the information record, the stream that is shown,
// frame k stretched over the window, failures.
#include "PlotTestSupport.h"

#include "library/trelm.h"

#include "platform/media/AviFile.h"

#include "FailingAllocation.h"

#include "tests/platform/media/MediaTestFiles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace plottest;
using mediatest::TestStream;

constexpr int kW = 8, kH = 4;

TestStream videoStream(uint16_t priority, int firstSeed, int frames) {
    TestStream s;
    s.priority = priority;
    s.format = mediatest::bitmapFormat(kW, kH, 24);
    for (int k = 0; k < frames; ++k) s.chunks.push_back(mediatest::rawFrame(kW, kH, 24, firstSeed + k));
    return s;
}

TestStream audioStream() {
    TestStream a;
    a.type = "auds";
    a.twoCC = "wb";
    a.format = mediatest::pcmFormat(1, 8000, 16);
    for (int k = 0; k < 3; ++k) a.chunks.push_back(std::vector<uint8_t>(640, 0));
    return a;
}

class AviFrames : public ::testing::Test {
protected:
    void SetUp() override {
        mediatest::AviLayout layout;
        layout.width = kW;
        layout.height = kH;
        // An audio stream first, then video streams of priority 2 and 1: the second is shown.
        path = dir.write("two.avi", mediatest::buildAvi(
                                        {audioStream(), videoStream(2, 100, 3), videoStream(1, 0, 3)}, layout));
    }
    // The window shows frame `seed` of the test pictures, each pixel doubled.
    bool shows(int seed) const {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (win.surface->pixel(2 * x + 1, 2 * y + 1) != mediatest::testColour(seed, x, y))
                    return false;
        return true;
    }
    mediatest::TempDir dir;
    std::string path;
    TestWindow win{2 * kW, 2 * kH, 0x123456};
};

TEST_F(AviFrames, InformationRecordGivesSecondsPerFrame) {
    qv::media::AviFileInfo info{};
    CAM_GETAVIINFO(path.c_str(), &info);
    EXPECT_EQ(info.dwStreams, 3u);
    EXPECT_EQ(info.dwWidth, static_cast<uint32_t>(kW));
    ASSERT_NE(info.dwRate, 0u);
    EXPECT_DOUBLE_EQ(static_cast<double>(info.dwScale) / info.dwRate, 0.04);
    // A missing file leaves the record as it was.
    std::memset(static_cast<void*>(&info), 0x5A, sizeof info);
    CAM_GETAVIINFO((dir.file("missing.avi")).c_str(), &info);
    EXPECT_EQ(info.dwStreams, 0x5A5A5A5Au);
}

TEST_F(AviFrames, FrameOfTheLowestPriorityVideoStreamIsStretchedOverTheWindow) {
    EXPECT_EQ(CAM_DISPBITMAP(win.hwnd, path.c_str(), 0), 0);
    EXPECT_TRUE(shows(0));
    EXPECT_EQ(CAM_DISPBITMAP(win.hwnd, path.c_str(), 2), 0);
    EXPECT_TRUE(shows(2));
    EXPECT_EQ(CAM_DISPBITMAP(win.hwnd, path.c_str(), 1), 0);
    EXPECT_TRUE(shows(1));
}

TEST_F(AviFrames, MissingFramesAndFilesReturnFailuresAndDrawNothing) {
    EXPECT_EQ(CAM_DISPBITMAP(win.hwnd, path.c_str(), 3), -2);
    EXPECT_EQ(CAM_DISPBITMAP(win.hwnd, path.c_str(), -1), -2);
    EXPECT_EQ(CAM_DISPBITMAP(win.hwnd, dir.file("missing.avi").c_str(), 0), -1);
    EXPECT_EQ(CAM_DISPBITMAP(win.hwnd, nullptr, 0), -1);
    EXPECT_EQ(win.count(0x123456), 4 * kW * kH);
    // A file without video returns its stream count.
    mediatest::AviLayout layout;
    const std::string sound = dir.write("sound.avi", mediatest::buildAvi({audioStream()}, layout));
    EXPECT_EQ(CAM_DISPBITMAP(win.hwnd, sound.c_str(), 0), 1);
    int32_t control = 7;
    CAM_GETMEDIACONTROL(&control);
    EXPECT_EQ(control, 0);
}

TEST_F(AviFrames, EightBitFramesAreDrawnThroughTheirColourTable) {
    std::vector<uint32_t> table(256);
    for (uint32_t i = 0; i < 256; ++i) table[i] = (i * 3 & 255) << 16 | (255 - i) << 8 | (i * 7 & 255);
    TestStream s;
    s.format = mediatest::bitmapFormat(kW, kH, 8, nullptr, table);
    std::vector<uint8_t> frame(static_cast<size_t>(kW * kH));  // stride 8: rows bottom-up
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) frame[static_cast<size_t>((kH - 1 - y) * kW + x)] = static_cast<uint8_t>(40 + 9 * x + 31 * y);
    s.chunks.push_back(frame);
    mediatest::AviLayout layout;
    const std::string p = dir.write("pal.avi", mediatest::buildAvi({s}, layout));
    ASSERT_EQ(CAM_DISPBITMAP(win.hwnd, p.c_str(), 0), 0);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            EXPECT_EQ(win.surface->pixel(2 * x, 2 * y), table[static_cast<size_t>(40 + 9 * x + 31 * y)]) << x << "," << y;
}

}  // namespace

// Running out of memory at any allocation inside the exports ends the call with its failure
// answer: the record unchanged, status -1 and nothing drawn; no exception reaches the caller.
TEST_F(AviFrames, AllocationFailureAnywhereEndsTheCallWithItsFailureAnswer) {
    for (int64_t allowed = 0;; ++allowed) {
        qv::media::AviFileInfo info{};
        std::memset(static_cast<void*>(&info), 0x5A, sizeof info);
        bool refused;
        {
            trelmtest::FailingAllocation seam(allowed);
            CAM_GETAVIINFO(path.c_str(), &info);
            refused = seam.refused();
        }
        if (!refused) {
            EXPECT_EQ(info.dwStreams, 3u);
            EXPECT_GT(allowed, 0) << "the seam refused nothing";
            break;
        }
        EXPECT_EQ(info.dwStreams, 0x5A5A5A5Au) << "after " << allowed << " allocations";
        ASSERT_LT(allowed, 100000);
    }
    for (int64_t allowed = 0;; ++allowed) {
        int32_t status;
        bool refused;
        {
            trelmtest::FailingAllocation seam(allowed);
            status = CAM_DISPBITMAP(win.hwnd, path.c_str(), 1);
            refused = seam.refused();
        }
        if (!refused) {
            EXPECT_EQ(status, 0);
            EXPECT_TRUE(shows(1));
            EXPECT_GT(allowed, 0) << "the seam refused nothing";
            break;
        }
        EXPECT_EQ(status, -1) << "after " << allowed << " allocations";
        EXPECT_EQ(win.count(0x123456), 4 * kW * kH) << "after " << allowed << " allocations";
        ASSERT_LT(allowed, 100000);
    }
}
