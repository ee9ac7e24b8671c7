// The acquisition-conditions window, driven as a user would through the SETUP button's modal
// run: refusals on OK, Cancel and Esc, the settings file, the lists and the handlers.
#include "app/channel/frmCondition.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "app/channel/AmpCalTable.h"
#include "app/channel/CBoard.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Globals.h"

using namespace qv;

namespace {

constexpr int kExclamation = 48;
constexpr int kBoardVylK32 = 18;  // type 23: trigger, digital trigger and a device name
constexpr int kBoardVylK10_5 = 1;

class frmConditionTest : public ::testing::Test {
protected:
    void SetUp() override {
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
        GAcqConditionBackup = AcqCondition{};
        GstrSettingFile.clear();
        forms::App.setPrevInstance(false);
        w = &Acqisition::instance();
        f = &frmCondition::instance();
        startErrors = driver.errors();
        startBoxes = driver.msgBoxes().size();
    }
    void TearDown() override {
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
        GAcqConditionBackup = AcqCondition{};
        GstrSettingFile.clear();
        InstanceMode = 0;
        SetIniFileName("");
    }

    // SETUP as the user presses it, the script acting inside the modal window.
    void setup(std::function<void()> script) {
        driver.onModal("frmCondition", [script](forms::Form&) { script(); });
        driver.run([this] { w->cmdCONDITION_Click(); });
    }
    // Message boxes shown since the test began.
    std::vector<forms::MsgBoxRecord> boxes() const {
        return {driver.msgBoxes().begin() + static_cast<long>(startBoxes), driver.msgBoxes().end()};
    }

    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;
    frmCondition* f = nullptr;
    std::vector<std::string> startErrors;
    size_t startBoxes = 0;
};

// The names of the fields in which two records differ, "" when none does.
std::string differingFields(const AcqCondition& a, const AcqCondition& b) {
    std::string out;
#define QV_FIELD(x) \
    if (!(a.x == b.x)) out += #x " ";
    QV_FIELD(strCH) QV_FIELD(lStartCH) QV_FIELD(lEndCH) QV_FIELD(lCHCnt) QV_FIELD(strFIXED)
    QV_FIELD(strFLOW) QV_FIELD(lFlage) QV_FIELD(strADBOARD) QV_FIELD(lADBOARD) QV_FIELD(lADBOARD_ID)
    QV_FIELD(lADBOARD_BIT) QV_FIELD(sngADBOARD_V) QV_FIELD(strDEVICE_NAME) QV_FIELD(strTRIGGER_SETTING)
    QV_FIELD(strSINGLE_DISP_MODE) QV_FIELD(strTRG_POINT) QV_FIELD(strANALOG_LEVEL_TRIGGER)
    QV_FIELD(strANALOG_LEVEL_TRIGGER_D) QV_FIELD(strANALOG_LEVEL_TRIGGER_U) QV_FIELD(strCOMP_CH)
    QV_FIELD(lCOMP_CH_ID) QV_FIELD(strEXTERNAL_TRIGGER) QV_FIELD(strTTL) QV_FIELD(lTTL)
    QV_FIELD(strSWEEP_TIME) QV_FIELD(strP2PHist) QV_FIELD(lP2PHist) QV_FIELD(lP2PHist_ID)
    QV_FIELD(strSYNC) QV_FIELD(strIP) QV_FIELD(lGetADBoard) QV_FIELD(lGetRemoteHost)
    QV_FIELD(strCameraSetting) QV_FIELD(strCamera) QV_FIELD(lcmbCamera_ListIndex)
    QV_FIELD(strResolution) QV_FIELD(lCameraWidth) QV_FIELD(lCameraHeight) QV_FIELD(strAudioSetting)
#undef QV_FIELD
    return out;
}

// The controls a settings file holds, in the window's order.
std::vector<std::string> persistedNames(const forms::Form& form) {
    std::vector<std::string> out;
    for (const forms::Control* c : form.Controls()) {
        switch (c->type()) {
            case forms::ControlType::CheckBox:
            case forms::ControlType::TextBox:
            case forms::ControlType::ComboBox:
            case forms::ControlType::OptionButton:
            case forms::ControlType::ListBox:
                out.push_back(c->fullName());
                break;
            default:
                break;
        }
    }
    return out;
}

// ---- Start-up and the modal run ----

TEST_F(frmConditionTest, FirstStartWithoutSettingsFileOpensAndClosesWithoutError) {
    ASSERT_FALSE(std::filesystem::exists(prog.dir() / "SETTING.SET"));
    EXPECT_TRUE(startErrors.empty()) << startErrors.front();
    // Start-up built the record from the designed controls.
    EXPECT_EQ(GAcqCondition.strCH, "1-8");
    EXPECT_EQ(GAcqCondition.lCHCnt, 8);
    EXPECT_EQ(GAcqCondition.strSWEEP_TIME, "5000");
    EXPECT_EQ(GAcqParam.wCh, 8);
    // No board chosen yet: the level boxes had no preset to convert with.
    EXPECT_EQ(f->cmbADBoard.ListIndex(), -1);
    EXPECT_EQ(f->txtAnalogLevelTriggerU_V.Text(), "");

    w->Show();
    bool shown = false;
    setup([&] {
        shown = f->Visible();
        // The record's board position (the first entry) is shown, with its preset's volts.
        EXPECT_EQ(f->cmbADBoard.ListIndex(), 0);
        EXPECT_EQ(f->txtAnalogLevelTriggerU_V.Text(), "100.0000");
        EXPECT_TRUE(driver.click(f->cmdOK));
    });
    EXPECT_TRUE(shown);
    EXPECT_FALSE(f->Visible());
    EXPECT_TRUE(driver.errors().empty()) << driver.errors().front();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

TEST_F(frmConditionTest, OkRefusesEachInvalidSettingWithItsMessageAndKeepsTheRecord) {
    InstanceMode = 0;  // both sources selectable
    w->Show();
    struct Case {
        std::string ch, sweep, ip;
        bool remote;
        int code;
        std::string message;
    };
    const std::string chFormat = "Base Setting の CH:の書式が異常です。";
    const std::string range = "Base Setting の CH:は 1～32 の範囲で、開始CH ≦ 終了CH となるように設定してください。";
    const std::string sweepPositive = "Sweep Time：に 0 より大きい数値を設定してください。";
    const std::vector<Case> cases = {
        {"", "5000", "", false, 1, "Base Setting の CH:が空白です。"},
        {"-3", "5000", "", false, 2, chFormat},
        {"1-x", "5000", "", false, 3, chFormat},
        {"3-", "5000", "", false, 3, chFormat},
        {"1-8", "abc", "", false, 4, "Sweep Time：に数値が設定されていません。"},
        {"1-8", "5000", "", true, 5,
         "Base Setting (Source Setting) で Remote Host が選択されていますが、SERVER IP が設定されていません。"},
        {"1-8", "5000", "10.0.1", true, 6,
         "Base Setting (Source Setting) で Remote Host が選択されていますが、SERVER IP "
         "の書式がxxx.xxx.xxx.xxxとなっていません。"},
        {"0-40", "5000", "", false, 7, range},
        {"8-1", "5000", "", false, 7, range},
        {"40", "5000", "", false, 7, range},
        {"0", "5000", "", false, 7, range},
        {"1-8", "0", "", false, 8, sweepPositive},
        {"1-8", "-5", "", false, 8, sweepPositive},
        {"1-32", "1e9", "", false, 9,
         "Sweep Time：が長すぎます。サンプリング周波数とCH数に対してデータ量が上限を超えています。"},
    };
    AcqCondition before;
    setup([&] {
        before = GAcqCondition;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.ch + " / " + c.sweep + " / " + c.ip);
            f->optGetADBoard.setValue(true);
            if (c.remote) f->optGetRemoteHost.setValue(true);
            f->txtCH.setText(c.ch);
            f->txtSweepTime.setText(c.sweep);
            f->txtIP.setText(c.ip);
            const size_t n = driver.msgBoxes().size();
            driver.answerMsgBox(1);
            EXPECT_EQ(f->CheckSetting(), c.code);
            driver.answerMsgBox(1);
            EXPECT_TRUE(driver.click(f->cmdOK));
            ASSERT_EQ(driver.msgBoxes().size(), n + 2);
            EXPECT_EQ(driver.msgBoxes()[n + 1].prompt, c.message);
            EXPECT_EQ(driver.msgBoxes()[n + 1].style, kExclamation);
            // Nothing stored or applied; the window stays open with the entries.
            EXPECT_TRUE(f->Visible());
            EXPECT_EQ(f->txtCH.Text(), c.ch);
        }
        // Only the number of address parts is tested.
        f->txtCH.setText("1-8");
        f->txtSweepTime.setText("5000");
        f->optGetRemoteHost.setValue(true);
        f->txtIP.setText("a.b.c.d");
        EXPECT_EQ(f->CheckSetting(), frmCondition::kSettingOK);
        EXPECT_TRUE(driver.click(f->cmdCancel));
    });
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(differingFields(GAcqCondition, before), "");
    EXPECT_TRUE(driver.errors().empty()) << driver.errors().front();
}

