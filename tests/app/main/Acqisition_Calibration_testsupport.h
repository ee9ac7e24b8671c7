#pragma once
// The started and shown main window for the calibration tests, and a recording of the test
// generator opened through the load button (load()): three channels from channel 2 (rows 1..3),
// 100 scans a page, with "USE CAL" ticked, so the page holds the recorded words as they are.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "app/camera/modCAM.h"
#include "app/channel/CCalSetting.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"

namespace qv::apptest {

class CalibrationWindowTest : public ::testing::Test {
protected:
    static constexpr int kPage = 100;

    void SetUp() override {
        GlFlameTime.clear();
        w = &Acqisition::instance();
        driver.run([this] { w->Show(); });
        w->chkUseCAL.setValue(1);
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
        ClearFileNameGlobals();
        GsngCalMarkCnt1.fill(0);
        GsngCalMarkCnt2.fill(0);
        GCCalSettingAcq = GCCalSettingDisp = GCCalSettingCopy = CCalSetting();
    }
    // Writes the recording and opens it with the load button; every check box of the
    // calibration column is clear afterwards, as the recording stores them.
    void load(const RecordingSpec& layout) {
        layout.Write(prog.dir(), "cal");
        ASSERT_TRUE(driver.type(w->txtFName, prog.win("cal")));
        ASSERT_TRUE(driver.click(w->cmdLoad));
        ASSERT_TRUE(driver.msgBoxes().empty()) << driver.msgBoxes().back().prompt;
        ASSERT_EQ(GAcqParam.lSweepPoint, kPage);
    }
    // Channel c (0-based within the recording) of scan p as a two-level step: `low` before
    // the middle of each page, `high` from there.
    static RecordingSpec stepRecording(int16_t low, int16_t high) {
        RecordingSpec layout(3, kPage, 3 * kPage, 2);
        layout.sample = [low, high](int32_t p, int32_t) { return p % kPage < kPage / 2 ? low : high; };
        return layout;
    }

    TempProgramFolder prog;
    StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
};

}  // namespace qv::apptest
