#include "app/camera/CAVI.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/forms/Driver.h"
#include "platform/gdi/Bmp.h"
#include "tests/app/camera/CAVI_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/recording/BmpFiles_testsupport.h"
#include "tests/platform/media/MediaTestFiles.h"

using namespace qv;
using apptest::errorNumber;

namespace {

// Frame k is one solid colour, so any scaling keeps it.
uint32_t frameColour(int k) { return apptest::videoFrameColour(k); }

// Colours as a lossy coding gives them back: each channel within a few steps.
bool closeColour(uint32_t a, uint32_t b) {
    for (int k = 0; k < 24; k += 8)
        if (std::abs(int(a >> k & 0xFF) - int(b >> k & 0xFF)) > 8) return false;
    return true;
}

std::vector<uint8_t> solidFrame(int w, int h, int k) {
    size_t stride = size_t((w * 24 + 31) / 32 * 4);
    std::vector<uint8_t> f(stride * size_t(h), 0);
    uint32_t c = frameColour(k);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = f.data() + stride * size_t(y) + 3 * size_t(x);
            p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
        }
    return f;
}

struct VideoSpec {
    int width = 8, height = 6, frames = 10;
    uint32_t microSecPerFrame = 100000;
    uint32_t scale = 1, rate = 10;
    int dropped = -1;  // a zero-length chunk at this frame
    bool video = true;
};

class CAVITest : public ::testing::Test {
protected:
    void SetUp() override {
        driver.setScreen(1920, 1080);
        form = &apptest::loadStandIn<CAVITest>("frmAVIHost", {{forms::ControlType::PictureBox, "pbx"}});
        box = &dynamic_cast<forms::PictureBox&>(form->control("pbx"));
    }
    std::string write(const std::string& name, const VideoSpec& v) {
        mediatest::TestStream s;
        if (v.video) {
            s.format = mediatest::bitmapFormat(v.width, v.height, 24);
            for (int k = 0; k < v.frames; ++k)
                s.chunks.push_back(k == v.dropped ? std::vector<uint8_t>{} : solidFrame(v.width, v.height, k));
        } else {
            s.type = "auds";
            s.twoCC = "wb";
            s.format = mediatest::pcmFormat(1, 8000, 16);
            s.chunks.push_back(std::vector<uint8_t>(16, 0));
        }
        s.scale = v.scale;
        s.rate = v.rate;
        mediatest::AviLayout layout;
        layout.microSecPerFrame = v.microSecPerFrame;
        layout.width = uint32_t(v.width);
        layout.height = uint32_t(v.height);
        apptest::writeBytes((folder.dir() / name).string(), mediatest::buildAvi({s}, layout));
        return (folder.dir() / name).string();
    }
    // A borderless box of w x h pixels.
    void boxOf(int w, int h) {
        box->setBorderStyle(0);
        box->Move(0, 0, 15.0 * w, 15.0 * h);
    }
    uint32_t px(int x, int y) const { return box->surface()->pixel(x, y); }
    CAVI& load(CAVI& avi, const std::string& path, bool stretch = false) {
        avi.setPictureBox(*box);
        avi.setAVIFileName(path);
        if (stretch) avi.Stretch();
        else avi.Init();
        return avi;
    }
    forms::Driver driver;
    apptest::TempProgramFolder folder;
    forms::Form* form = nullptr;
    forms::PictureBox* box = nullptr;
};