TEST_F(frmConditionTest, OkAppliesTheConditionsToTheMainWindow) {
    w->Show();
    GAcqParam.PTotal = 1234;  // a loaded recording, discarded by OK
    setup([&] {
        EXPECT_TRUE(driver.select(f->cmbADBoard, kBoardVylK10_5));
        EXPECT_TRUE(driver.type(f->txtCH, "2-5"));
        EXPECT_TRUE(driver.type(f->txtSweepTime, "2000"));
        EXPECT_TRUE(driver.type(f->txtAnalogLevelTriggerD, "-300"));
        EXPECT_TRUE(driver.type(f->txtAnalogLevelTriggerU, "700"));
        EXPECT_TRUE(driver.click(f->cmdOK));
    });
    EXPECT_FALSE(f->Visible());
    EXPECT_TRUE(driver.errors().empty()) << driver.errors().front();
    const AcqCondition& c = GAcqCondition;
    EXPECT_EQ(c.strCH, "2-5");
    EXPECT_EQ(c.lStartCH, 2);
    EXPECT_EQ(c.lEndCH, 5);
    EXPECT_EQ(c.lCHCnt, 4);
    EXPECT_EQ(c.strADBOARD, "VylK10[±5]");
    EXPECT_EQ(c.lADBOARD, 0);
    EXPECT_EQ(c.lADBOARD_ID, kBoardVylK10_5);
    EXPECT_EQ(c.lADBOARD_BIT, CBoard::instance().BordBit(0));
    EXPECT_EQ(c.sngADBOARD_V, 5.0f);
    EXPECT_EQ(GAcqParam.PTotal, 0);
    EXPECT_EQ(GAcqParam.wCh, 4);
    ASSERT_GT(GAcqParam.nSClock, 0);
    EXPECT_EQ(GAcqParam.lSweepTimeMS, 2000);
    EXPECT_EQ(GAcqParam.lSweepPoint, basic::CLng(2000.0 * 1000 / GAcqParam.nSClock));
    EXPECT_EQ(DispWaveArray.Channels(), 4);
    EXPECT_EQ(DispWaveArray.Points(), GAcqParam.lSweepPoint + 1);
    EXPECT_EQ(w->TXTDR_TimeDiv.Text(), "200");
    EXPECT_EQ(w->t1.Text(), "-300");
    EXPECT_EQ(w->t2.Text(), "700");
    EXPECT_EQ(GAcqParam.ModeString, "End");
}

