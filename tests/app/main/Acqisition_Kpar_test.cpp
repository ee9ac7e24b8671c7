// The parameter file: read into a staging record, refused whole when any of it is bad, and
// applied to the records and controls in the file's order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/main/Acqisition_Recording_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "app/camera/frmCAMDisp.h"
#include "app/camera/modCAM.h"
#include "app/channel/CCalSetting.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/Acqisition2.h"
#include "app/main/KparParam.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Driver.h"

using namespace qv;
using apptest::RecordingSpec;

namespace {

std::vector<std::string> entries(const forms::ListControl& l) {
    std::vector<std::string> v;
    for (int i = 0; i < l.ListCount(); ++i) v.push_back(l.List(i));
    return v;
}

// Everything a parameter file may change, to show that a refused one changed none of it.
struct Everything {
    AcqParam param;
    std::string eu, names, units, calCopy, iniFile;
    std::array<int32_t, 100> marks{};
    std::vector<std::string> texts, lists;
    std::vector<int> values;
    int32_t capNum = 0, adcGetCnt = 0, adStart = 0;
    bool operator==(const Everything&) const = default;
};

class AcqisitionKparTest : public apptest::RecordingWindowTest {
protected:
    void TearDown() override {
        RecordingWindowTest::TearDown();
        MarkArray = {};
        GlCapNum = GlADCGETCnt = GlTime_ADSTART = 0;
    }
    std::string write(const RecordingSpec& layout, const std::string& base = "rec") {
        layout.Write(prog.dir(), base);
        return prog.win(base + ".Kpar");
    }
    void load(const RecordingSpec& layout, const std::string& base = "rec") {
        const std::string path = write(layout, base);
        GstrKparFile = path;  // as the recording load names it before reading
        // As inside a recording load: the range boxes' handlers only store what they get.
        GAcqParam.GbLoading = true;
        w->CommitKparParam(path, w->ParseKparParam(path));
        GAcqParam.GbLoading = false;
    }
    int refusal(const RecordingSpec& layout) {
        const std::string path = write(layout, "bad");
        return apptest::errorNumber([&] { (void)w->ParseKparParam(path); });
    }
    // A first recording unlike the generator's default, so a refused file has something to keep.
    void loadSomething() {
        RecordingSpec first(3, 100, 400, 2);
        first.set("MARK", "MARK(0)", "2").set("MARK", "MARK(1)", "1").set("MARK", "MARK(2)", "3");
        first.set("LISTBOX", "lstMarkCom.ListCount", "1").set("LISTBOX", "lstMarkCom(0)", "first");
        first.set("GLOBAL", "GlCapNum", "7").set("Acqisition", "chkCopy(1)", "1");
        first.set("Acqisition", "txtDR_WaveHi(1)", "11").set("DETECTR", "Acqisition.chkDetectR.Value", "1");
        first.set("Condition", "strP2PHist", "2 ^ 8").set("Control", "txtAdjustMS", "42");
        load(first, "first");
    }
    Everything everything() const {
        Everything e;
        e.param = GAcqParam;
        e.eu.assign(reinterpret_cast<const char*>(GCalRecEU.data()), sizeof(GCalRecEU));
        e.names = GstrCalNames;
        e.units = GstrCalUnits;
        for (int32_t i = 0; i < 32; ++i)
            e.calCopy += GCCalSettingCopy.CHName(i) + GCCalSettingCopy.Unit(i) +
                         GCCalSettingCopy.EU_HI(i) + GCCalSettingCopy.Cal_AD(i) + "|";
        e.iniFile = GetIniFileName();
        e.marks = MarkArray;
        for (int32_t i = 0; i < 32; ++i) {
            e.values.push_back(w->chkCopy(i).Value());
            e.values.push_back(w->chkCopy_V(i).Value());
            for (forms::TextBox* t : {&w->txtDR_WaveHi(i), &w->txtDR_WaveLo(i), &w->txtDR_WaveHi_V(i),
                                      &w->txtDR_WaveLo_V(i)})
                e.texts.push_back(t->Text());
        }
        frmCAMDisp& cam = frmCAMDisp::instance();
        frmCondition& cond = frmCondition::instance();
        for (forms::TextBox* t : {&cam.txtAdjustMS, &cam.txtMP3Adjust, &cam.txtStartTime, &cam.txtEndTime,
                                  &cam.txtMP3AdjustOffset, &w->txtDetectRCHNo})
            e.texts.push_back(t->Text());
        e.values.insert(e.values.end(), {w->chkDispRaw.Value(), w->chkDispCAMPos.Value(),
                                         w->chkDetectR.Value(), cond.chkAudioSetting.Value(),
                                         cond.cmbP2PHist.ListIndex()});
        e.lists = entries(w->lstMarkCom);
        for (const std::string& s : entries(Acqisition2::instance().lstTrigDateTime)) e.lists.push_back(s);
        e.capNum = GlCapNum;
        e.adcGetCnt = GlADCGETCnt;
        e.adStart = GlTime_ADSTART;
        return e;
    }
};

// The 32-byte field of a name as the library takes it.
std::string field(const std::string& text, size_t nuls) { return text + std::string(nuls, '\0') + " "; }

TEST_F(AcqisitionKparTest, TheGeneratedRecordingFillsRecordsControlsAndCalibration) {
    loadSomething();
    RecordingSpec layout;
    layout.set("P", "Comment(1)", "first ; second").set("MARK", "MARK(0)", "2");
    layout.set("MARK", "MARK(1)", "4").set("MARK", "MARK(2)", "1");  // kept unsorted
    layout.set("LISTBOX", "lstTrigDateTime.ListCount", "2").set("LISTBOX", "lstTrigDateTime(0)", "a");
    layout.set("LISTBOX", "lstTrigDateTime(1)", "b");
    layout.set("GLOBAL", "GlADCGETCnt", "3").set("GLOBAL", "GlTime_ADSTART", "-5");
    const std::string path = write(layout);
    GstrKparFile = path;
    w->CommitKparParam(path, w->ParseKparParam(path));

    EXPECT_EQ(GAcqParam.wCh, 2);
    EXPECT_EQ(GAcqParam.nSClock, 100000);
    EXPECT_EQ(GAcqParam.PTotal, 50);
    EXPECT_EQ(basic::CStrDate(GAcqParam.Date_Time_Start), "2020/01/29 13:45:00");
    EXPECT_EQ(GAcqParam.Comment[0], "hello");
    EXPECT_EQ(GAcqParam.Comment[1], "first");
    EXPECT_EQ(GAcqParam.Condition.lStartCH, 1);
    EXPECT_EQ(GAcqParam.Condition.strADBOARD, "VylK10[±5]");
    EXPECT_EQ(GAcqParam.Condition.strP2PHist, "2 ^ 11");
    EXPECT_EQ(frmCondition::instance().cmbP2PHist.Text(), "2 ^ 11");
    EXPECT_EQ(GCalRecEU[1].Cal_AD, 1.0f);
    EXPECT_EQ(GCalRecEU[5].Cal_AD, 2048.0f);
    EXPECT_EQ(GCalRecEU[5].EU_HI, 100.0f);
    EXPECT_EQ((std::vector<int32_t>{MarkArray[0], MarkArray[1], MarkArray[2]}), (std::vector<int32_t>{2, 4, 1}));
    EXPECT_EQ(GlCapNum, 0);
    EXPECT_EQ(GlADCGETCnt, 3);
    EXPECT_EQ(GlTime_ADSTART, -5);
    EXPECT_EQ(entries(w->lstMarkCom), std::vector<std::string>{});
    EXPECT_EQ(entries(Acqisition2::instance().lstTrigDateTime), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(w->chkCopy(1).Value(), 0);
    EXPECT_EQ(w->txtDR_WaveHi(1).Text(), "60");
    EXPECT_EQ(w->chkDetectR.Value(), 0);
    EXPECT_FALSE(GAcqParam.bL2LMode);
    // Names: part i is absolute channel i + 1, a 32-byte field each; the set takes them back.
    EXPECT_EQ(GstrCalNames.substr(0, 64), field("ch1", 28) + field("ch2", 28));
    EXPECT_EQ(GstrCalUnits.substr(64, 32), field("V", 30));
    EXPECT_EQ(GCCalSettingCopy.CHName(1), "ch2");
    EXPECT_EQ(GCCalSettingCopy.Unit(31), "V");
    EXPECT_EQ(GCCalSettingCopy.Cal_AD(5), "2048");
    // The camera window's section "Control"; the file stays the current ini file.
    EXPECT_EQ(frmCAMDisp::instance().txtEndTime.Text(), "5");
    EXPECT_EQ(frmCAMDisp::instance().txtAdjustMS.Text(), "0");
    EXPECT_EQ(GetIniFileName(), path);
}

TEST_F(AcqisitionKparTest, StrictLenientTextAndCurrentValueKeys) {
    loadSomething();
    const Everything before = everything();
    RecordingSpec layout;
    layout.set("P", "wChNo(0)", "2.5").set("P", "wChNo(1)", "3.5");      // strict: halves to even
    layout.set("CAL", "Cal(0).fEU_HI", "12abc").set("CAL", "Cal(1).fEU_HI", "");  // lenient
    layout.set("MARK", "MARK(0)", "3").set("MARK", "MARK(1)", "7x").remove("MARK", "MARK(2)");
    layout.set("P", "Comment(2)", "  two\tthree");                           // text: TAB cuts
    layout.remove("P", "CHKWaveNo(1)").remove("P", "DR_WaveHi(1)").set("P", "DR_WaveLo(1)", "");
    layout.remove("Acqisition", "txtDR_WaveHi(1)");
    layout.remove("CTRL", "frmCAMDisp.txtAdjustMS.Text");
    load(layout);
    EXPECT_EQ(GAcqParam.wChNo[0], 2);
    EXPECT_EQ(GAcqParam.wChNo[1], 4);
    EXPECT_EQ(GCalRecEU[0].EU_HI, 12.0f);
    EXPECT_EQ(GCalRecEU[1].EU_HI, 0.0f);
    EXPECT_EQ((std::vector<int32_t>{MarkArray[0], MarkArray[1], MarkArray[2], MarkArray[3]}),
              (std::vector<int32_t>{3, 7, 0, 0}));
    EXPECT_EQ(GAcqParam.Comment[2], "two");
    // Missing or empty: what the record and the boxes held before.
    EXPECT_EQ(GAcqParam.CHKWaveNo[1], before.param.CHKWaveNo[1]);
    EXPECT_EQ(GAcqParam.DR_WaveHi[1], before.param.DR_WaveHi[1]);
    // The low range box is written after the record: clearing chkCopy(1) set it to -11, the
    // file's text then to -60, and the box stores what it gets.
    EXPECT_EQ(GAcqParam.DR_WaveLo[1], -60.0f);
    EXPECT_EQ(w->txtDR_WaveHi(1).Text(), "11");
    // Section "Control" comes last and sets the adjustment box either way.
    EXPECT_EQ(frmCAMDisp::instance().txtAdjustMS.Text(), "0");
}

TEST_F(AcqisitionKparTest, DerivedValues) {
    // Total points from tenths of a second; the rate list's entry replaces the file's index.
    RecordingSpec layout(2, 1000, 10);
    layout.set("P", "PTotal", "0").set("P", "NFrame", "100").set("P", "lcmbSampleFreq_ListIndex", "2");
    layout.set("Condition", "strResolution", "640,480").set("Control", "txtAdjustMS", "25");
    layout.remove("Control", "txtEndTime");
    load(layout);
    EXPECT_EQ(GAcqParam.PTotal, 10000);
    ASSERT_EQ(w->cmbSampleFreq.ItemData(6), 1000);
    EXPECT_EQ(GAcqParam.lcmbSampleFreq_ListIndex, 6);
    EXPECT_EQ(GAcqParam.Condition.lCameraWidth, 640);
    EXPECT_EQ(GAcqParam.Condition.lCameraHeight, 480);
    EXPECT_EQ(frmCAMDisp::instance().txtAdjustMS.Text(), "25");
    EXPECT_EQ(frmCAMDisp::instance().txtEndTime.Text(), "10");

    // A rate the list lacks keeps the file's index; one size part changes neither size.
    RecordingSpec odd;
    odd.set("P", "nSClock", "3").set("P", "lcmbSampleFreq_ListIndex", "4");
    odd.set("Condition", "strResolution", "800");
    load(odd);
    EXPECT_EQ(GAcqParam.lcmbSampleFreq_ListIndex, 4);
    EXPECT_EQ(GAcqParam.Condition.lCameraWidth, 640);

    // Format version "1": one range key a channel, hi = v and lo = -v.
    RecordingSpec v1;
    v1.set("P", "nVer", "1").set("P", "DR_Wave(3)", "5").set("P", "DR_WaveHi(3)", "99");
    load(v1);
    EXPECT_EQ(GAcqParam.DR_WaveHi[3], 5.0f);
    EXPECT_EQ(GAcqParam.DR_WaveLo[3], -5.0f);

    int32_t clock = 1000;
    EXPECT_EQ(w->GetSanplingRateSelect(clock), 6);
    clock = 0;
    EXPECT_EQ(apptest::errorNumber([&] { w->GetSanplingRateSelect(clock); }), 11);
    EXPECT_EQ(SanplingRateSelect({}, 0), -1);
}

TEST_F(AcqisitionKparTest, NamesAreCutTo31Cp932BytesNeverInsideACharacter) {
    RecordingSpec layout;
    std::string names = "12345," + std::string(40, 'x') + ",";
    for (int i = 0; i < 16; ++i) names += "あ";  // 32 bytes: the 16th would straddle byte 31
    for (int i = 3; i < 34; ++i) names += ",n" + std::to_string(i);  // 34 parts: the extra ones drop
    layout.set("pName", "pName", names).set("pUnit", "pUnit", "電圧" + std::string(31, ','));
    load(layout);
    EXPECT_EQ(GstrCalNames.substr(0, 32), field("12345", 26));
    EXPECT_EQ(GstrCalNames.substr(32, 32), std::string(31, 'x') + " ");
    std::string fifteen;
    for (int i = 0; i < 15; ++i) fifteen += "あ";
    EXPECT_EQ(GCCalSettingCopy.CHName(2), fifteen);
    EXPECT_EQ(GCCalSettingCopy.CHName(31), "n31");
    EXPECT_EQ(GCCalSettingCopy.Unit(0), "電圧");
    EXPECT_EQ(GCCalSettingCopy.Unit(1), "");
}

TEST_F(AcqisitionKparTest, EveryRefusalLeavesEverythingAsItWas) {
    loadSomething();
    const Everything before = everything();
    struct Case {
        const char* what;
        std::function<void(RecordingSpec&)> change;
        int error;
    };
    const auto set = [](const char* s, const char* k, std::string v) {
        return [=](RecordingSpec& r) { r.set(s, k, v); };
    };
    std::vector<Case> cases = {
        {"strict text", set("P", "wCh", "two"), 13},
        {"16-bit overflow", set("P", "wChNo(3)", "40000"), 6},
        {"32-bit overflow", set("P", "nScan", "3000000000"), 6},
        {"bad date", set("P", "Date_Time_Start", "yesterday"), 13},
        {"zero period", set("P", "nSClock", "0"), 11},
        {"31 names", set("pName", "pName", std::string(30, ',')), 9},
        {"no units", [](RecordingSpec& r) { r.remove("pUnit", "pUnit"); }, 9},
        {"100 marks", set("MARK", "MARK(0)", "100"), 9},
        {"negative marks", set("MARK", "MARK(0)", "-1"), 9},
        {"list count text", set("LISTBOX", "lstMarkCom.ListCount", "many"), 13},
        {"check box 3", set("Acqisition", "chkCopy(2)", "3"), 380},
        {"raw box -1", set("CTRL", "chkDispRaw.Value", "-1"), 380},
        {"first channel 0", set("Condition", "lStartCH", "0"), 9},
        {"start after end", [](RecordingSpec& r) { r.set("Condition", "lStartCH", "3"); }, 9},
        {"end past 32", [](RecordingSpec& r) {
             r.set("Condition", "lStartCH", "32").set("Condition", "lEndCH", "33");
         }, 9},
        {"count disagrees", set("Condition", "lCHCnt", "3"), 9},
        {"wCh disagrees", set("P", "wCh", "3"), 9},
        {"no samples", set("P", "nSample", "0"), 9},
        {"negative total", set("P", "PTotal", "-1"), 9},
        {"negative page", set("P", "lSweepPoint", "-1"), 9},
        {"page too long", set("P", "lSweepPoint", "4194304"), 9},
        {"negative frames", set("GLOBAL", "GlCapNum", "-1"), 9},
        {"negative third block", set("GLOBAL", "GlADCGETCnt", "-2"), 9},
    };
    for (const char* required : {"lStartCH", "lEndCH", "lCHCnt", "lFlage", "lADBOARD", "lADBOARD_ID",
                                 "lADBOARD_BIT", "sngADBOARD_V", "lCOMP_CH_ID", "lTTL", "lP2PHist"})
        cases.push_back({required, [=](RecordingSpec& r) { r.remove("Condition", required); }, 13});
    for (const Case& c : cases) {
        RecordingSpec layout;
        c.change(layout);
        EXPECT_EQ(refusal(layout), c.error) << c.what;
        EXPECT_TRUE(everything() == before) << c.what;
    }
    // A missing parameter file reads its defaults, whose sample period of 0 is refused first.
    EXPECT_EQ(apptest::errorNumber([&] { (void)w->ParseKparParam(prog.win("none.Kpar")); }), 11);
    EXPECT_TRUE(everything() == before);
}

TEST_F(AcqisitionKparTest, ApplyingRunsTheControlsHandlers) {
    loadSomething();
    int copyClicks = 0, rangeChanges = 0, detectClicks = 0, audioClicks = 0;
    forms::ScopedConnection a(w->chkCopy(1).Click.connect([&] { ++copyClicks; }));
    forms::ScopedConnection b(w->txtDR_WaveHi(1).Change.connect([&] { ++rangeChanges; }));
    forms::ScopedConnection c(w->chkDetectR.Click.connect([&] { ++detectClicks; }));
    forms::ScopedConnection d(frmCondition::instance().chkAudioSetting.Click.connect([&] { ++audioClicks; }));
    RecordingSpec layout;
    layout.set("CTRL", "frmCondition.chkAudioSetting.Value", "1");
    load(layout);
    EXPECT_EQ(copyClicks, 1);    // 1 -> 0
    EXPECT_EQ(rangeChanges, 1);  // "11" -> "60"
    EXPECT_EQ(detectClicks, 1);  // 1 -> 0
    EXPECT_EQ(audioClicks, 1);
    // The same file again changes no value, so no handler runs.
    load(layout);
    EXPECT_EQ(copyClicks + rangeChanges + detectClicks + audioClicks, 4);
}

TEST_F(AcqisitionKparTest, IniSyntaxVariantsReadTheSame) {
    RecordingSpec plain;
    plain.set("P", "Comment(3)", "電圧 チェック");
    loadSomething();  // the range boxes store what changes in them: the same history each time
    load(plain);
    const AcqParam expected = GAcqParam;
    const std::string names = GstrCalNames;
    const auto variant = [&](const char* what, const std::function<void(RecordingSpec&)>& change) {
        loadSomething();  // other values in between, so a variant read wrong cannot pass
        RecordingSpec layout;
        layout.set("P", "Comment(3)", "電圧 チェック");
        change(layout);
        load(layout, "variant");
        AcqParam got = GAcqParam;
        EXPECT_TRUE(got == expected) << what;
        EXPECT_EQ(GstrCalNames, names) << what;
    };
    variant("LF lines", [](RecordingSpec& r) { r.lfOnly = true; });
    variant("UTF-8 with mark", [](RecordingSpec& r) { r.utf8Bom = true; });
    variant("blanks around =", [](RecordingSpec& r) { r.blanksAroundEquals = true; });
    variant("lower case", [](RecordingSpec& r) { r.lowerCaseNames = true; });
    variant("quoted", [](RecordingSpec& r) { r.quoteValues = true; });
    variant("duplicates", [](RecordingSpec& r) {
        r.extraText = "[P]\r\nwCh=9\r\n[Condition]\r\nlStartCH=5\r\n";
    });
}

TEST_F(AcqisitionKparTest, ListsAreCappedAndTheirCountsRead) {
    RecordingSpec layout;
    layout.set("LISTBOX", "lstMarkCom.ListCount", "2").set("LISTBOX", "lstMarkCom(0)", "one");
    layout.set("LISTBOX", "lstTrigDateTime.ListCount", "1e9");
    load(layout);
    EXPECT_EQ(entries(w->lstMarkCom), (std::vector<std::string>{"one", ""}));
    EXPECT_EQ(Acqisition2::instance().lstTrigDateTime.ListCount(), 32767);
}

}  // namespace