TEST_F(CAVITest, InitShowsFramesAtNativeSizeAndStretchFillsTheBox) {
    boxOf(20, 12);
    box->setBackColor(forms::rgb(1, 2, 3));
    CAVI avi;
    load(avi, write("a.avi", {}));
    ASSERT_TRUE(avi.IsAVIOK());
    EXPECT_EQ(avi.VideoWidth(), 8);
    EXPECT_EQ(avi.VideoHeight(), 6);
    EXPECT_EQ(avi.FlameNum(), 10);
    EXPECT_EQ(avi.Duration(), 1);
    EXPECT_EQ(px(0, 0), frameColour(0));  // paused on the first frame
    int32_t f = 3;
    avi.DispFlame(f);
    EXPECT_EQ(px(7, 5), frameColour(3));
    EXPECT_EQ(px(8, 5), gdi::colorToPixel(0x030201));  // outside the video window
    EXPECT_NEAR(avi.CurrentPosition(), 0.3, 1e-6);
    EXPECT_EQ(box->Width(), 300);  // AutoSize off: the box keeps its size

    avi.Stretch();
    EXPECT_EQ(avi.videoWindow(), (forms::PixelRect{0, 0, 20, 12}));
    f = 6;
    avi.DispFlame(f);
    EXPECT_EQ(px(19, 11), frameColour(6));
    box->Cls();
    box->Refresh();  // a repaint draws the frame again
    EXPECT_EQ(px(19, 11), frameColour(6));
}

TEST_F(CAVITest, DurationRoundsTheExactLengthHalfToEven) {
    CAVI avi;
    EXPECT_EQ(load(avi, write("h.avi", {.frames = 25})).Duration(), 2);   // 2.5 s
}

TEST_F(CAVITest, DispFlameClampsWritesBackAndDecodesARepeatedFrameOnce) {
    boxOf(8, 6);
    CAVI avi;
    load(avi, write("a.avi", {}));
    int32_t f = -3;
    avi.DispFlame(f);
    EXPECT_EQ(f, 0);
    f = 250;
    avi.DispFlame(f);
    EXPECT_EQ(f, 9);
    EXPECT_EQ(px(0, 0), frameColour(9));
    f = 5;
    avi.DispFlame(f);
    int decodes = avi.decodes();
    f = 5;
    avi.DispFlame(f);
    EXPECT_EQ(avi.decodes(), decodes);
    // Every frame by its index, also at times where float rounding of n x 0.1 falls short.
    for (int k : {7, 2, 9, 0, 3}) {
        f = k;
        avi.DispFlame(f);
        EXPECT_EQ(px(4, 3), frameColour(k)) << k;
    }
}

TEST_F(CAVITest, ADroppedFrameRepeatsThePictureBeforeIt) {
    boxOf(8, 6);
    CAVI avi;
    load(avi, write("d.avi", {.dropped = 4}));
    int32_t f = 8;
    avi.DispFlame(f);
    f = 4;  // a jump back onto the dropped frame
    avi.DispFlame(f);
    EXPECT_EQ(px(1, 1), frameColour(3));
    f = 5;
    avi.DispFlame(f);
    EXPECT_EQ(px(1, 1), frameColour(5));
}

TEST_F(CAVITest, AFileThatIsNotThereOrNotPlayableLeavesThePlayerNotOK) {
    boxOf(8, 6);
    CAVI avi;
    load(avi, write("a.avi", {}));
    ASSERT_TRUE(avi.IsAVIOK());
    avi.setAVIFileName((folder.dir() / "missing.avi").string());
    avi.Init();
    EXPECT_FALSE(avi.IsAVIOK());
    int32_t f = 2;
    avi.DispFlame(f);
    EXPECT_EQ(px(0, 0), 0u);  // black
    EXPECT_EQ(px(7, 5), 0u);
    EXPECT_EQ(avi.FlameNum(), 0);
    EXPECT_EQ(errorNumber([&] { avi.Duration(); }), basic::errObjectNotSet);
    EXPECT_EQ(errorNumber([&] { avi.CurrentPosition(); }), basic::errObjectNotSet);
    EXPECT_EQ(errorNumber([&] { avi.Run(); }), basic::errObjectNotSet);

    // Not an AVI at all: refused silently.
    apptest::writeBytes((folder.dir() / "junk.avi").string(), std::vector<uint8_t>(64, 'x'));
    avi.setAVIFileName((folder.dir() / "junk.avi").string());
    EXPECT_EQ(errorNumber([&] { avi.Init(); }), 0);
    EXPECT_FALSE(avi.IsAVIOK());

    // No video stream: rendering works, the video fails afterwards.
    avi.setAVIFileName(write("audio.avi", {.video = false}));
    EXPECT_NE(errorNumber([&] { avi.Init(); }), 0);
    EXPECT_FALSE(avi.IsAVIOK());
}