TEST_F(frmConditionTest, CancelAndEscRestoreEveryFieldOfTheRecord) {
    w->Show();
    // A record as the window itself writes it, camera and audio included.
    f->optGetADBoard.setValue(true);
    f->cmbADBoard.setListIndex(kBoardVylK10_5);
    f->chkCameraSetting.setValue(1);
    f->chkAudioSetting.setValue(1);
    f->txtCH.setText("3-6");
    f->txtCH_LostFocus();
    f->cmbP2PHist.setListIndex(3);
    f->SaveObjectValue();
    const AcqCondition saved = GAcqCondition;
    ASSERT_EQ(saved.strCameraSetting, 1);
    ASSERT_EQ(saved.strAudioSetting, 1);

    const auto changeEverything = [&] {
        EXPECT_EQ(f->txtCH.Text(), "3-6");
        EXPECT_TRUE(driver.type(f->txtCH, "1-2"));
        EXPECT_TRUE(driver.focus(f->txtSweepTime));  // commits the channel text to the record
        EXPECT_EQ(GAcqCondition.strCH, "1-2");
        EXPECT_TRUE(driver.select(f->cmbP2PHist, 8));  // writes the record directly
        EXPECT_EQ(GAcqCondition.lP2PHist, 4096);
        EXPECT_TRUE(driver.check(f->chkAudioSetting, 0));
        EXPECT_TRUE(driver.select(f->cmbADBoard, kBoardVylK32));
        GAcqCondition.strCameraSetting = 0;
        GAcqCondition.strCamera = "elsewhere";
    };
    setup([&] {
        changeEverything();
        EXPECT_TRUE(driver.click(f->cmdCancel));
    });
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(differingFields(GAcqCondition, saved), "");
    EXPECT_EQ(f->txtCH.Text(), "3-6");
    EXPECT_EQ(f->cmbP2PHist.ListIndex(), 3);
    EXPECT_EQ(f->chkAudioSetting.Value(), 1);

    setup([&] {
        changeEverything();
        EXPECT_TRUE(driver.keyDown(*f, forms::key::Escape));
    });
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(differingFields(GAcqCondition, saved), "");
    EXPECT_EQ(f->txtCH.Text(), "3-6");
    EXPECT_TRUE(driver.errors().empty()) << driver.errors().front();
}

