#pragma once
// The camera window beside the main window: for a recording with a camera video, the frames at
// the main window's left and right cursors side by side, the camera offset, the playback range
// and the playback that steps the main window and the video together.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/camera/CAVI.h"
#include "app/camera/CAnchor.h"
#include "app/camera/CTile.h"
#include "platform/forms/Form.h"

namespace qv {

class frmCAMDisp : public forms::Form {
public:
    // Created on first use.
    static frmCAMDisp& instance();
    static const forms::FormDesign& design();
    frmCAMDisp();
    ~frmCAMDisp() override;

    forms::PictureBox& pbxParentAll;
    forms::PictureBox& pbxParent2;      // the video strip
    forms::PictureBox& pbxParent2_1;    // live-camera panel
    forms::PictureBox& pbxCAM;
    forms::PictureBox& pbxParent2_2;    // left tile
    forms::PictureBox& pbxAVIDummy;     // the hidden player's box, moved out of sight
    forms::PictureBox& pbxAVIL;
    forms::Label& Label4;
    forms::Label& lblFNo_L;             // frame number at the left cursor
    forms::PictureBox& pbxParent2_3;    // right tile
    forms::PictureBox& pbxAVIR;
    forms::Label& Label6;
    forms::Label& lblFNo_R;             // frame number at the right cursor
    forms::ControlArray<forms::Label> lblTitle;
    forms::PictureBox& pbxParent1;      // the control panel under the video strip
    forms::Label& Label5;
    forms::Label& lblTotalFNum;         // frame number at the last sample
    forms::Label& LBLStart;
    forms::TextBox& txtStartTime;       // playback range, s
    forms::Label& lblEnd;
    forms::TextBox& txtEndTime;
    forms::ControlArray<forms::Label> Label1;
    forms::ControlArray<forms::Label> LBLNoUnit;
    forms::ControlArray<forms::Label> LBL_Public;
    forms::TextBox& txtAdjustMS;        // camera offset, ms
    forms::TextBox& txtMP3Adjust;       // kept and stored only
    forms::TextBox& txtMP3AdjustOffset;
    forms::TextBox& txtCapRatio;        // capture progress, read-only
    forms::TextBox& txtTimeRem;
    forms::TextBox& txtStep;            // hidden: playback step in points
    forms::TextBox& txtSleep;           // hidden: playback pause in ms
    forms::TextBox& txtCapNum;          // hidden: capture count
    forms::TextBox& txtFileSize;        // hidden: AVI file size in bytes
    forms::CheckBox& chkAVISizeOver;
    forms::TextBox& txtMsg;
    forms::ControlArray<forms::OptionButton> optDispType;  // 0 "Camera", 1 "AVI File"
    forms::CommandButton& cmdPlay2;
    forms::CommandButton& cmdPlay;      // hidden, never enabled
    forms::CommandButton& cmdPlayMP3;
    forms::CheckBox& chkStop;
    forms::Timer& timResize;
    forms::CommandButton& Command1;     // hidden diagnostic fields
    forms::TextBox& txtlstGlTime_ADCGET;
    forms::TextBox& txtGlTime_ADSTART;
    forms::TextBox& txtDiff;
    forms::Label& Label3;
    forms::Label& Label2;

    // The three players; an access before DispInit or SetAVIFileName makes an empty one.
    CAVI& MCAVIDmy();
    CAVI& MCAVIL();
    CAVI& MCAVIR();

    // The camera size of the loaded recording, kept by the recording load for the camera
    // mode's layout.
    int32_t lCameraWidth = 0;
    int32_t lCameraHeight = 0;

    // ---- Frames ----
    // The frames at the two data positions plus the camera offset; the third argument is not
    // used. Nothing in mode "Acq", without data, or while a call is already updating.
    void DispFlamePos(int32_t leftPoint, int32_t rightPoint, int32_t unused = 0);
    void DispFlame(int32_t leftFrame, int32_t rightFrame);
    // As DispFlamePos without the offset, the busy flag and the labels.
    void DispFlameMS(int32_t leftPoint, int32_t rightPoint);
    // Both players through every frame, letting events run between frames.
    void DispFlameAll();
    void DispFlame2(int32_t frame, int32_t hWnd);
    void Call_CAM_DISPBITMAP(int32_t frame);

    // ---- Players ----
    void DispInit();
    // Binds the three players to the video; true when all three are ready.
    bool SetAVIFileName(const std::string& path);
    bool IsAVIOK();
    void Stretch();
    void Run();
    int32_t FlameNum();
    void SaveBMP(int32_t& frame, const std::string& path);
    // A snapshot through the hidden player; with `blank` a plain green picture.
    void SaveBMPDispPicture(int32_t frame, const std::string& file, int32_t unused, bool blank);

    // ---- Layout ----
    // Lays the window out for the recording's camera size, or in camera mode for the live
    // camera's; nothing while the window is hidden.
    void InitForm(bool cameraMode = false);
    void TermForm();
    void Form_Resize();
    void timResize_Timer();
    void ALL_BTN_ModeSet();
    void optDispType_Click(int Index);

    // ---- Stored values ----
    // Section "Control" of the recording's parameter file, which stays the current ini file.
    void SaveParam();
    void LoadParam();
    // The whole number of milliseconds in txtAdjustMS.
    int32_t AdjustMS() const;

    // ---- Events ----
    void LBLStart_Click();
    void lblEnd_Click();
    void txtCapNum_Change();
    void UpdateTimeRemaining();
    void txtAdjustMS_Change();
    void Form_QueryUnload(int& Cancel, int UnloadMode);
    void cmdPlayMP3_Click();

    // ---- Playback ----
    void cmdPlay2_Click();
    void cmdPlay_Click();

private:
    CAVI& player(std::unique_ptr<CAVI>& slot);
    void bindPlayer(std::unique_ptr<CAVI>& slot, forms::PictureBox& box, const char* name,
                    const std::string& path);
    bool noFramesToShow();
    // A playback's range and step in points and its pause in ms.
    struct PlayRange {
        int32_t start = 0, end = 0, step = 0, pause = 0;
    };
    // Reads the range, step and pause; nothing when the playback must not start.
    std::optional<PlayRange> beginPlay();
    // Runs a playback: the range read, the mode "Play" set, `loop` run, and on every way out
    // the ini file given back and then the mode "End".
    void playback(void (frmCAMDisp::*loop)(const PlayRange&));
    void play2Steps(const PlayRange& range);
    void playSteps(const PlayRange& range);
    // The camera step of a playback: the frames at the cursors when the camera is in use.
    void playCameraStep();

    std::unique_ptr<CAVI> MCAVIDmy_, MCAVIL_, MCAVIR_;
    std::unique_ptr<CAnchor> anchors_[7];
    std::unique_ptr<CTile> tile_;
    int32_t lPrevHeight = 0, lPrevWidth = 0;
    bool bDispFlamePosBusy = false;
    bool bInPlay = false;  // a playback runs; another start meanwhile is dropped
    bool bDispFlamePosToggle = false;
    bool bDispFlameMSToggle = false;
    std::string lastAdjustMS_ = "0";  // the last offset text that fit a long
};

}  // namespace qv