TEST_F(CAVITest, FrameTimeComesFromTheStreamRateWhenTheHeaderHasNone) {
    boxOf(8, 6);
    CAVI avi;
    load(avi, write("r.avi", {.frames = 50, .microSecPerFrame = 0, .scale = 1, .rate = 25}));
    ASSERT_TRUE(avi.IsAVIOK());
    EXPECT_EQ(avi.FlameNum(), 50);
    EXPECT_EQ(avi.Duration(), 2);
    int32_t f = 10;
    avi.DispFlame(f);
    EXPECT_NEAR(avi.CurrentPosition(), 0.4, 1e-6);

    // A zero rate as well: no frame time, so the file is not OK and nothing divides by it.
    CAVI zero;
    load(zero, write("z.avi", {.microSecPerFrame = 0, .scale = 1, .rate = 0}));
    EXPECT_FALSE(zero.IsAVIOK());
    EXPECT_EQ(zero.FlameNum(), 0);
    f = 3;
    zero.DispFlame(f);
    EXPECT_EQ(px(3, 3), 0u);
}

TEST_F(CAVITest, SaveBMPWritesTheFramesPixelsAndRefusesOtherFormats) {
    boxOf(8, 6);
    CAVI avi;
    load(avi, write("a.avi", {}));
    int32_t f = 7;
    std::string out = (folder.dir() / "frame.bmp").string();
    avi.SaveBMP(f, out);
    gdi::BmpReadResult r = gdi::readBmpFile(out);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.image.bitCount, 24);
    ASSERT_EQ(r.image.width, 8);
    ASSERT_EQ(r.image.height, 6);
    for (uint32_t p : r.image.pixels) EXPECT_EQ(p, frameColour(7));

    // A 24-bit image is refused with the message and no file.
    std::vector<int32_t> image(10 + 48, 0);
    image[0] = 40;
    image[3] = 0x00180001;
    driver.answerMsgBox(forms::vbOK);
    std::string refused = (folder.dir() / "refused.bmp").string();
    avi.SaveImage(image, refused);
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].prompt, "未サポートの形式です。");
    EXPECT_FALSE(std::filesystem::exists(refused));

    // Pixel words with 0xFF in the fourth byte keep their red and green.
    image[3] = 0x00200001;
    for (int i = 0; i < 48; ++i) image[size_t(10 + i)] = int32_t(0xFF000000u | uint32_t(0xFE80 + i) << 8 | 0x7Fu);
    avi.SaveImage(image, refused);
    r = gdi::readBmpFile(refused);
    ASSERT_TRUE(r.ok);
    // Buffer row 0 is the bottom row.
    EXPECT_EQ(r.image.pixels[size_t(5 * 8 + 0)], (uint32_t(0xFE80) << 8 | 0x7Fu) & 0xFFFFFFu);
    EXPECT_EQ(r.image.pixels[size_t(0 * 8 + 7)], (uint32_t(0xFE80 + 47) << 8 | 0x7Fu) & 0xFFFFFFu);
}

TEST_F(CAVITest, RunPlaysOnTheVirtualClockAndEndsAtTheEndOfTheStream) {
    boxOf(8, 6);
    CAVI avi;
    load(avi, write("long.avi", {.frames = 40, .microSecPerFrame = 40000}));
    uint32_t start = driver.now();
    avi.Run();
    EXPECT_NEAR(avi.CurrentPosition(), 39 * 0.04, 1e-5);
    EXPECT_EQ(px(2, 2), frameColour(39));
    // 16 frames from 23 at 0.81 of 25 frames a second take about 0.79 s of the clock.
    EXPECT_NEAR(double(driver.now() - start), 16 * 40 / 0.811543836646667, 45.0);
}