// ---- Settings file ----

TEST_F(frmConditionTest, SettingsFileIsWrittenInControlOrderAndReadBackIntoTheControls) {
    GstrSettingFile = ProgramFile("SETTING.SET");
    f->InitForm();
    f->optGetADBoard.setValue(true);
    f->cmbADBoard.setListIndex(kBoardVylK32);
    f->txtCH.setText("2-5");
    f->txtCH_LostFocus();
    f->cmbCompCH.setListIndex(2);
    f->chkTriggerSetting.setValue(1);
    f->txtTrgPoint.setText("-250");
    f->optAnalogLevelTrigger.setValue(true);
    f->txtAnalogLevelTriggerU.setText("1500");
    f->cmbTTL.setListIndex(1);
    f->cmbP2PHist.setListIndex(3);
    f->txtIP.setText("192.0.2.7");
    ASSERT_EQ(f->chkTriggerSetting.Value(), 1);
    ASSERT_EQ(f->chkSync.Value(), 1);
    const std::string sweep = f->txtSweepTime.Text();

    f->SaveParamAll();
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(w->txtSettingFileName.Text(), GstrSettingFile);

    // One section a persisted control, in the window's order.
    const std::string file = prog.readBytes("SETTING.SET");
    std::vector<std::string> sections;
    for (size_t p = file.find("[frmCondition."); p != std::string::npos;
         p = file.find("[frmCondition.", p + 1))
        sections.push_back(file.substr(p + 14, file.find(']', p) - p - 14));
    EXPECT_EQ(sections, persistedNames(*f));
    {
        IniPathGuard ini(GstrSettingFile);
        EXPECT_EQ(ReadIniString("frmCondition.txtCH", "Text", ""), "2-5");
        EXPECT_EQ(ReadIniString("frmCondition.cmbADBoard", "ListIndex", ""), "18");
        EXPECT_EQ(ReadIniString("frmCondition.cmbADBoard", "ListCount", ""), "33");
        EXPECT_EQ(ReadIniString("frmCondition.optAnalogLevelTrigger", "Value", ""), "True");
        EXPECT_NE(ReadIniString("Acqisition.cmbTimeFS", "ListIndex", ""), "");
        EXPECT_NE(ReadIniString("frmSelectAmp.cmbSelectCH", "ListIndex", ""), "");
    }

    // Other values in the controls, then the file again.
    f->cmbADBoard.setListIndex(0);
    f->chkTriggerSetting.setValue(0);
    f->chkSync.setValue(0);
    f->txtCH.setText("1-8");
    f->txtCH_LostFocus();
    f->txtTrgPoint.setText("0");
    f->optExternalTrigger.setValue(true);
    f->txtAnalogLevelTriggerU.setText("100");
    f->cmbTTL.setListIndex(0);
    f->cmbP2PHist.setListIndex(0);
    f->txtIP.setText("");
    f->txtSweepTime.setText("1");

    f->LoadParamAll();
    EXPECT_EQ(f->cmbADBoard.ListIndex(), kBoardVylK32);
    EXPECT_EQ(f->txtCH.Text(), "2-5");
    EXPECT_EQ(f->chkTriggerSetting.Value(), 1);
    EXPECT_EQ(f->chkSync.Value(), 1);
    EXPECT_EQ(f->txtSweepTime.Text(), sweep);
    EXPECT_FALSE(f->txtSweepTime.Enabled());
    EXPECT_EQ(f->txtTrgPoint.Text(), "-250");
    EXPECT_TRUE(f->optAnalogLevelTrigger.Value());
    EXPECT_FALSE(f->optExternalTrigger.Value());
    EXPECT_EQ(f->txtAnalogLevelTriggerU.Text(), "1500");
    EXPECT_EQ(f->cmbTTL.ListIndex(), 1);
    EXPECT_EQ(f->cmbP2PHist.Text(), "2 ^ 7");
    EXPECT_EQ(f->lblHist.Caption(), "128");
    EXPECT_EQ(f->txtIP.Text(), "192.0.2.7");
    EXPECT_EQ(w->txtSettingFileName.Text(), GstrSettingFile);
    EXPECT_TRUE(driver.errors().empty()) << driver.errors().front();
}

