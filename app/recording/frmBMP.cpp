#include "app/recording/frmBMP.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/common/modCommon.h"
#include "platform/basic/Numbers.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Picture.h"
#include "platform/gdi/Bmp.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Paths.h"

namespace qv {

using basic::raiseError;

namespace {

constexpr int kErrBadFormat = 321;  // invalid file format
constexpr uint32_t kMaxColours = 1000;

// The DrawDib handles: names only, nothing outside the program is involved.
int32_t DrawDibOpen() {
    static int32_t next = 0;
    return ++next;
}

bool DrawDibClose(int32_t h) { return h != 0; }

uint16_t le16(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
uint32_t le32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
           (uint32_t(b[at + 3]) << 24);
}

}  // namespace

DIBFileRecords parseDIBFile(std::span<const uint8_t> b) {
    if (b.size() < 14 + 40) raiseError(kErrBadFormat, "ビットマップファイルのヘッダーが途中で切れています。");
    DIBFileRecords r;
    BITMAPFILEHEADER& f = r.fileHeader;
    f.bfType = le16(b, 0);
    f.bfSize = le32(b, 2);
    f.bfReserved1 = le16(b, 6);
    f.bfReserved2 = le16(b, 8);
    f.bfOffBits = le32(b, 10);
    gdi::BITMAPINFOHEADER& h = r.info.bmiHeader;
    h.biSize = le32(b, 14);
    h.biWidth = int32_t(le32(b, 18));
    h.biHeight = int32_t(le32(b, 22));
    h.biPlanes = le16(b, 26);
    h.biBitCount = le16(b, 28);
    h.biCompression = le32(b, 30);
    h.biSizeImage = le32(b, 34);
    h.biXPelsPerMeter = int32_t(le32(b, 38));
    h.biYPelsPerMeter = int32_t(le32(b, 42));
    h.biClrUsed = le32(b, 46);
    h.biClrImportant = le32(b, 50);

    const uint16_t bits = h.biBitCount;
    bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    bool knownLayout = h.biCompression == gdi::BI_RGB ||
                       (h.biCompression == gdi::BI_BITFIELDS && (bits == 16 || bits == 32));
    bool knownHeader = h.biSize == 40 || h.biSize == 52 || h.biSize == 56 || h.biSize == 108 ||
                       h.biSize == 124;
    int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight;
    if (!knownDepth || !knownLayout || !knownHeader || h.biPlanes != 1 || h.biWidth <= 0 ||
        height == 0 || int64_t(h.biWidth) * height > (int64_t(1) << 28))
        raiseError(kErrBadFormat, "対応していない形式のビットマップファイルです。");

    // The colour table follows the info header; with bit fields the three masks come first.
    uint64_t tablePos = 14 + uint64_t(h.biSize);
    uint32_t colours = h.biClrUsed ? h.biClrUsed : (bits <= 8 ? 1u << bits : 0u);
    if (colours > kMaxColours) raiseError(kErrBadFormat, "ビットマップファイルのカラーテーブルが大きすぎます。");
    uint32_t masks = h.biCompression == gdi::BI_BITFIELDS ? 3 : 0;
    if (masks && h.biSize > 40) tablePos = 14 + 40;  // masks inside a longer header
    uint32_t entries = std::min<uint32_t>(kMaxColours, masks + colours);
    if (tablePos + 4ull * entries > b.size())
        raiseError(kErrBadFormat, "ビットマップファイルのカラーテーブルが途中で切れています。");
    for (uint32_t i = 0; i < entries; ++i) {
        size_t at = size_t(tablePos) + 4 * size_t(i);
        r.info.bmiColors[i] = gdi::RGBQUAD{b[at], b[at + 1], b[at + 2], b[at + 3]};
    }

    uint64_t need = uint64_t(gdi::dibStride(h.biWidth, bits)) * uint64_t(height);
    if (uint64_t(f.bfOffBits) + need > b.size())
        raiseError(kErrBadFormat, "ビットマップファイルの画素データが足りません。");
    r.pixels.resize(size_t(need / 4));
    std::memcpy(r.pixels.data(), b.data() + f.bfOffBits, size_t(need));
    return r;
}

std::string InProgramFolder(const std::string& name) {
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return name;
    return kernel::programFolder() + "/" + name;
}

bool BitmapFileStep(const std::string& button, const std::string& file, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const basic::RuntimeError& e) {
        forms::MsgBox(button + " できません。\r\n" + file + "\r\nFile Error CODE= " + basic::CStr(e.number()),
                      forms::vbExclamation);
        return false;
    }
}

