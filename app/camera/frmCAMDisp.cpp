// The camera window: its players, the frames at data positions, the stored values of the
// recording's parameter file, the capture progress boxes and the closing of the program.
#include "app/camera/frmCAMDisp.h"

#include "app/camera/modCAM.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Encoding.h"

namespace qv {

namespace {

// The largest AVI file the capture writes, and the margin at which it stops.
constexpr double kAviLimit = 2147483648.0;
constexpr double kAviStop = kAviLimit - 10485760.0;

void showFrame(CAVI& player, int32_t frame) { player.DispFlame(frame); }

}  // namespace

frmCAMDisp& frmCAMDisp::instance() { return forms::loadForm<frmCAMDisp>(); }

frmCAMDisp::frmCAMDisp()
    : Form(design()),
      pbxParentAll(ctl<forms::PictureBox>("pbxParentAll")),
      pbxParent2(ctl<forms::PictureBox>("pbxParent2")),
      pbxParent2_1(ctl<forms::PictureBox>("pbxParent2_1")),
      pbxCAM(ctl<forms::PictureBox>("pbxCAM")),
      pbxParent2_2(ctl<forms::PictureBox>("pbxParent2_2")),
      pbxAVIDummy(ctl<forms::PictureBox>("pbxAVIDummy")),
      pbxAVIL(ctl<forms::PictureBox>("pbxAVIL")),
      Label4(ctl<forms::Label>("Label4")),
      lblFNo_L(ctl<forms::Label>("lblFNo_L")),
      pbxParent2_3(ctl<forms::PictureBox>("pbxParent2_3")),
      pbxAVIR(ctl<forms::PictureBox>("pbxAVIR")),
      Label6(ctl<forms::Label>("Label6")),
      lblFNo_R(ctl<forms::Label>("lblFNo_R")),
      lblTitle(array<forms::Label>("lblTitle")),
      pbxParent1(ctl<forms::PictureBox>("pbxParent1")),
      Label5(ctl<forms::Label>("Label5")),
      lblTotalFNum(ctl<forms::Label>("lblTotalFNum")),
      LBLStart(ctl<forms::Label>("LBLStart")),
      txtStartTime(ctl<forms::TextBox>("txtStartTime")),
      lblEnd(ctl<forms::Label>("lblEnd")),
      txtEndTime(ctl<forms::TextBox>("txtEndTime")),
      Label1(array<forms::Label>("Label1")),
      LBLNoUnit(array<forms::Label>("LBLNoUnit")),
      LBL_Public(array<forms::Label>("LBL_Public")),
      txtAdjustMS(ctl<forms::TextBox>("txtAdjustMS")),
      txtMP3Adjust(ctl<forms::TextBox>("txtMP3Adjust")),
      txtMP3AdjustOffset(ctl<forms::TextBox>("txtMP3AdjustOffset")),
      txtCapRatio(ctl<forms::TextBox>("txtCapRatio")),
      txtTimeRem(ctl<forms::TextBox>("txtTimeRem")),
      txtStep(ctl<forms::TextBox>("txtStep")),
      txtSleep(ctl<forms::TextBox>("txtSleep")),
      txtCapNum(ctl<forms::TextBox>("txtCapNum")),
      txtFileSize(ctl<forms::TextBox>("txtFileSize")),
      chkAVISizeOver(ctl<forms::CheckBox>("chkAVISizeOver")),
      txtMsg(ctl<forms::TextBox>("txtMsg")),
      optDispType(array<forms::OptionButton>("optDispType")),
      cmdPlay2(ctl<forms::CommandButton>("cmdPlay2")),
      cmdPlay(ctl<forms::CommandButton>("cmdPlay")),
      cmdPlayMP3(ctl<forms::CommandButton>("cmdPlayMP3")),
      chkStop(ctl<forms::CheckBox>("chkStop")),
      timResize(ctl<forms::Timer>("timResize")),
      Command1(ctl<forms::CommandButton>("Command1")),
      txtlstGlTime_ADCGET(ctl<forms::TextBox>("txtlstGlTime_ADCGET")),
      txtGlTime_ADSTART(ctl<forms::TextBox>("txtGlTime_ADSTART")),
      txtDiff(ctl<forms::TextBox>("txtDiff")),
      Label3(ctl<forms::Label>("Label3")),
      Label2(ctl<forms::Label>("Label2")) {
    on(Resize, &frmCAMDisp::Form_Resize);
    on(QueryUnload, &frmCAMDisp::Form_QueryUnload);
    on(timResize.Tick, &frmCAMDisp::timResize_Timer);
    on(optDispType, &forms::OptionButton::Click, &frmCAMDisp::optDispType_Click);
    on(LBLStart.Click, &frmCAMDisp::LBLStart_Click);
    on(lblEnd.Click, &frmCAMDisp::lblEnd_Click);
    on(txtCapNum.Change, &frmCAMDisp::txtCapNum_Change);
    on(txtAdjustMS.Change, &frmCAMDisp::txtAdjustMS_Change);
    on(cmdPlay2.Click, &frmCAMDisp::cmdPlay2_Click);
    on(cmdPlay.Click, &frmCAMDisp::cmdPlay_Click);
    on(cmdPlayMP3.Click, &frmCAMDisp::cmdPlayMP3_Click);
}

// The layout objects listen to the window's events: they go before the controls do.
frmCAMDisp::~frmCAMDisp() { TermForm(); }

// ---- Players ----

CAVI& frmCAMDisp::player(std::unique_ptr<CAVI>& slot) {
    if (!slot) slot = std::make_unique<CAVI>();
    return *slot;
}

CAVI& frmCAMDisp::MCAVIDmy() { return player(MCAVIDmy_); }
CAVI& frmCAMDisp::MCAVIL() { return player(MCAVIL_); }
CAVI& frmCAMDisp::MCAVIR() { return player(MCAVIR_); }

void frmCAMDisp::bindPlayer(std::unique_ptr<CAVI>& slot, forms::PictureBox& box, const char* name,
                            const std::string& path) {
    slot = std::make_unique<CAVI>();
    slot->setPictureBox(box);
    slot->setAVIFileName(path);
    if (name) slot->setName(name);
    slot->Init();
}

void frmCAMDisp::DispInit() {
    bindPlayer(MCAVIDmy_, pbxAVIDummy, nullptr, "");
    bindPlayer(MCAVIL_, pbxAVIL, nullptr, "");
    bindPlayer(MCAVIR_, pbxAVIR, nullptr, "");
    showFrame(MCAVIL(), 0);
    showFrame(MCAVIR(), 0);
    lblFNo_L.setCaption("--------");
    lblFNo_R.setCaption("--------");
    lblTotalFNum.setCaption("--------");
}

bool frmCAMDisp::SetAVIFileName(const std::string& path) {
    bindPlayer(MCAVIDmy_, pbxAVIDummy, "MCAVIDmy", path);
    bindPlayer(MCAVIL_, pbxAVIL, "MCAVIL", path);
    bindPlayer(MCAVIR_, pbxAVIR, "MCAVIR", path);
    return IsAVIOK();
}

bool frmCAMDisp::IsAVIOK() { return MCAVIDmy().IsAVIOK() && MCAVIL().IsAVIOK() && MCAVIR().IsAVIOK(); }

void frmCAMDisp::Stretch() {
    MCAVIL().Stretch();
    MCAVIR().Stretch();
    DispFlamePos(GAcqParam.Cur_L_Point, GAcqParam.Cur_R_Point);
}

void frmCAMDisp::Run() { MCAVIL().Run(); }
int32_t frmCAMDisp::FlameNum() { return MCAVIDmy().FlameNum(); }
void frmCAMDisp::SaveBMP(int32_t& frame, const std::string& path) { MCAVIDmy().SaveBMP(frame, path); }

void frmCAMDisp::SaveBMPDispPicture(int32_t frame, const std::string& file, int32_t, bool blank) {
    Show();
    if (blank) {
        const forms::Color green = forms::rgb(64, 255, 64);
        pbxAVIDummy.setBackColor(green);
        pbxAVIDummy.setForeColor(green);
        pbxAVIDummy.Cls();
    } else {
        MCAVIDmy().DispFlame(frame);
    }
    MCAVIDmy().SaveBMPDispPicture(frame, file);
}

// ---- Frames ----

int32_t frmCAMDisp::AdjustMS() const { return basic::CLng(basic::Val(txtAdjustMS.Text())); }

void frmCAMDisp::DispFlamePos(int32_t leftPoint, int32_t rightPoint, int32_t) {
    if (IsModeAcq() || !IsDataLoaded()) return;
    if (!IsCameraEnabled(GstrKparFile, false) || !IsAVIOK()) {
        showFrame(MCAVIL(), 0);
        showFrame(MCAVIR(), 0);
        return;
    }
    if (bDispFlamePosBusy) return;
    // A failing step must not leave every later call dropped.
    Acqisition::RaisedFlag busy(bDispFlamePosBusy);
    const double offset = MsToPoint(AdjustMS());
    // An offset that takes a cursor beyond the Long range shows the first or last frame.
    const int32_t leftFrame = FindStackFlameIndex(PointOrRecordingEnd(offset + leftPoint));
    const int32_t rightFrame = FindStackFlameIndex(PointOrRecordingEnd(offset + rightPoint));
    const bool leftFirst = !bDispFlamePosToggle;
    bDispFlamePosToggle = !bDispFlamePosToggle;
    if (leftFirst) {
        showFrame(MCAVIL(), leftFrame);
        showFrame(MCAVIR(), rightFrame);
    } else {
        showFrame(MCAVIR(), rightFrame);
        showFrame(MCAVIL(), leftFrame);
    }
    lblFNo_L.setCaption(basic::CStr(leftFrame));
    lblFNo_R.setCaption(basic::CStr(rightFrame));
    lblTotalFNum.setCaption(basic::CStr(FindStackFlameIndex(GAcqParam.PTotal)));
}

// The common start of DispFlame and DispFlameMS: true when it has done all there is to do.
bool frmCAMDisp::noFramesToShow() {
    txtMsg.setText("");
    if (IsModeAcq()) return true;
    if (IsDataLoaded() && (!IsCameraEnabled(GstrKparFile, false) || !IsAVIOK())) {
        showFrame(MCAVIL(), 0);
        showFrame(MCAVIR(), 0);
        return true;
    }
    return false;
}

void frmCAMDisp::DispFlame(int32_t leftFrame, int32_t rightFrame) {
    if (noFramesToShow()) return;
    showFrame(MCAVIL(), 0);
    MCAVIR().DispFlame(rightFrame);
    MCAVIL().DispFlame(leftFrame);
}

void frmCAMDisp::DispFlameMS(int32_t leftPoint, int32_t rightPoint) {
    if (noFramesToShow()) return;
    if (!IsAVIOK()) {
        showFrame(MCAVIL(), 0);
        showFrame(MCAVIR(), 0);
    }
    const bool leftFirst = !bDispFlameMSToggle;
    bDispFlameMSToggle = !bDispFlameMSToggle;
    if (leftFirst) {
        showFrame(MCAVIL(), FindStackFlameIndex(leftPoint));
        showFrame(MCAVIR(), FindStackFlameIndex(rightPoint));
    } else {
        showFrame(MCAVIR(), FindStackFlameIndex(rightPoint));
        showFrame(MCAVIL(), FindStackFlameIndex(leftPoint));
    }
}

void frmCAMDisp::DispFlameAll() {
    const int32_t n = MCAVIR().FlameNum();
    for (int32_t k = 0; k < n; ++k) {
        showFrame(MCAVIR(), k);
        showFrame(MCAVIL(), k);
        forms::DoEvents();
    }
}

void frmCAMDisp::DispFlame2(int32_t, int32_t) {}

void frmCAMDisp::Call_CAM_DISPBITMAP(int32_t frame) {
    Trelm::CAM_DISPBITMAP(pbxAVIL.hWnd(), kernel::utf8ToCp932(GstrAviFile).c_str(), frame);
}

// ---- Stored values ----

namespace {
const char* const kControlKeys[] = {"txtStartTime", "txtEndTime", "txtAdjustMS", "txtMP3Adjust",
                                    "txtMP3AdjustOffset"};
}

void frmCAMDisp::SaveParam() {
    SetIniFileName(GstrKparFile);
    forms::TextBox* boxes[] = {&txtStartTime, &txtEndTime, &txtAdjustMS, &txtMP3Adjust, &txtMP3AdjustOffset};
    for (size_t i = 0; i < std::size(boxes); ++i) WriteIniString("Control", kControlKeys[i], boxes[i]->Text());
}

void frmCAMDisp::LoadParam() {
    SetIniFileName(GstrKparFile);
    // The recording's length in seconds; a recording without a sampling rate has none to give.
    const int32_t rate = GAcqParam.lSampleFreqHz;
    const std::string duration = rate != 0 ? basic::CStr(static_cast<double>(GAcqParam.PTotal) / rate) : "0";
    forms::TextBox* boxes[] = {&txtStartTime, &txtEndTime, &txtAdjustMS, &txtMP3Adjust, &txtMP3AdjustOffset};
    for (size_t i = 0; i < std::size(boxes); ++i)
        boxes[i]->setText(ReadIniString("Control", kControlKeys[i], i == 1 ? duration : "0"));
}

// ---- Events ----

void frmCAMDisp::LBLStart_Click() {
    txtStartTime.setText(basic::CStr(basic::Fix(basic::Divide(GAcqParam.Cur_L_Point, GAcqParam.lSampleFreqHz))));
}

void frmCAMDisp::lblEnd_Click() {
    txtEndTime.setText(basic::CStr(basic::Fix(basic::Divide(GAcqParam.Cur_R_Point, GAcqParam.lSampleFreqHz))));
}

void frmCAMDisp::txtCapNum_Change() {
    const std::string size = txtFileSize.Text();
    if (!basic::IsNumeric(size) || basic::Val(size) == 0) return;
    const double bytes = basic::Val(size);
    txtCapRatio.setText(basic::Format(bytes / kAviLimit * 100, "0.00"));
    if (bytes > kAviStop)
        txtMsg.setText("AVIファイルのサイズが最大に達しました。\r\n" + basic::CStr(GAcqParam.NTimer) +
                       " 秒で画像の取り込みは終了しました。");
    else
        txtMsg.setText("");
}

void frmCAMDisp::UpdateTimeRemaining() {
    const std::string size = txtFileSize.Text();
    if (!basic::IsNumeric(size) || basic::Val(size) == 0) return;
    if (chkAVISizeOver.Value() == 1 || !txtMsg.Text().empty()) return;
    const double timer = GAcqParam.NTimer;
    const double total = kAviLimit / basic::Val(size) * timer;
    const double remaining = basic::Fix(total - timer);
    txtTimeRem.setText(basic::Format(remaining, "0.00"));
    WriteRemoteLog(basic::CStr(GAcqParam.NTimer) + " , " + txtCapRatio.Text() + " , " + txtTimeRem.Text() +
                       " , " + basic::Format(total, "0"),
                   true);
}

// A stored or typed offset must stay a whole number of milliseconds that fits a long: every
// frame look-up and frame tick reads it. One that does not fit is not taken; the box keeps its
// value and the day's log names the text.
void frmCAMDisp::txtAdjustMS_Change() {
    if (!StoredLong(txtAdjustMS.Text(), "frmCAMDisp.txtAdjustMS")) {
        txtAdjustMS.setText(lastAdjustMS_);
        return;
    }
    lastAdjustMS_ = txtAdjustMS.Text();
    Acqisition::instance().PBXMoniDisp.Refresh();
}

void frmCAMDisp::cmdPlayMP3_Click() {}

// Closing the camera window ends the program: the main window unloads with it. A cancel, or
// a main window that refuses to close, keeps both. While the main window's close is under way
// (it saves this window's placement and unloads it too) there is nothing more to ask or to close:
// the user's close meanwhile is refused, so the placement saved is this window's.
void frmCAMDisp::Form_QueryUnload(int& Cancel, int UnloadMode) {
    if (GbEndProgram) {
        if (UnloadMode == forms::vbFormControlMenu) Cancel = 1;
        return;
    }
    if (!ConfirmExit()) {
        Cancel = 1;
        return;
    }
    Acqisition::WritePosition(*this);
    if (!forms::Unload(Acqisition::instance())) Cancel = 1;
}

}  // namespace qv
