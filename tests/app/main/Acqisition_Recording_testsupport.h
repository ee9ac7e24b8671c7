#pragma once
// The started main window in a temporary program folder, for the tests of recording files:
// the window in mode "End" with no recording, and the parameter record emptied afterwards.
#include <gtest/gtest.h>

#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"

namespace qv::apptest {

class RecordingWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        w = &Acqisition::instance();
        GAcqParam.ModeString = "End";
    }
    void TearDown() override { GAcqParam = AcqParam{}; }

    TempProgramFolder prog;
    StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
};

}  // namespace qv::apptest