TEST_F(frmConditionTest, SavingAnEmptyBoardListWarnsAfterTheFileIsWritten) {
    GstrSettingFile = ProgramFile("SETTING.SET");
    f->cmbADBoard.Clear();
    driver.answerMsgBox(1);
    f->SaveParamAll();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].prompt,
              "ADボードの情報が失われました。操作を停止して、ザンドレへ連絡してください。"
              "実験が中断出来ない場合はOKで続行可能です。");
    EXPECT_EQ(boxes()[0].style, 0);
    EXPECT_TRUE(std::filesystem::exists(prog.dir() / "SETTING.SET"));
}

TEST_F(frmConditionTest, BoardListHoldsTheCatalogueBoardsWithTheirTypes) {
    f->InitForm();
    f->InitForm();  // filled afresh, never grown
    ASSERT_EQ(f->cmbADBoard.ListCount(), 33);
    EXPECT_EQ(f->cmbADBoard.List(0), "デバッグ");
    EXPECT_EQ(f->cmbADBoard.ItemData(0), CBoard::kDebugType);
    EXPECT_EQ(f->cmbADBoard.List(24), "VylB50[＋5]");
    EXPECT_EQ(f->cmbADBoard.ItemData(24), 16);
    std::vector<bool> offered(CBoard::kTypeCount, false);
    for (int i = 1; i < 33; ++i) {
        const int32_t type = f->cmbADBoard.ItemData(i);
        ASSERT_GE(type, 0);
        ASSERT_LT(type, CBoard::kTypeCount);
        offered[type] = true;
        // The label is the catalogue's name with the input range after it.
        const std::string name = CBoard::instance().BoardName(type);
        EXPECT_EQ(f->cmbADBoard.List(i).rfind(name, 0), 0u) << f->cmbADBoard.List(i);
    }
    for (int t = 0; t < CBoard::kTypeCount; ++t)
        EXPECT_EQ(offered[t], t != 1 && t != 2 && t != 4) << t;

    ASSERT_EQ(f->cmbTTL.ListCount(), 2);
    EXPECT_EQ(f->cmbTTL.List(0), "Up↑");
    EXPECT_EQ(f->cmbTTL.ItemData(1), 1);
    ASSERT_EQ(f->cmbP2PHist.ListCount(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(f->cmbP2PHist.List(i), "2 ^ " + std::to_string(i + 4));
        EXPECT_EQ(f->cmbP2PHist.ItemData(i), 1 << (i + 4));
    }
}

TEST_F(frmConditionTest, InputRangeInVoltsComesFromTheBoardLabel) {
    f->InitForm();
    const auto volts = [&](int item) {
        f->cmbADBoard.setListIndex(item);
        f->SaveObjectValue();
        return GAcqCondition.sngADBOARD_V;
    };
    EXPECT_EQ(volts(5), 2.5f);    // VylK14(A)[±2.5]
    EXPECT_EQ(volts(24), 2.5f);   // VylB50[＋5]: unchanged
    EXPECT_EQ(volts(13), 10.0f);  // VylK26[±10]S
    EXPECT_EQ(volts(25), 10.0f);  // VylB54: unchanged
    EXPECT_EQ(volts(26), 5.0f);   // VylD60[±5]
    EXPECT_EQ(GAcqCondition.lADBOARD, 19);
    EXPECT_EQ(CBoard::instance().SelectBoard(), 19);
}

TEST_F(frmConditionTest, CameraListsComeFromTheCameraToolsFile) {
    prog.writeBytes("CAM_GETINFO.ini",
                    "[ALL]\r\npGraph->AddFilter(pSrc, L\"Video Capture\")=0\r\nGlCAMNum=3\r\n"
                    "pC->GetNumberOfCapabilities(&iCount,&iSize)=3,36\r\n"
                    "[CAMLIST]\r\nCAM0=USB Camera\r\nCAM1=Lab Cam\r\nCAM2=USB Camera\r\n"
                    "[iFormat_0]\r\nscc1.InputSize.cx=640\r\nscc1.InputSize.cy=480\r\n"
                    "[iFormat_1]\r\nscc1.InputSize.cx=1280\r\nscc1.InputSize.cy=720\r\n"
                    "[iFormat_2]\r\nscc1.InputSize.cx=640\r\nscc1.InputSize.cy=480\r\n");
    SetIniFileName(ProgramFile("Tolvane.ini"));
    f->InitForm();
    f->InitForm();
    ASSERT_EQ(f->cmbCamera.ListCount(), 2);
    EXPECT_EQ(f->cmbCamera.List(0), "USB Camera");
    EXPECT_EQ(f->cmbCamera.List(1), "Lab Cam");
    const std::vector<std::string> sizes = {"640,480", "1280,720", "720,480", "320,240"};
    ASSERT_EQ(f->cmbResolution.ListCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f->cmbResolution.List(i), sizes[i]);
    EXPECT_EQ(f->cmbResolution.Text(), "320,240");
    EXPECT_TRUE(f->cmbResolution.Enabled());
    // The program's current ini file is given back.
    EXPECT_EQ(GetIniFileName(), ProgramFile("Tolvane.ini"));

    // The chosen size goes into the record.
    f->cmbResolution.setListIndex(1);
    f->cmbCamera.setListIndex(1);
    f->SaveObjectValue();
    EXPECT_EQ(GAcqCondition.strResolution, "1280,720");
    EXPECT_EQ(GAcqCondition.lCameraWidth, 1280);
    EXPECT_EQ(GAcqCondition.lCameraHeight, 720);
    EXPECT_EQ(GAcqCondition.strCamera, "Lab Cam");
    EXPECT_EQ(GAcqCondition.lcmbCamera_ListIndex, "1");

    // Changing the camera set-up in the open window warns once.
    w->Show();
    setup([&] {
        driver.answerMsgBox(1);
        EXPECT_TRUE(driver.select(f->cmbResolution, 0));
        EXPECT_TRUE(driver.check(f->chkCameraSetting, 1 - f->chkCameraSetting.Value()));
        EXPECT_TRUE(driver.click(f->cmdCancel));
    });
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].style, kExclamation);
    EXPECT_NE(boxes()[0].prompt.find("Quorvaneの再起動後に有効"), std::string::npos);
    EXPECT_TRUE(f->CameraWarned());
}

