// The camera window's layout: sized from the camera picture, kept in step by seven anchors and
// one tile, re-laid after a resize with the video's aspect; and its controls by mode.
#include "app/camera/frmCAMDisp.h"

#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Globals.h"

namespace qv {

namespace {

constexpr double kTwipsPerPixel = 15;

// A camera size of 0 or less (a resolution "0,0" or one that is not a number) would lay out
// nothing and divide by zero in the aspect rule: it counts as the default camera's.
void usableCameraSize(int32_t& width, int32_t& height) {
    if (width <= 0 || height <= 0) {
        width = 320;
        height = 240;
    }
}

}  // namespace

void frmCAMDisp::InitForm(bool cameraMode) {
    if (!Visible()) return;
    const int state = WindowState();
    setWindowState(forms::vbNormal);
    // The layout objects of an earlier layout would pull the window back to the size they
    // were made for while this one sizes it anew.
    TermForm();
    for (forms::PictureBox* box : {&pbxAVIL, &pbxAVIR}) {
        box->setPicture(forms::Picture());
        box->Refresh();
    }
    pbxParent2_1.setVisible(optDispType(0).Value());
    pbxAVIDummy.setTop(-100000);
    pbxAVIDummy.setLeft(-100000);

    double W = 4800, H = 3600;
    if (!cameraMode) {
        int32_t w = GAcqCondition.lCameraWidth, h = GAcqCondition.lCameraHeight;
        usableCameraSize(w, h);
        W = w * kTwipsPerPixel;
        H = h * kTwipsPerPixel;
    } else if (IsCameraFilterOK() && lCameraWidth != 0) {
        int32_t w = lCameraWidth, h = lCameraHeight;
        usableCameraSize(w, h);
        W = w * kTwipsPerPixel;
        H = h * kTwipsPerPixel;
    }

    const double title0 = lblTitle(0).Height();
    pbxParentAll.setWidth(2 * W);
    pbxParentAll.setHeight(title0 + H + pbxParent1.Height());
    pbxParent2_1.setTop(0);
    pbxParent2_2.setTop(0);
    pbxParent2_3.setTop(0);
    pbxParent2_1.setLeft(0);
    setWidth(2 * W + 300);
    setHeight(title0 + H + pbxParent1.Height() + 510);
    forms::PictureBox* videos[] = {&pbxCAM, &pbxAVIL, &pbxAVIR};
    for (int k = 0; k < 3; ++k) videos[k]->Move(videos[k]->Left(), lblTitle(k).Height() - 30, W, H);
    pbxParent2.setHeight(title0 + H);
    pbxParent2_1.setHeight(title0 + H);
    pbxParent2_2.setHeight(lblTitle(1).Height() + H);
    pbxParent2_3.setHeight(lblTitle(2).Height() + H);
    pbxParent2.setWidth(2 * W);
    pbxParent2_1.setWidth(W);
    pbxParent2_2.setWidth(W);
    pbxParent2_3.setWidth(W);
    pbxParent1.setTop(pbxParent2.Height());
    pbxParent1.setWidth(pbxParent2.Width());
    lblTitle(0).setWidth(pbxParent2_1.Width());
    lblTitle(1).setWidth(pbxParent2_2.Width());
    lblTitle(2).setWidth(pbxParent2_3.Width());

    struct AnchorSetup {
        forms::Control* child;
        forms::PictureBox* parent;
        bool up, down, tiled;
    };
    const AnchorSetup setups[7] = {
        {&lblTitle(0), &pbxParent2_1, true, false, true},
        {&lblTitle(1), &pbxParent2_2, true, false, true},
        {&lblTitle(2), &pbxParent2_3, true, false, true},
        {&pbxParent2, &pbxParentAll, true, false, false},
        {&pbxAVIL, &pbxParent2_2, true, true, true},
        {&pbxAVIR, &pbxParent2_3, true, true, true},
        {&pbxParent1, &pbxParentAll, false, true, false},
    };
    const int32_t minHeight = basic::CLng(Height());
    const int32_t minWidth = basic::CLng(Width());
    for (int i = 0; i < 7; ++i) {
        auto a = std::make_unique<CAnchor>();
        a->AnchorD = setups[i].down;
        a->AnchorL = true;
        a->AnchorR = true;
        a->AnchorU = setups[i].up;
        a->setChildControl(*setups[i].child);
        a->setParentPicture(*setups[i].parent);
        a->setParentForm(*this);
        if (setups[i].tiled) a->TiledParent = true;
        a->setMinHeight(minHeight);
        a->setMinWidth(minWidth);
        anchors_[i] = std::move(a);
    }
    tile_ = std::make_unique<CTile>();
    tile_->setParentPicture(pbxParent2);
    tile_->setParentForm(*this);
    tile_->setRow(1);
    tile_->setCol(2);
    tile_->SetChildControl(0, 0, pbxParent2_2);
    pbxParent2_2.setVisible(true);
    tile_->SetChildControl(0, 1, pbxParent2_3);
    pbxParent2_3.setVisible(true);
    tile_->setMinHeight(minHeight);
    tile_->setMinWidth(minWidth);
    tile_->Update();

    if (IsModeAcq() || !IsDataLoaded())
        txtMsg.setText("");
    else if (!IsCameraEnabled(GstrKparFile, false))
        txtMsg.setText("動画のないデータです。");
    else if (IsAVIOK())
        txtMsg.setText("");
    setWindowState(state);
    ALL_BTN_ModeSet();
}

void frmCAMDisp::TermForm() {
    tile_.reset();
    for (auto& a : anchors_) a.reset();
}

// A drag gives one re-layout shortly after it pauses.
void frmCAMDisp::Form_Resize() {
    timResize.setInterval(10);
    timResize.setEnabled(true);
}

void frmCAMDisp::timResize_Timer() {
    if (!optDispType(1).Value()) {
        InitForm(true);
    } else {
        if (IsDataLoaded()) {
            if (WindowState() == forms::vbNormal) {
                int32_t camW = GAcqCondition.lCameraWidth, camH = GAcqCondition.lCameraHeight;
                usableCameraSize(camW, camH);
                const double dH = std::abs(static_cast<double>(lPrevHeight) - Height());
                const double dW = std::abs(static_cast<double>(lPrevWidth) - Width());
                // The edge the user dragged decides; each half keeps the camera's proportion.
                if (dW < dH) setWidth(2 * Height() * camW / camH);
                setHeight(static_cast<double>(camH) / camW * (Width() / 2) + pbxParent1.Height() +
                          lblTitle(2).Height());
            }
            Stretch();
        }
        lPrevHeight = basic::CLng(Height());
        lPrevWidth = basic::CLng(Width());
    }
    timResize.setEnabled(false);
}

void frmCAMDisp::ALL_BTN_ModeSet() {
    const bool idle = !IsModePlay() && !IsModeAcq();
    const bool types = IsCamDispTypeEnabled() && IsCameraSetting() && idle;
    optDispType(0).setEnabled(types);
    optDispType(1).setEnabled(types);
    cmdPlay.setEnabled(false);
    cmdPlay2.setEnabled(idle);
    cmdPlayMP3.setEnabled(false);
    // A running playback is stopped with this box, so it stays usable then.
    chkStop.setEnabled(!IsModeAcq());
}

void frmCAMDisp::optDispType_Click(int Index) {
    if (forms::App.PrevInstance() || !IsCameraSetting()) return;
    pbxParent2_1.setVisible(Index == 0);
    TermForm();
    InitForm(Index == 0);
    Stretch();
}

}  // namespace qv