frmBMP& frmBMP::instance() { return forms::loadForm<frmBMP>(); }

frmBMP::frmBMP()
    : Form(design()),
      txtFileName(ctl<forms::TextBox>("txtFileName")),
      cmdLoadBMP(ctl<forms::CommandButton>("cmdLoadBMP")),
      txtBMPWd(ctl<forms::TextBox>("txtBMPWd")),
      txtBMPHi(ctl<forms::TextBox>("txtBMPHi")),
      txtBit(ctl<forms::TextBox>("txtBit")),
      Picture1(ctl<forms::PictureBox>("Picture1")),
      cmd反転(ctl<forms::CommandButton>("cmd反転")),
      txt文字列(ctl<forms::TextBox>("txt文字列")),
      cmd文字列出力(ctl<forms::CommandButton>("cmd文字列出力")),
      txtSaveFileName(ctl<forms::TextBox>("txtSaveFileName")),
      cmdSaveBMP(ctl<forms::CommandButton>("cmdSaveBMP")),
      txtbfType(ctl<forms::TextBox>("txtbfType")),
      txtbfSize(ctl<forms::TextBox>("txtbfSize")),
      txtbfReserved1(ctl<forms::TextBox>("txtbfReserved1")),
      txtbfReserved2(ctl<forms::TextBox>("txtbfReserved2")),
      txtbfOffBits(ctl<forms::TextBox>("txtbfOffBits")),
      txtbiSize(ctl<forms::TextBox>("txtbiSize")),
      txtbiWidth(ctl<forms::TextBox>("txtbiWidth")),
      txtbiHeight(ctl<forms::TextBox>("txtbiHeight")),
      txtbiPlanes(ctl<forms::TextBox>("txtbiPlanes")),
      txtbiBitCount(ctl<forms::TextBox>("txtbiBitCount")),
      txtbiCompression(ctl<forms::TextBox>("txtbiCompression")),
      txtbiSizeImage(ctl<forms::TextBox>("txtbiSizeImage")),
      txtbiXPelsPerMeter(ctl<forms::TextBox>("txtbiXPelsPerMeter")),
      txtbiYPelsPerMeter(ctl<forms::TextBox>("txtbiYPelsPerMeter")),
      txtbiClrUsed(ctl<forms::TextBox>("txtbiClrUsed")),
      txtbiClrImportant(ctl<forms::TextBox>("txtbiClrImportant")),
      txtrgbBlue(ctl<forms::TextBox>("txtrgbBlue")),
      txtrgbGreen(ctl<forms::TextBox>("txtrgbGreen")),
      txtrgbRed(ctl<forms::TextBox>("txtrgbRed")),
      txtrgbReserved(ctl<forms::TextBox>("txtrgbReserved")) {
    on(cmdLoadBMP.Click, &frmBMP::cmdLoadBMP_Click);
    on(cmd反転.Click, &frmBMP::cmd反転_Click);
    on(cmd文字列出力.Click, &frmBMP::cmd文字列出力_Click);
    on(cmdSaveBMP.Click, &frmBMP::cmdSaveBMP_Click);
    on(txtFileName.Change, &frmBMP::txtFileName_Change);
    on(Load, &frmBMP::Form_Load);
    on(Unload, &frmBMP::Form_Unload);
}

void frmBMP::Form_Load() { hDrawDib_ = DrawDibOpen(); }

void frmBMP::Form_Unload(int& /*Cancel*/) {
    DrawDibClose(hDrawDib_);
    hDrawDib_ = 0;
}

void frmBMP::LoadBMP(const std::string& fileName) {
    txtFileName.setText(fileName);
    load();
}

void frmBMP::cmdLoadBMP_Click() {
    BitmapFileStep("LoadBMP", txtFileName.Text(), [this] { load(); });
}

void frmBMP::load() {
    // Everything is read before anything changes: a file that does not load leaves the window
    // as it was.
    forms::Picture picture = forms::LoadPicture(InProgramFolder(txtFileName.Text()));
    gdi::BITMAP bm{};
    gdi::GetObjectA(picture.Handle(), sizeof bm, &bm);
    std::vector<uint8_t> bytes(size_t(bm.bmWidthBytes) * size_t(bm.bmHeight));
    gdi::GetBitmapBits(picture.Handle(), int32_t(bytes.size()), bytes.data());
    bmp_ = bm;
    bmpBits_ = std::move(bytes);
    Picture1.Move(Picture1.Left(), Picture1.Top(), bm.bmWidth * 15.0, bm.bmHeight * 15.0);
    Picture1.setPicture(picture);
    Picture1.Refresh();
    txtBit.setText(basic::CStr(int32_t(bm.bmBitsPixel)));
    txtBMPWd.setText(basic::CStr(bm.bmWidth));
    txtBMPHi.setText(basic::CStr(bm.bmHeight));
}

