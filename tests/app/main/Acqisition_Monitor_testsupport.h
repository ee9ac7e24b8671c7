#pragma once
// The main window started headless with a two-channel recording in memory and the monitor at
// a size where world and pixels are easy to relate: 200 x 512 pixels, a window of 200 points
// (one point a pixel column) and two bands of 256 pixels each (the library truncates).
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"
#include "platform/gdi/Surface.h"

namespace qv::apptest {

class MonitorTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 200, kHeight = 512, kSweep = 200;
    static constexpr float kLevel0 = 0.625f;  // channel 0's trace: pixel row 96
    static constexpr float kLevel1 = 0.375f;  // channel 1's trace: pixel row 416
    static constexpr uint32_t kTraceColour = 0xC00000;  // RGB(0, 0, 192)

    void SetUp() override {
        w = &Acqisition::instance();
        w->Show();
        driver.advance(5);  // the start-up's one-shot timers
        GAcqCondition = AcqCondition{};
        GAcqCondition.lStartCH = 1;
        GAcqCondition.lEndCH = 2;
        GAcqCondition.lCHCnt = 2;
        GAcqCondition.strTRIGGER_SETTING = "0";
        AcqParam& p = GAcqParam;
        p.PTotal = 100000;
        p.lSweepPoint = kSweep;
        p.lPosWAVE_Start = 0;
        p.wCh = 2;
        p.nSample = 2;
        p.nSClock = 1000;
        p.GbLoading = false;
        p.CHKWaveNo.fill(0);
        p.CHKWaveNo[0] = p.CHKWaveNo[1] = 1;
        p.Condition = GAcqCondition;
        MarkArray.fill(0);
        GsngCalMarkCnt1.fill(0);
        GsngCalMarkCnt2.fill(0);
        w->SetDispStatus("End", false);
        w->chkUseCAL.setValue(1);
        w->chkDispRaw.setValue(1);
        w->chkMean.setValue(0);
        for (int ch = 0; ch < 32; ++ch) w->CHKWaveNo(ch).setValue(ch < 2 ? 1 : 0);
        setRange(0, "1", "0");
        setRange(1, "1", "0");
        w->PBXMoniDisp.Move(w->PBXMoniDisp.Left(), w->PBXMoniDisp.Top(), kWidth, kHeight);
        fillWave();
        w->UpdateCHDisp();
        driver.advance(5);
    }
    void TearDown() override {
        DispWaveArray.Erase();
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
    }
    // Both channels flat at their levels (the raw-trace switch empties the window).
    static void fillWave() {
        DispWaveArray.Redim(2, kSweep + 1);
        for (int i = 0; i <= kSweep; ++i) {
            DispWaveArray(i, 0) = kLevel0;
            DispWaveArray(i, 1) = kLevel1;
        }
    }
    void setRange(int ch, const char* hi, const char* lo) {
        w->chkCopy(ch).setValue(0);
        w->txtDR_WaveLo(ch).setText("-1000");
        w->txtDR_WaveHi(ch).setText(hi);
        w->txtDR_WaveLo(ch).setText(lo);
    }
    void draw(bool force = false) { w->DispFullWave(w->PBXMoniDisp.hDC(), force); }
    uint32_t px(int x, int y) const { return w->PBXMoniDisp.surface()->colorAt(x, y); }
    struct Pixel {
        int x, y;
        uint32_t colour;
    };
    void expectPixels(std::initializer_list<Pixel> pixels) const {
        for (const Pixel& p : pixels) EXPECT_EQ(px(p.x, p.y), p.colour) << p.x << "," << p.y;
    }
    // Pixels of that colour in column x (rows y0..y1 inclusive).
    int countInColumn(int x, int y0, int y1, uint32_t colour) const {
        int n = 0;
        for (int y = y0; y <= y1; ++y) n += px(x, y) == colour;
        return n;
    }
    int countInRow(int y, int x0, int x1, uint32_t colour) const {
        int n = 0;
        for (int x = x0; x <= x1; ++x) n += px(x, y) == colour;
        return n;
    }

    TempProgramFolder prog;
    StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
};

}  // namespace qv::apptest