TEST_F(frmConditionTest, WithoutTheCameraFileTheCameraListsStayEmpty) {
    f->InitForm();
    f->ALL_BTN_ModeSet();
    EXPECT_EQ(f->cmbCamera.ListCount(), 0);
    EXPECT_EQ(f->cmbResolution.ListCount(), 0);
    EXPECT_FALSE(f->cmbResolution.Enabled());
    EXPECT_FALSE(f->chkCameraSetting.Enabled());
}

// ---- Channel range and handlers ----

TEST_F(frmConditionTest, ChannelRangeParsesAsTyped) {
    int32_t s = 7, e = 9;
    ParseChannelRange("3-", s, e);
    EXPECT_EQ(s, 3);
    EXPECT_EQ(e, 3);
    ParseChannelRange("1-2-3", s, e);  // unchanged
    EXPECT_EQ(s, 3);
    EXPECT_EQ(e, 3);
    ParseChannelRange("99999999999", s, e);  // held to 32 bits, refused later
    EXPECT_EQ(s, 2147483647);
    ParseChannelRange("", s, e);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(e, 0);

    f->txtCH.setText("");
    f->SaveObjectValue();
    EXPECT_EQ(GAcqCondition.lCHCnt, 1);
}

TEST_F(frmConditionTest, TriggerChannelsOfferOnlyExistingChannels) {
    GAcqCondition.strCOMP_CH = "30";
    f->txtCH.setText("0-40");
    f->txtCH_LostFocus();
    ASSERT_EQ(f->cmbCompCH.ListCount(), 32);
    EXPECT_EQ(f->cmbCompCH.List(0), "1");
    EXPECT_EQ(f->cmbCompCH.ItemData(31), 32);
    EXPECT_EQ(f->cmbCompCH.Text(), "30");
    f->txtCH.setText("5-7");
    f->txtCH_LostFocus();
    ASSERT_EQ(f->cmbCompCH.ListCount(), 3);
    EXPECT_EQ(f->cmbCompCH.Text(), "5");  // 30 is gone: the first
    f->txtCH.setText("8-1");
    f->txtCH_LostFocus();
    EXPECT_EQ(f->cmbCompCH.ListCount(), 0);
    // A reversed range on record never sizes the display arrays outside 1..32.
    GAcqCondition.lCHCnt = -6;
    GAcqCondition.strSYNC = "0";
    GAcqCondition.strSWEEP_TIME = "100";
    f->SetCondition(false);
    EXPECT_EQ(GAcqParam.wCh, 1);
    EXPECT_EQ(DispWaveArray.Channels(), 1);
}