void frmBMP::cmd反転_Click() {
    if (bmpBits_.empty()) return;  // nothing loaded
    for (uint8_t& v : bmpBits_) v = uint8_t(~v);
    gdi::SetBitmapBits(Picture1.picture().Handle(), uint32_t(bmpBits_.size()), bmpBits_.data());
    Picture1.Refresh();
}

void frmBMP::cmd文字列出力_Click() {
    Picture1.CurrentX = 0;
    Picture1.CurrentY = 0;
    Picture1.setForeColor(forms::rgb(0, 0, 0));
    Picture1.Print(txt文字列.Text());
}

void frmBMP::cmdSaveBMP_Click() {
    const std::string file = txtSaveFileName.Text();
    BitmapFileStep("SaveBMP", file, [&] { forms::SavePicture(Picture1.Image(), InProgramFolder(file)); });
}

void frmBMP::txtFileName_Change() {
    txtSaveFileName.setText(GetPathWithoutExt(txtFileName.Text()) + "_.BMP");
}

void frmBMP::DispBMP(forms::PictureBox& picture, const std::vector<int32_t>& pixels) {
    if (pixels.empty()) return;
    gdi::BITMAPINFO bi;
    bi.bmiHeader = info_.bmiHeader;
    std::copy_n(info_.bmiColors, 256, bi.bmiColors);
    const gdi::BITMAPINFOHEADER& h = bi.bmiHeader;
    forms::PixelRect box = picture.outerRect();
    int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    gdi::StretchDIBits(picture.hDC(), 0, 0, box.width(), box.height(), 0, 0, h.biWidth, height,
                       pixels.data(), &bi, gdi::DIB_RGB_COLORS, gdi::SRCCOPY,
                       pixels.size() * sizeof(int32_t));
    picture.Refresh();
}

void frmBMP::GetDIB(std::vector<int32_t>& pixels) const { pixels = dibBits_; }

void frmBMP::ReadDIBFile() {
    std::string path = kernel::toLinuxPath(InProgramFolder(txtFileName.Text()));
    if (!kernel::isRegularFile(path)) raiseError(basic::errFileNotFound);
    std::ifstream in(path, std::ios::binary);
    if (!in) raiseError(basic::errFileNotFound);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) return;
    DIBFileRecords r = parseDIBFile(bytes);
    fileHeader_ = r.fileHeader;
    info_ = r.info;
    dibBits_ = std::move(r.pixels);
    DispBMP(Picture1, dibBits_);
    const BITMAPFILEHEADER& f = fileHeader_;
    const gdi::BITMAPINFOHEADER& h = info_.bmiHeader;
    auto s16 = [](uint16_t v) { return basic::CStr(int32_t(int16_t(v))); };
    auto s32 = [](uint32_t v) { return basic::CStr(int32_t(v)); };
    txtbfType.setText(s16(f.bfType));
    txtbfSize.setText(s32(f.bfSize));
    txtbfReserved1.setText(s16(f.bfReserved1));
    txtbfReserved2.setText(s16(f.bfReserved2));
    txtbfOffBits.setText(s32(f.bfOffBits));
    txtbiSize.setText(s32(h.biSize));
    txtbiWidth.setText(s32(uint32_t(h.biWidth)));
    txtbiHeight.setText(s32(uint32_t(h.biHeight)));
    txtbiPlanes.setText(s16(h.biPlanes));
    txtbiBitCount.setText(s16(h.biBitCount));
    txtbiCompression.setText(s32(h.biCompression));
    txtbiSizeImage.setText(s32(h.biSizeImage));
    txtbiXPelsPerMeter.setText(s32(uint32_t(h.biXPelsPerMeter)));
    txtbiYPelsPerMeter.setText(s32(uint32_t(h.biYPelsPerMeter)));
    txtbiClrUsed.setText(s32(h.biClrUsed));
    txtbiClrImportant.setText(s32(h.biClrImportant));
}

}  // namespace qv
