// Settings files from the main window, headless: save and load of the three windows, the
// question before loaded data is cleared, RESTORE, the error exit, SELECT AMP, the controls
// copied into the parameter record and the companion programs' named properties.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/main/Acqisition_Csv_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "app/channel/CBoard.h"
#include "app/channel/frmCondition.h"
#include "app/channel/frmSelectAmp.h"
#include "app/common/IniSet.h"
#include "app/common/frmMessage.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Driver.h"

using namespace qv;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        w = &Acqisition::instance();
        driver.run([this] { w->Show(); });
        driver.advance(5);
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        ClearFileNameGlobals();
    }
    void loadRecording() {
        apptest::RecordingSpec(2, 100, 300).Write(prog.dir(), "rec");
        ASSERT_TRUE(driver.type(w->txtFName, prog.win("rec")));
        ASSERT_TRUE(driver.click(w->cmdLoad));
        ASSERT_EQ(GAcqParam.PTotal, 300);
    }
    // A settings file whose load gives txtIncDecEU the text 7.
    void storedSettings() {
        w->txtIncDecEU.setText("7");
        driver.run([&] { w->cmdSaveSetting_Click(); });
        w->txtIncDecEU.setText("1");
    }
    void save() { driver.run([&] { w->cmdSaveSetting_Click(); }); }
    void load() { driver.run([&] { w->cmdLoadSetting_Click(); }); }
    std::string lastMessage() const {
        return driver.msgBoxes().empty() ? std::string() : driver.msgBoxes().back().prompt;
    }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
};

