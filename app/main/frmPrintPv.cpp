#include "app/main/frmPrintPv.h"

#include <algorithm>
#include <cmath>

#include "app/common/modBasicSort.h"
#include "app/common/modCommon.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "app/main/mdlBitMap.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Printer.h"
#include "platform/kernel/SettingsStore.h"

namespace qv {

using basic::RuntimeError;

std::array<forms::Form*, 4> GPrintForms{};

namespace {

// Geometry of windows and controls is in twips, captures in pixels: 15 twips a pixel.
constexpr double kTwipsPerPixel = 15;
constexpr double kMinWidth = 9600;
constexpr double kMinHeight = 7200;
constexpr const char* kErrorTitle = "ハードコピーエラー";

const std::string& printerTrouble() {
    static const std::string text = std::string("なんらかの問題が発生したため、印刷ができません。") + "\r" +
                                    "次の問題が考えられます。" + "\r" +
                                    "  ・Windows のコントロール パネルで設定したプリンタがありません。" + "\r" +
                                    "  ・プリンタがオンラインになっていません。" + "\r" +
                                    "  ・プリンタの電源を入れ、オンラインにしてください。" + "\r" +
                                    "  ・プリンタが使用中であるか、プリンタ用紙がありません。";
    return text;
}

// Every failure of a hard copy is told: the printer error with its own advice, anything else
// with its number and description.
void reportPrintError(const RuntimeError& e) {
    if (e.number() == forms::errPrinter) {
        forms::MsgBox(printerTrouble(), forms::vbCritical | forms::vbOKOnly, kErrorTitle);
        return;
    }
    forms::MsgBox("なんらかの問題が発生したため、印刷ができません。\rエラー " + std::to_string(e.number()) +
                      ": " + e.description(),
                  forms::vbCritical | forms::vbOKOnly, kErrorTitle);
}

// A canvas of `canvas` twips in a viewport of `viewport` twips: when it fits, the scroll bar
// goes to its minimum and hides; otherwise it shows with steps for the overhang, and the
// caller applies its position (true).
bool setUpScrolling(forms::ScrollBar& bar, double canvas, double viewport) {
    if (canvas + 200 < viewport) {
        bar.setValue(bar.Min());
        bar.setVisible(false);
        return false;
    }
    bar.setVisible(true);
    double r = (canvas + 200) / viewport - 1;
    // A canvas that just fills the viewport (r = 0) takes the largest step; a step is at least 1.
    double large = r > 0 ? std::min(100.0 / r, 32767.0) : 32767.0;
    int largeChange = std::max(1, basic::roundToInt32(large));
    bar.setLargeChange(largeChange);
    bar.setSmallChange(std::max(1, basic::roundToInt32(std::max(largeChange / 10.0, 1.0))));
    return true;
}

}  // namespace

frmPrintPv& frmPrintPv::instance() { return forms::loadForm<frmPrintPv>(); }

frmPrintPv::frmPrintPv()
    : Form(design()),
      cmdPrint(ctl<forms::CommandButton>("cmdPrint")),
      cmdClose(ctl<forms::CommandButton>("cmdClose")),
      optSize(array<forms::OptionButton>("optSize")),
      picBase(ctl<forms::PictureBox>("picBase")),
      picPreview(ctl<forms::PictureBox>("picPreview")),
      hsbScrollBar(ctl<forms::HScrollBar>("hsbScrollBar")),
      vsbScrollBar(ctl<forms::VScrollBar>("vsbScrollBar")),
      pbxBuff(array<forms::PictureBox>("pbxBuff")) {
    on(Load, &frmPrintPv::Form_Load);
    on(Resize, &frmPrintPv::Form_Resize);
    on(QueryUnload, &frmPrintPv::Form_QueryUnload);
    on(Unload, &frmPrintPv::Form_Unload);
    on(cmdPrint.Click, &frmPrintPv::cmdPrint_Click);
    on(cmdClose.Click, &frmPrintPv::cmdClose_Click);
    on(optSize, &forms::OptionButton::Click, &frmPrintPv::optSize_Click);
    on(vsbScrollBar.Change, &frmPrintPv::vsbScrollBar_Change);
    on(hsbScrollBar.Change, &frmPrintPv::hsbScrollBar_Change);
}

// ---- Load, unload and placement ---------------------------------------------------------

void frmPrintPv::Form_Load() { Init(); }

void frmPrintPv::Init() {
    bClosing = 0;
    if (forms::printerCount() == 0) cmdPrint.setEnabled(false);
    restorePlacement();
    fnWinPosition(*this, true);
}

void frmPrintPv::restorePlacement() {
    // A stored value that is not a number, or a size that is not positive, keeps the
    // current value.
    auto read = [](const char* key, double current, bool size) {
        std::string text = kernel::getSetting(kSettingsApplication, kPrintPvSection, key,
                                              basic::CStr(static_cast<float>(current)));
        if (!basic::IsNumeric(text)) return current;
        try {
            double v = basic::CSng(text);
            return (std::isfinite(v) && (!size || v > 0)) ? v : current;
        } catch (const RuntimeError&) {
            return current;
        }
    };
    double left = read("Left", Left(), false), top = read("Top", Top(), false);
    double width = read("Width", Width(), true), height = read("Height", Height(), true);
    if (WindowState() == forms::vbNormal) Move(left, top, width, height);
}

void frmPrintPv::Terminate() { savePlacement(); }

void frmPrintPv::savePlacement() {
    if (WindowState() == forms::vbMaximized) setWindowState(forms::vbNormal);
    const std::pair<const char*, double> values[] = {
        {"Left", Left()}, {"Top", Top()}, {"Width", Width()}, {"Height", Height()}};
    for (const auto& [key, v] : values)
        kernel::saveSetting(kSettingsApplication, kPrintPvSection, key, basic::CStr(static_cast<float>(v)));
}

void frmPrintPv::Form_QueryUnload(int& Cancel, int UnloadMode) {
    // The unload under way is the one this window asks for; nothing cancels it.
    (void)Cancel;
    (void)UnloadMode;
}

void frmPrintPv::Form_Unload(int& Cancel) {
    (void)Cancel;
    Terminate();
    for (int i = pbxBuff.UBound(); i >= 1; --i)
        if (pbxBuff.exists(i)) pbxBuff.Unload(i);
    PrtForms.clear();
    sngFormWidth.clear();
    sngFormHeight.clear();
}

bool frmPrintPv::fnWinPosition(forms::Form& form, bool bNotTopmost) {
    try {
        int l = basic::CLng(form.Left() / kTwipsPerPixel);
        int t = basic::CLng(form.Top() / kTwipsPerPixel);
        int w = basic::CLng(form.Width() / kTwipsPerPixel);
        int h = basic::CLng(form.Height() / kTwipsPerPixel);
        double sw = forms::Screen.Width() / kTwipsPerPixel;
        double sh = forms::Screen.Height() / kTwipsPerPixel;
        if (sw <= l) l = basic::CLng(sw - w);
        if (l < -w) l = 0;
        if (sh <= t) t = basic::CLng(sh - h);
        if (t < -18) t = 0;
        form.Move(l * kTwipsPerPixel, t * kTwipsPerPixel, w * kTwipsPerPixel, h * kTwipsPerPixel);
        form.setTopMost(!bNotTopmost);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

// ---- Captures -------------------------------------------------------------------------

void frmPrintPv::SetForm(forms::Form* form) {
    CurForm1 = form;
    CaptureToBuffer(form, 0);
}

void frmPrintPv::SetForm2(forms::Form* form) {
    CurForm2 = form;
    if (!pbxBuff.exists(1)) pbxBuff.Load(1);
    CaptureToBuffer(form, 1);
}

void frmPrintPv::AddForm(forms::Form* form) {
    const int n = GetUBound(PrtForms) + 1;
    PrtForms.resize(static_cast<size_t>(n) + 1);
    sngFormWidth.resize(static_cast<size_t>(n) + 1);
    sngFormHeight.resize(static_cast<size_t>(n) + 1);
    PrtForms[static_cast<size_t>(n)] = form;
    if (pbxBuff.UBound() < n) pbxBuff.Load(n);
    CaptureToBuffer(form, n);
    sngMaxHeight = GetMaxHieght();
}

float frmPrintPv::GetMaxHieght() {
    if (sngFormHeight.empty()) return 0;
    std::vector<float> sorted = sngFormHeight;
    QuickSort(sorted, 0, static_cast<int32_t>(sorted.size()) - 1, false);
    return sorted[0];
}

void frmPrintPv::CaptureToBuffer(forms::Form* form, int index) {
    if (bClosing == 1) return;
    if (!form) basic::raiseError(basic::errObjectNotSet);
    const bool wasVisible = form->Visible();
    form->Show(forms::vbModeless);
    form->Refresh();
    forms::DoEvents();

    bool undoTopmost = false;
    if (Visible()) {
        Hide();
        fnWinPosition(*form, false);
        forms::DoEvents();
        undoTopmost = true;
    }

    // SetForm and SetForm2 may come before any AddForm: the size arrays reach the index.
    if (sngFormWidth.size() <= static_cast<size_t>(index)) {
        sngFormWidth.resize(static_cast<size_t>(index) + 1);
        sngFormHeight.resize(static_cast<size_t>(index) + 1);
    }
    const float w = static_cast<float>(form->Width() / kTwipsPerPixel);
    const float h = static_cast<float>(form->Height() / kTwipsPerPixel);
    sngFormWidth[static_cast<size_t>(index)] = w;
    sngFormHeight[static_cast<size_t>(index)] = h;
    form->renderWindowImage();
    pbxBuff(index).setPicture(
        CaptureWindowImage(form->hWnd(), false, 0, 0, basic::CLng(w), basic::CLng(h)));

    if (undoTopmost) fnWinPosition(*form, true);
    if (!wasVisible) form->Hide();
}

// ---- Composition ----------------------------------------------------------------------

void frmPrintPv::CreatePic_H() {
    if (PrtForms.empty()) basic::raiseError(basic::errSubscript);
    const double height = sngMaxHeight * kTwipsPerPixel;
    picPreview.Move(0, 0, sngFormWidth[0] * kTwipsPerPixel, height);
    picPreview.Cls();
    picPreview.PaintPicture(pbxBuff(0).picture(), 0, 0);
    double acc = sngFormWidth[0];
    for (size_t i = 1; i < PrtForms.size(); ++i) {
        picPreview.Move(0, 0, (acc + sngFormWidth[i]) * kTwipsPerPixel, height);
        picPreview.PaintPicture(pbxBuff(static_cast<int>(i)).picture(), acc * kTwipsPerPixel, 0);
        acc += sngFormWidth[i];
    }
    roundTripCanvas();
}

void frmPrintPv::CreatePic() {
    if (sngFormWidth.size() < 2) basic::raiseError(basic::errSubscript);
    picPreview.Move(0, 0, (sngFormWidth[0] + sngFormWidth[1]) * kTwipsPerPixel,
                    sngFormHeight[0] * kTwipsPerPixel);
    picPreview.Cls();
    picPreview.PaintPicture(pbxBuff(0).picture(), 0, 0);
    picPreview.PaintPicture(pbxBuff(1).picture(), sngFormWidth[0] * kTwipsPerPixel, 0);
    roundTripCanvas();
}

void frmPrintPv::roundTripCanvas() {
    const std::string path = ProgramFile("Tmp.bmp");
    forms::Picture canvas = picPreview.Image();
    forms::SavePicture(canvas, path);
    forms::Picture back = forms::LoadPicture(path);
    // What comes back must be the canvas just written, not some other file put there.
    if (back.widthPixels() != canvas.widthPixels() || back.heightPixels() != canvas.heightPixels())
        basic::raiseError(481, "Invalid picture");
    picPreview.setPicture(back);
}

// ---- Printing -------------------------------------------------------------------------

void frmPrintPv::cmdPrint_Click() {
    try {
        PrintPictureOnPage(forms::Printer, picPreview.picture());
    } catch (const RuntimeError& e) {
        forms::Printer.KillDoc();  // no half-made page goes out
        reportPrintError(e);
        return;
    }
    try {
        forms::Printer.EndDoc();
    } catch (const RuntimeError& e) {
        reportPrintError(e);
        return;
    }
    // With no printer installed the document went to a file: say where.
    forms::PrinterPort* port = forms::printerPort();
    if (forms::printerCount() == 0 && port && !port->lastOutputFile().empty())
        forms::MsgBox("プリンタがインストールされていないため、PDF ファイルに出力しました。\r" +
                          port->lastOutputFile(),
                      forms::vbInformation | forms::vbOKOnly, "ハードコピー");
}

void frmPrintPv::cmdClose_Click() {
    bClosing = 1;
    SetForm(nullptr);
    forms::Unload(*this);
}

void frmPrintPv::optSize_Click(int Index) { (void)Index; }

// ---- Layout and scrolling ---------------------------------------------------------------

void frmPrintPv::Form_Resize() {
    if (WindowState() == forms::vbMinimized) return;
    // A maximised window cannot be sized; the smallest size applies to a normal one.
    if (WindowState() == forms::vbNormal) {
        if (Width() < kMinWidth) setWidth(kMinWidth);
        if (Height() < kMinHeight) setHeight(kMinHeight);
    }
    forms::DoEvents();

    const double w = ScaleWidth() - vsbScrollBar.Width() - 120;
    if (w > 0) {
        picBase.setWidth(w);
        hsbScrollBar.setWidth(w);
        vsbScrollBar.setLeft(w + 60);
    }
    if (setUpScrolling(hsbScrollBar, picPreview.Width(), picBase.Width())) hsbScrollBar_Change();

    const double h = ScaleHeight() - (hsbScrollBar.Height() + 540 + 60);
    if (h <= picBase.Top()) return;
    picBase.setHeight(h);
    vsbScrollBar.setHeight(h);
    hsbScrollBar.setTop(h + 540);
    if (setUpScrolling(vsbScrollBar, picPreview.Height(), picBase.Height())) vsbScrollBar_Change();
}

void frmPrintPv::hsbScrollBar_Change() {
    picPreview.setLeft(hsbScrollBar.Value() * (picBase.Width() - picPreview.Width() - 200) / 100);
}

void frmPrintPv::vsbScrollBar_Change() {
    picPreview.setTop(vsbScrollBar.Value() * (picBase.Height() - picPreview.Height() - 200) / 100);
}

// ---- The hard copy --------------------------------------------------------------------

void HardCopyForms() {
    // The captures let events through: a print started meanwhile (a second click, the other
    // print button) would unload the preview this one is still composing. It is dropped.
    static bool printing = false;
    if (printing) return;
    Acqisition::RaisedFlag running(printing);
    const std::array<forms::Form*, 4> windows = GPrintForms;
    if (windows[1]) windows[1]->Refresh();
    frmPrintPv& pv = frmPrintPv::instance();
    forms::Runtime::KeepAlive keep;
    try {
        for (size_t slot = 1; slot <= 3; ++slot)
            if (windows[slot]) pv.AddForm(windows[slot]);
        pv.CreatePic_H();
        pv.Init();
        pv.cmdPrint_Click();
    } catch (const RuntimeError& e) {
        // A capture or the canvas file that failed: told like any print failure.
        reportPrintError(e);
    }
    forms::Unload(pv);
}

}  // namespace qv