TEST_F(frmConditionTest, TriggerPointStaysWithinTheSweep) {
    f->chkSync.setValue(0);
    f->txtSweepTime.setText("5000");
    f->txtTrgPoint.setText("50");
    EXPECT_EQ(f->txtTrgPoint.Text(), "0");
    f->txtTrgPoint.setText("-9000");
    EXPECT_EQ(f->txtTrgPoint.Text(), "-5000");
    f->txtTrgPoint.setText("-120");
    EXPECT_EQ(f->txtTrgPoint.Text(), "-120");
    // A sweep box being typed in reads as a number or 0, never an error.
    f->txtSweepTime.setText("abc");
    f->txtTrgPoint.setText("-7");
    EXPECT_EQ(f->txtTrgPoint.Text(), "0");
    f->txtSweepTime.setText("-5");
    f->txtTrgPoint.setText("-3");
    EXPECT_EQ(f->txtTrgPoint.Text(), "0");
    // With the sweep synchronised, the time scale's length counts.
    ASSERT_GE(w->cmbTimeFS.ListIndex(), 0);
    const int32_t fs = w->cmbTimeFS.ItemData(w->cmbTimeFS.ListIndex());
    f->chkSync.setValue(1);
    EXPECT_EQ(f->txtSweepTime.Text(), std::to_string(fs));
    EXPECT_FALSE(f->txtSweepTime.Enabled());
    f->txtTrgPoint.setText("-99999999");
    EXPECT_EQ(f->txtTrgPoint.Text(), std::to_string(-fs));
}

TEST_F(frmConditionTest, TriggerSettingSynchronisesTheSweep) {
    f->InitForm();
    f->optGetADBoard.setValue(true);
    f->cmbADBoard.setListIndex(kBoardVylK32);
    f->chkSync.setValue(0);
    EXPECT_TRUE(f->txtSweepTime.Enabled());
    f->chkTriggerSetting.setValue(1);
    EXPECT_EQ(f->chkSync.Value(), 1);
    EXPECT_FALSE(f->txtSweepTime.Enabled());
    EXPECT_TRUE(f->txtTrgPoint.Enabled());
    EXPECT_TRUE(f->cmbCompCH.Enabled());
    // A board without trigger support clears it.
    f->cmbADBoard.setListIndex(24);  // VylB50
    f->ALL_BTN_ModeSet();
    EXPECT_EQ(f->chkTriggerSetting.Value(), 0);
    EXPECT_FALSE(f->chkTriggerSetting.Enabled());
    EXPECT_FALSE(f->txtTrgPoint.Enabled());
    EXPECT_EQ(f->txtCH.Text(), "1-9");
    EXPECT_FALSE(f->txtCH.Enabled());
}