TEST_F(CAVITest, MotionJpegFramesShowAfterStepsAndJumps) {
    boxOf(32, 16);
    apptest::writeBytes((folder.dir() / "m.avi").string(), apptest::mjpegAvi(32, 16, 12, 40000));
    CAVI avi;
    load(avi, (folder.dir() / "m.avi").string());
    ASSERT_TRUE(avi.IsAVIOK());
    EXPECT_EQ(avi.FlameNum(), 12);
    for (int k : {1, 2, 3, 11, 4, 0}) {
        int32_t f = k;
        avi.DispFlame(f);
        EXPECT_TRUE(closeColour(px(16, 8), frameColour(k))) << k << ": " << std::hex << px(16, 8);
    }
}

// Key frames only every five frames: whatever was shown before, each frame shown is the very
// picture a decoder of its own gives when it starts at the frame's key frame.
TEST_F(CAVITest, InterCodedFramesShowTheirOwnPictureAfterStepsAndJumps) {
    boxOf(32, 16);
    std::string path = (folder.dir() / "mpeg4.avi").string();
    if (!mediatest::writeEncodedAvi(path, mediatest::VideoCoding::Mpeg4, 14, 5))
        GTEST_SKIP() << "no MPEG-4 encoder in this libavcodec";
    media::MediaError e;
    auto file = media::AviFile::open(path, e);
    ASSERT_TRUE(file) << e.text;
    const int stream = file->preferredVideoStream();
    ASSERT_GE(stream, 0);
    const auto& chunks = file->streams()[size_t(stream)].chunks;
    ASSERT_EQ(chunks.size(), 14u);
    for (size_t k = 0; k < chunks.size(); ++k) ASSERT_EQ(chunks[k].keyFrame, k % 5 == 0) << k;
    std::vector<media::PackedDib> straight;
    for (int k = 0; k < 14; ++k) {
        auto decoder = media::AviFrameDecoder::open(*file, stream, e);
        ASSERT_TRUE(decoder) << e.text;
        auto picture = decoder->frame(k, e);
        ASSERT_TRUE(picture) << k << ": " << e.text;
        straight.push_back(std::move(*picture));
    }

    CAVI avi;
    load(avi, path);
    ASSERT_TRUE(avi.IsAVIOK());
    ASSERT_EQ(avi.FlameNum(), 14);
    int before = 0;
    auto show = [&](int k) {
        int32_t f = k;
        avi.DispFlame(f);
        ASSERT_EQ(f, k);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(px(x, y), straight[size_t(k)].rgbAt(x, y))
                    << "frame " << k << " after " << before << " at " << x << "," << y;
        // Its own picture, not a neighbour's, the right way up.
        EXPECT_TRUE(closeColour(px(16, 3), mediatest::encodedColour(k, true))) << k;
        EXPECT_TRUE(closeColour(px(16, 12), mediatest::encodedColour(k, false))) << k;
        before = k;
    };
    // Steps through two key frames, then jumps forward and back across them, onto key frames,
    // into a group and to its neighbours.
    for (int k = 1; k < 14; ++k) show(k);
    for (int k : {3, 12, 6, 4, 11, 10, 9, 0, 13, 5, 7, 8, 2, 1})
        show(k);
}

TEST_F(CAVITest, AutoSizeGivesTheBoxTheVideoSizeInsideItsBorder) {
    box->Move(0, 0, 3000, 3000);  // bordered (2 pixels a side)
    CAVI avi;
    avi.setAutoSize(true);
    load(avi, write("a.avi", {}));
    EXPECT_DOUBLE_EQ(box->ScaleWidth(), 8 * 15);
    EXPECT_DOUBLE_EQ(box->ScaleHeight(), 6 * 15);
    EXPECT_DOUBLE_EQ(box->Width(), 8 * 15 + 4 * 15);
}

}  // namespace
