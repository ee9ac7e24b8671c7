// A recording written by the recording object loads through the viewer's own reader with the
// same parameters, names, calibration and samples.
#include <gtest/gtest.h>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/recording/CKdat_testfixture.h"
#include "app/common/modCalRecord.h"
#include "app/main/Acqisition.h"
#include "app/main/KparParam.h"
#include "platform/forms/Driver.h"

using namespace qv;

namespace {

class KdatViewerTest : public apptest::KdatTestBase {
protected:
    void SetUp() override {
        KdatTestBase::SetUp();
        w = &Acqisition::instance();
        GAcqParam.ModeString = "End";
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        MarkArray = {};
        GstrKdatFile.clear();
        KdatTestBase::TearDown();
    }
    apptest::StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
};

}  // namespace

TEST_F(KdatViewerTest, RecordingWrittenByTheObjectLoadsInTheViewer) {
    apptest::WriteKdatStoreCalibration();
    apptest::KdatRecordingSpec layout;
    layout.channels = 5;
    layout.rateHz = 2000;
    layout.frames = 17;  // 3,400 scans: one whole block of 2,000 and a partial one
    const int32_t scans = apptest::WriteKdatRecording(prog.win("viewer.Kdat"), layout);
    ASSERT_EQ(scans, 3400);

    const std::string kpar = prog.win("viewer.Kpar");
    w->CommitKparParam(kpar, w->ParseKparParam(kpar));
    EXPECT_EQ(GAcqParam.wCh, 5);
    EXPECT_EQ(GAcqParam.nSample, 200);
    EXPECT_EQ(GAcqParam.nSClock, 500);
    EXPECT_EQ(GAcqParam.NFrame, 17);
    EXPECT_EQ(GAcqParam.PTotal, 3400);
    EXPECT_EQ(GAcqParam.NTimer, 1);
    EXPECT_EQ(GAcqParam.Date_Time_Start, basic::DateSerial(2019, 11, 3) + basic::TimeSerial(7, 5, 9));
    EXPECT_EQ(GAcqParam.Condition.strCH, "1-5");
    EXPECT_EQ(GAcqParam.Condition.lEndCH, 5);
    EXPECT_EQ(GAcqParam.Condition.lCHCnt, 5);
    EXPECT_EQ(GAcqParam.lSweepPoint, 5000);
    // The store's names and calibration, channel by channel.
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(GCalRecEU[static_cast<size_t>(i)].Cal_AD, 1000.0f + i) << i;
        EXPECT_EQ(GCalRecEU[static_cast<size_t>(i)].EU_HI, 10.0f + i) << i;
        EXPECT_EQ(GCalRecEU[static_cast<size_t>(i)].EU_LO, -1.0f * i) << i;
        EXPECT_EQ(GCalRecEU[static_cast<size_t>(i)].Base_AD, 1.0f * i) << i;
        EXPECT_EQ(GCCalSettingCopy.CHName(i), "名前" + std::to_string(i));
        EXPECT_EQ(GCCalSettingCopy.Unit(i), "mV");
    }
    EXPECT_EQ(GstrCalNames.substr(0, 64), CalTextLSet(CKdat::PadTo32("名前0") + CKdat::PadTo32("名前1")).substr(0, 64));

    // Every sample through the viewer's raw reader, the partial last block included.
    GstrKdatFile = prog.win("viewer.Kdat");
    LoadRawSamples(0, 3400);
    for (int64_t s = 0; s < 3400; ++s)
        for (int32_t c = 0; c < 5; ++c)
            ASSERT_EQ(RawSampleBuffer[static_cast<size_t>(s * 5 + c)], apptest::KdatPatternSample(s, c))
                << "scan " << s << " channel " << c;
}