TEST_F(frmConditionTest, EnablingFollowsBoardAndInstanceMode) {
    f->InitForm();
    InstanceMode = 1;
    f->cmbADBoard.setListIndex(31);  // VylS80
    f->ALL_BTN_ModeSet();
    EXPECT_EQ(f->txtCH.Text(), "1-16");
    EXPECT_FALSE(f->txtCH.Enabled());
    EXPECT_TRUE(f->optExternalTrigger.Enabled());
    EXPECT_TRUE(f->optGetADBoard.Value());
    EXPECT_TRUE(f->cmbADBoard.Enabled());
    EXPECT_FALSE(f->chkTerminalMode.Enabled());
    f->cmbADBoard.setListIndex(3);  // VylK12: any channels
    f->ALL_BTN_ModeSet();
    EXPECT_TRUE(f->txtCH.Enabled());
    EXPECT_FALSE(f->optExternalTrigger.Enabled());

    // The terminal takes its data from the host.
    InstanceMode = 2;
    f->ALL_BTN_ModeSet();
    EXPECT_TRUE(f->optGetRemoteHost.Value());
    EXPECT_FALSE(f->optGetADBoard.Value());
    EXPECT_FALSE(f->cmbADBoard.Enabled());
    EXPECT_TRUE(f->txtIP.Enabled());
    EXPECT_TRUE(f->chkTerminalMode.Enabled());
    EXPECT_FALSE(f->chkAudioSetting.Enabled());

    // A second instance of mode 0 is pushed to the remote source, options locked.
    InstanceMode = 0;
    f->optGetADBoard.setValue(true);
    forms::App.setPrevInstance(true);
    f->ALL_BTN_ModeSet();
    EXPECT_TRUE(f->optGetRemoteHost.Value());
    EXPECT_FALSE(f->optGetADBoard.Enabled());
    EXPECT_FALSE(f->optFixed.Enabled());
    EXPECT_FALSE(f->optFlow.Enabled());
    forms::App.setPrevInstance(false);
}

TEST_F(frmConditionTest, LevelBoxesShowVoltsThroughTheBoardPreset) {
    f->InitForm();
    f->txtCH.setText("1-8");
    f->txtCH_LostFocus();
    f->cmbCompCH.setListIndex(2);
    f->cmbADBoard.setListIndex(kBoardVylK10_5);
    f->txtAnalogLevelTriggerU.setText("1000");
    std::string label = "VylK10[±5]";
    const CCalSetting* cal = GetIntCAL(label);
    ASSERT_NE(cal, nullptr);
    const double calAD = basic::Val(cal->Cal_AD(2)), baseAD = basic::Val(cal->Base_AD(2));
    const double hi = basic::Val(cal->EU_HI(2)), lo = basic::Val(cal->EU_LO(2));
    const double expected = lo + (1000 - baseAD) * (hi - lo) / calAD;
    EXPECT_EQ(f->txtAnalogLevelTriggerU_V.Text(), basic::Format(expected, "0.0000"));
    f->txtAnalogLevelTriggerD.setText("-2048");
    EXPECT_EQ(f->txtAnalogLevelTriggerD_V.Text(),
              basic::Format(lo + (-2048 - baseAD) * (hi - lo) / calAD, "0.0000"));

    // A board with no preset leaves the boxes as they are.
    f->cmbADBoard.setListIndex(30);  // VylB56
    const std::string before = f->txtAnalogLevelTriggerU_V.Text();
    f->txtAnalogLevelTriggerU.setText("5");
    EXPECT_EQ(f->txtAnalogLevelTriggerU_V.Text(), before);
    // So does no trigger channel.
    f->cmbADBoard.setListIndex(kBoardVylK10_5);
    f->cmbCompCH.setListIndex(-1);
    f->txtAnalogLevelTriggerU.setText("6");
    EXPECT_EQ(f->txtAnalogLevelTriggerU_V.Text(), before);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(frmConditionTest, RecordPositionsOutsideTheListsAreIgnored) {
    f->InitForm();
    f->SaveObjectValue();
    f->cmbADBoard.setListIndex(kBoardVylK32);
    GAcqCondition.lADBOARD_ID = 99;
    GAcqCondition.lCOMP_CH_ID = 40;
    GAcqCondition.strTTL = "7";
    GAcqCondition.strP2PHist = "2 ^ 20";
    GAcqCondition.strCameraSetting = 5;
    f->LoadObjectValue();
    EXPECT_EQ(f->cmbADBoard.ListIndex(), kBoardVylK32);
    EXPECT_EQ(f->chkCameraSetting.Value(), 0);
    EXPECT_TRUE(driver.errors().empty());
}

}  // namespace
