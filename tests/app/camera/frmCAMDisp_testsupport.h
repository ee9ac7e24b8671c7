#pragma once
// The started main window with a camera recording it loaded: two channels at 1 kHz, a frame
// list with a frame every `frameStep` points and an uncompressed video whose frame k is one
// solid colour, so a box's pixel tells which frame it shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/app/camera/CAVI_testsupport.h"
#include "tests/app/camera/FlameList_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "tests/platform/media/MediaTestFiles.h"
#include "app/camera/frmCAMDisp.h"
#include "app/camera/modCAM.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"

namespace qv::apptest {

// An uncompressed 24-bit video of `frames` frames, frame k filled with videoFrameColour(k).
inline std::string solidColourAvi(int width, int height, int frames) {
    mediatest::TestStream s;
    s.format = mediatest::bitmapFormat(width, height, 24);
    const size_t stride = size_t((width * 24 + 31) / 32 * 4);
    for (int k = 0; k < frames; ++k) {
        std::vector<uint8_t> f(stride * size_t(height), 0);
        const uint32_t c = videoFrameColour(k);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* p = f.data() + stride * size_t(y) + 3 * size_t(x);
                p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
            }
        s.chunks.push_back(std::move(f));
    }
    mediatest::AviLayout layout;
    layout.width = uint32_t(width);
    layout.height = uint32_t(height);
    const std::vector<uint8_t> bytes = mediatest::buildAvi({s}, layout);
    return std::string(bytes.begin(), bytes.end());
}

class CameraWindowTest : public ::testing::Test {
protected:
    static constexpr int32_t kRateHz = 1000;
    static constexpr int32_t kScans = 3000;
    static constexpr int32_t kFrameStep = 100;
    static constexpr int32_t kFrames = kScans / kFrameStep;

    void SetUp() override {
        GlFlameTime.clear();
        Acqisition::MakeStackFlameTable();
        driver.setScreen(1920, 1080);
        w = &Acqisition::instance();
        driver.run([this] { w->Show(); });
        driver.advance(1);  // the boot timer
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
        ClearFileNameGlobals();
        GlFlameTime.clear();
        Acqisition::MakeStackFlameTable();
        GlCapNum = 0;
    }

    // Writes and loads the camera recording `base`; the page is 1000 points.
    void loadCamera(const std::string& base = "cam", int32_t sweep = 1000) {
        RecordingSpec layout(2, kRateHz, kScans);
        layout.set("Condition", "strCameraSetting", "1").set("Condition", "strResolution", "32,24");
        layout.set("GLOBAL", "GlCapNum", std::to_string(kFrames)).set("GLOBAL", "GlADCGETCnt", "1");
        layout.set("P", "lSweepPoint", std::to_string(sweep));
        layout.Write(prog.dir(), base);
        std::vector<int32_t> positions;
        for (int32_t k = 0; k < kFrames; ++k) positions.push_back(k * kFrameStep);
        prog.writeBytes(base + ".FLM", flameListBytes(positions, {0}));
        prog.writeBytes(base + ".AVI", solidColourAvi(32, 24, kFrames));
        ASSERT_TRUE(driver.type(w->txtFName, prog.win(base)));
        ASSERT_TRUE(driver.click(w->cmdLoad));
        ASSERT_TRUE(driver.msgBoxes().empty()) << driver.msgBoxes().back().prompt;
        ASSERT_TRUE(cam().IsAVIOK());
        ASSERT_EQ(GAcqParam.PTotal, kScans);
        driver.advance(200);  // the one-shot timers a load starts
    }
    frmCAMDisp& cam() { return frmCAMDisp::instance(); }
    // The colour a player's box shows near its top-left corner.
    static uint32_t shown(forms::PictureBox& box) { return box.surface()->pixel(4, 4) & 0xFFFFFFu; }
    static uint32_t colour(int frame) { return videoFrameColour(frame); }
    void writeSystemIni(const std::string& section, const std::string& key, const std::string& value) {
        IniPathGuard guard(ProgramFile("Tolvane.ini"));
        WriteIniString(section, key, value);
    }

    TempProgramFolder prog;
    StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
};

}  // namespace qv::apptest