TEST_F(SettingsTest, SaveAndLoadCarryTheControlsOfTheThreeWindows) {
    frmCondition& condition = frmCondition::instance();
    GstrSettingFile.clear();  // the program folder's file stands in
    w->txtIncDecEU.setText("7");
    w->txtMarkComment.setText("a;b\tc");
    condition.txtIP.setText("10.1.2.3");
    save();
    EXPECT_EQ(GstrSettingFile, ProgramFile("SETTING.SET"));
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    const std::string file = prog.readBytes("SETTING.SET");
    for (const char* section : {"[Acqisition.txtIncDecEU]", "[frmCondition.txtIP]", "[frmSelectAmp.cmbSelectCH]"})
        EXPECT_NE(file.find(section), std::string::npos) << section;
    EXPECT_EQ(GAcqParam.ModeString, "End");

    w->txtIncDecEU.setText("1");
    w->txtMarkComment.setText("");
    condition.txtIP.setText("");
    w->lRangeRowEU = 5;
    w->lRangeRowRaw = 3;
    w->SettingCollection.Add("PROPERTY.Acqisition.txtMsg.Text");
    GstrSettingFile.clear();
    load();
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    EXPECT_EQ(w->txtIncDecEU.Text(), "7");
    EXPECT_EQ(w->txtMarkComment.Text(), "a;b\tc");
    EXPECT_EQ(condition.txtIP.Text(), "10.1.2.3");
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_FALSE(w->bInternalUpdate);
    EXPECT_EQ(w->lRangeRowEU, 0);
    EXPECT_EQ(w->lRangeRowRaw, 0);
    EXPECT_EQ(w->SettingCollection.Count(), 0);
    EXPECT_TRUE(w->Enabled());
    EXPECT_FALSE(frmMessage::instance().Visible());
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenIsReportedOnce) {
    GstrSettingFile = prog.win("missing\\SETTING.SET");
    driver.answerMsgBox(forms::vbOK);
    save();
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(lastMessage(), "設定ファイルを保存できませんでした。\r\n" + GstrSettingFile);
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

TEST_F(SettingsTest, LoadedDataFromTheLocalBoardIsClearedOnlyAfterOK) {
    storedSettings();
    loadRecording();
    frmCondition::instance().optGetADBoard.setValue(true);
    driver.answerMsgBox(forms::vbCancel);
    load();
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(lastMessage(), "測定状態を変更すると、データはすべて初期化されます。よろしいですか？");
    EXPECT_EQ(driver.msgBoxes().back().style, forms::vbOKCancel);
    EXPECT_EQ(driver.msgBoxes().back().title, "適用");
    EXPECT_EQ(GAcqParam.PTotal, 300);
    EXPECT_EQ(w->txtIncDecEU.Text(), "1");
    EXPECT_EQ(GAcqParam.ModeString, "End");

    driver.answerMsgBox(forms::vbOK);
    load();
    EXPECT_EQ(GAcqParam.PTotal, 0);
    EXPECT_EQ(w->txtIncDecEU.Text(), "7");
}

TEST_F(SettingsTest, ARemoteSourceKeepsTheDataWithoutAsking) {
    loadRecording();
    storedSettings();  // of the recording's channels
    frmCondition::instance().optGetRemoteHost.setValue(true);
    frmCondition::instance().optGetADBoard.setValue(false);
    const size_t shown = driver.msgBoxes().size();
    load();
    EXPECT_EQ(driver.msgBoxes().size(), shown);
    EXPECT_EQ(GAcqParam.PTotal, 300);
    EXPECT_EQ(w->txtIncDecEU.Text(), "7");
}

TEST_F(SettingsTest, ALoadThatFailsHalfWayLeavesNothingMuted) {
    storedSettings();
    // A box restored by the load asks something nobody answers: the load is cut short there.
    auto failing = w->txtIncDecEU.Change.connect([&] {
        if (w->bInternalUpdate) forms::MsgBox("?");
    });
    EXPECT_ANY_THROW(load());
    EXPECT_FALSE(w->bInternalUpdate);
    EXPECT_EQ(GAcqParam.ModeString, "End");
    EXPECT_TRUE(w->Enabled());
    EXPECT_FALSE(frmMessage::instance().Visible());
}

TEST_F(SettingsTest, RestoreAsksOnlyWithDataAndPutsTheRecordBackOnCancel) {
    storedSettings();
    std::vector<bool> requests;
    auto watch = w->txtIncDecEU.Change.connect([&] { requests.push_back(w->bAutoCall); });
    // Without data: no question, the settings come back as a request of the program.
    driver.run([&] { w->cmdLoadREGIST_Click(); });
    EXPECT_TRUE(driver.msgBoxes().empty()) << lastMessage();
    EXPECT_EQ(w->txtIncDecEU.Text(), "7");
    EXPECT_EQ(requests, std::vector<bool>{true});
    EXPECT_FALSE(w->bAutoCall);
    EXPECT_FALSE(w->bInLoadREGIST);

    // With data, Cancel: the record as it was, the data kept.
    w->txtIncDecEU.setText("1");
    loadRecording();
    const AcqParam before = GAcqParam;
    driver.answerMsgBox(forms::vbCancel);
    driver.run([&] { w->cmdLoadREGIST_Click(); });
    EXPECT_EQ(lastMessage(), "RESTOREすると、データはすべて初期化されます。よろしいですか？");
    EXPECT_EQ(driver.msgBoxes().back().title, "適用");
    EXPECT_TRUE(GAcqParam == before);
    EXPECT_EQ(w->txtIncDecEU.Text(), "1");

    // While settings are being applied RESTORE does nothing at all.
    const size_t shown = driver.msgBoxes().size();
    w->bInternalUpdate = true;
    driver.run([&] { w->cmdLoadREGIST_Click(); });
    w->bInternalUpdate = false;
    EXPECT_EQ(driver.msgBoxes().size(), shown);
    EXPECT_EQ(GAcqParam.PTotal, 300);

    // OK: the data goes, the settings come back (the load's own question does not appear).
    driver.answerMsgBox(forms::vbOK);
    driver.run([&] { w->cmdLoadREGIST_Click(); });
    EXPECT_EQ(driver.msgBoxes().size(), shown + 1);
    EXPECT_EQ(GAcqParam.PTotal, 0);
    EXPECT_EQ(w->txtIncDecEU.Text(), "7");
}

TEST_F(SettingsTest, SelectAmpNeedsTheAmplifierDefinitions) {
    std::filesystem::remove(prog.dir() / "AmpDef.ini");
    driver.answerMsgBox(forms::vbOK);
    w->SetDispStatus("End", false);
    driver.run([&] { w->cmdSelectAmp_Click(); });
    EXPECT_EQ(lastMessage(),
              "SELECT AMP できません。\r\nAmpDef.iniファイルがありません。生体アンプの定義ファイルが無い場合、"
              "この画面の機能を利用することはできません。\r\nAmpDef.iniファイルが C:\\Tolvane\\ にある状態にしてください。");
    EXPECT_EQ(driver.msgBoxes().back().style, 48);
    EXPECT_FALSE(frmSelectAmp::instance().Visible());
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

TEST_F(SettingsTest, SelectAmpShowsTheAmplifierWindowForTheBoardsResolution) {
    CBoard& board = CBoard::instance();
    board.SelectBoard(5);
    std::string modeWhileShown;
    driver.onModal("frmSelectAmp", [&](forms::Form& f) {
        modeWhileShown = GAcqParam.ModeString;
        f.Hide();
    });
    driver.run([&] { w->cmdSelectAmp_Click(); });
    EXPECT_EQ(modeWhileShown, "SEL AMP");
    EXPECT_EQ(frmSelectAmp::instance().BoardBit(), board.BordBit(5));
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

TEST_F(SettingsTest, ControlValuesGoIntoTheParameterRecord) {
    {
        Acqisition::RaisedFlag quiet(GAcqParam.GbLoading);  // the range boxes' own handlers rest
        w->chkUseCAL.setValue(1);
        w->txtDR_WaveHi(0).setText("12.5");
        w->txtDR_WaveLo(0).setText("-3");
        w->txtDR_WaveHi(1).setText("abc");  // does not convert: the field stays
        w->txtDR_WaveLo(1).setText("");
        w->txtDR_WaveHi_V(0).setText("2048");
        w->txtDR_WaveLo_V(0).setText("-2048");
    }
    GAcqParam.DR_WaveHi[1] = 9;
    GAcqParam.DR_WaveLo[1] = -9;
    w->TXTPreSetCounter.setText("10.5");
    w->txtEndTime.setText("4.25s");
    w->txtStartTime.setText("2.5");
    w->CHKWaveNo(3).setValue(1);
    w->chkCal(4).setValue(1);
    driver.run([&] { w->SaveObjectValue(); });
    const AcqParam& a = GAcqParam;
    EXPECT_EQ(a.DR_WaveHi[0], 12.5f);
    EXPECT_EQ(a.DR_WaveLo[0], -3.0f);
    EXPECT_EQ(a.DR_WaveHi[1], 9.0f);
    EXPECT_EQ(a.DR_WaveLo[1], -9.0f);
    EXPECT_EQ(a.NTimerPreSet, 10);  // halves to even
    EXPECT_EQ(a.sngEndCSVTime, 4.25f);
    EXPECT_EQ(a.lStartCSVTime, 2);
    EXPECT_EQ(a.CHKWaveNo[3], 1);
    EXPECT_EQ(a.lchkCal_Value[4], 1);
    EXPECT_EQ(a.lcmbSampleFreq_ListIndex, w->cmbSampleFreq.ListIndex());
    EXPECT_EQ(a.lcmbTimeFS_ListIndex, w->cmbTimeFS.ListIndex());

    // Without USE CAL the A/D pair is read; texts that do not convert change nothing.
    {
        Acqisition::RaisedFlag quiet(GAcqParam.GbLoading);
        w->chkUseCAL.setValue(0);
    }
    w->TXTPreSetCounter.setText("");
    w->txtEndTime.setText("1e99");
    driver.run([&] { w->SaveObjectValue(); });
    EXPECT_EQ(a.DR_WaveHi[0], 2048.0f);
    EXPECT_EQ(a.DR_WaveLo[0], -2048.0f);
    EXPECT_EQ(a.NTimerPreSet, 10);
    EXPECT_EQ(a.sngEndCSVTime, 4.25f);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(SettingsTest, TheCollectionSetsNamedPropertiesExceptTheExcludedOnes) {
    frmCondition& condition = frmCondition::instance();
    condition.txtIP.setText("keep");
    w->txtIncDecEU.setText("keep");
    w->TXTPreSetCounter.setText("5");
    const auto add = [&](const std::string& name, const std::string& value) {
        w->SettingCollection.Add(name);
        w->SettingCollection.Add(value, "VAL=" + name);
    };
    add("PROPERTY.frmCondition.txtIP.Text", "1.2.3.4");
    add("PROPERTY.frmCondition.txtCH.Text", "3-5");
    add("VARIABLE.Acqisition.txtIncDecEU.Text", "8");
    add("PROPERTY.Acqisition.txtIncDecEU", "9");
    add("PROPERTY.Acqisition.txtName(3).Text", "呼吸");
    add("PROPERTY.Acqisition.TXTPreSetCounter.Text", "99");
    add("property.Acqisition.txtMsg.Text", "lower case");
    driver.run([&] { w->ApplySettingCollection(); });
    EXPECT_EQ(condition.txtIP.Text(), "keep");
    EXPECT_EQ(condition.txtCH.Text(), "3-5");
    EXPECT_EQ(w->txtIncDecEU.Text(), "keep");
    EXPECT_EQ(w->txtName(3).Text(), "呼吸");
    EXPECT_EQ(w->TXTPreSetCounter.Text(), "5");
    EXPECT_NE(w->txtMsg.Text(), "lower case");
}

// Over a recording from the remote host (instance mode 0): a channel range the rows cannot hold
// is ignored and logged, paging and CSV go on; other channels ask first, as the local board does.
using SettingsOverRecordingTest = apptest::CsvTest;
TEST_F(SettingsOverRecordingTest, ChannelRangesOfASettingsFile) {
    InstanceMode = 0;
    load(apptest::RecordingSpec(2, 1000, 5000));
    frmCondition::instance().optGetRemoteHost.setValue(true);
    const auto loadFile = [&](const std::string& text) {
        prog.writeBytes(text + ".SET", "[frmCondition.txtCH]\r\nText=" + text + "\r\n");
        GstrSettingFile = prog.win(text + ".SET");
        driver.run([&] { w->cmdLoadSetting_Click(); });
    };
    for (const std::string text : {"33", "1000", "1e999"}) {  // the last beyond the number range
        loadFile(text);
        EXPECT_EQ(apptest::dayLogLines(prog.dir(), "の値 \"" + text + "\""), 1u) << text;
    }
    loadFile("33");  // once a load
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "の値 \"33\""), 2u);
    EXPECT_EQ(GAcqCondition.lEndCH, 2);
    ASSERT_TRUE(driver.click(w->cmdMoveNext));
    range("0", "1", 10);
    ASSERT_TRUE(exportCsv());
    EXPECT_TRUE(exists("test.CSV"));
    EXPECT_TRUE(driver.msgBoxes().empty() && driver.errors().empty()) << lastMessage();
    const AcqParam before = GAcqParam;
    driver.answerMsgBox(forms::vbCancel);
    loadFile("1-8");
    EXPECT_TRUE(lastMessage().starts_with("測定状態を変更すると") && GAcqParam == before);
    driver.answerMsgBox(forms::vbOK);
    loadFile("1-8");
    EXPECT_EQ(GAcqParam.PTotal, 0);
    EXPECT_EQ(GAcqCondition.lEndCH, 8);
}

}  // namespace
