#include "app/recording/frmBMP.h"

namespace qv {

using T = forms::ControlType;

namespace {
const char* const kNote =
    "ビットマップファイルを利用するためのモジュールです。\r\n"
    "LoadBMPすると解像度やビット数が取得可能になります。\r\n"
    "※　AutoRedrawをTrueにしてください。FALSEでは文字列が出力されなくなります。\r\n"
    "　　BorderStyleはFalseに設定いしてください。Trueだと出力されるビットマップのサイズが変化してしまいます。";
}  // namespace

const forms::FormDesign& frmBMP::design() {
    // Twips. The header boxes stand in three groups on the right, each field's name beside it.
    static const forms::FormDesign d{
        "frmBMP", "frmBMP", 0, 0, 9000, 8700,
        {},
        {
            {T::Label, "Label1", -1, "", 120, 150, 1980, 255, "ファイル名", {}},
            {T::TextBox, "txtFileName", -1, "", 2160, 120, 1680, 300, "TEST.BMP", {}},
            {T::CommandButton, "cmdLoadBMP", -1, "", 3960, 120, 1200, 330, "LoadBMP", {}},
            {T::Label, "Label2", -1, "", 120, 510, 1980, 255, "BMP幅（ピクセル数）", {}},
            {T::TextBox, "txtBMPWd", -1, "", 2160, 480, 1680, 300, "TEST.BMP", {}},
            {T::Label, "Label3", -1, "", 120, 870, 1980, 255, "BMP高さ（ピクセル数）", {}},
            {T::TextBox, "txtBMPHi", -1, "", 2160, 840, 1680, 300, "TEST.BMP", {}},
            {T::Label, "Label4", -1, "", 120, 1230, 1980, 255, "ビット数", {}},
            {T::TextBox, "txtBit", -1, "", 2160, 1200, 1680, 300, "TEST.BMP", {}},
            {T::CommandButton, "cmd反転", -1, "", 3960, 480, 1200, 330, "反転", {}},
            {T::Label, "Label5", -1, "", 120, 1590, 1980, 255, "文字列出力", {}},
            {T::TextBox, "txt文字列", -1, "", 2160, 1560, 1680, 300, "TEST.BMP", {}},
            {T::CommandButton, "cmd文字列出力", -1, "", 3960, 1545, 1200, 330, "文字列出力", {}},
            {T::Label, "Label6", -1, "", 120, 1950, 1980, 255, "Saveファイル名", {}},
            {T::TextBox, "txtSaveFileName", -1, "", 2160, 1920, 1680, 300, "TEST_.BMP", {}},
            {T::CommandButton, "cmdSaveBMP", -1, "", 3960, 1905, 1200, 330, "SaveBMP", {}},
            {T::TextBox, "txtNote", -1, "", 120, 2340, 5040, 1200, kNote,
             {{"MultiLine", true}, {"Locked", true}}},
            {T::PictureBox, "Picture1", -1, "", 120, 3660, 5040, 4200, "", {{"BorderStyle", 0}, {"AutoRedraw", true}}},
            {T::Label, "lblBITMAPFILEHEADER", -1, "", 5400, 150, 3300, 255, "BITMAPFILEHEADER構造体", {}},
            {T::Label, "lblbfType", -1, "", 5400, 510, 1740, 255, "bfType", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbfType", -1, "", 7200, 480, 1500, 300, "Text1", {}},
            {T::Label, "lblbfSize", -1, "", 5400, 840, 1740, 255, "bfSize", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbfSize", -1, "", 7200, 810, 1500, 300, "Text1", {}},
            {T::Label, "lblbfReserved1", -1, "", 5400, 1170, 1740, 255, "bfReserved1", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbfReserved1", -1, "", 7200, 1140, 1500, 300, "Text1", {}},
            {T::Label, "lblbfReserved2", -1, "", 5400, 1500, 1740, 255, "bfReserved2", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbfReserved2", -1, "", 7200, 1470, 1500, 300, "Text1", {}},
            {T::Label, "lblbfOffBits", -1, "", 5400, 1830, 1740, 255, "bfOffBits", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbfOffBits", -1, "", 7200, 1800, 1500, 300, "Text1", {}},
            {T::Label, "lblBITMAPINFOHEADER", -1, "", 5400, 2220, 3300, 255, "BITMAPINFOHEADER構造体", {}},
            {T::Label, "lblbiSize", -1, "", 5400, 2580, 1740, 255, "biSize", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiSize", -1, "", 7200, 2550, 1500, 300, "Text1", {}},
            {T::Label, "lblbiWidth", -1, "", 5400, 2910, 1740, 255, "biWidth", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiWidth", -1, "", 7200, 2880, 1500, 300, "Text1", {}},
            {T::Label, "lblbiHeight", -1, "", 5400, 3240, 1740, 255, "biHeight", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiHeight", -1, "", 7200, 3210, 1500, 300, "Text1", {}},
            {T::Label, "lblbiPlanes", -1, "", 5400, 3570, 1740, 255, "biPlanes", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiPlanes", -1, "", 7200, 3540, 1500, 300, "Text1", {}},
            {T::Label, "lblbiBitCount", -1, "", 5400, 3900, 1740, 255, "biBitCount", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiBitCount", -1, "", 7200, 3870, 1500, 300, "Text1", {}},
            {T::Label, "lblbiCompression", -1, "", 5400, 4230, 1740, 255, "biCompression", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiCompression", -1, "", 7200, 4200, 1500, 300, "Text1", {}},
            {T::Label, "lblbiSizeImage", -1, "", 5400, 4560, 1740, 255, "biSizeImage", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiSizeImage", -1, "", 7200, 4530, 1500, 300, "Text1", {}},
            {T::Label, "lblbiXPelsPerMeter", -1, "", 5400, 4890, 1740, 255, "biXPelsPerMeter", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiXPelsPerMeter", -1, "", 7200, 4860, 1500, 300, "Text1", {}},
            {T::Label, "lblbiYPelsPerMeter", -1, "", 5400, 5220, 1740, 255, "biYPelsPerMeter", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiYPelsPerMeter", -1, "", 7200, 5190, 1500, 300, "Text1", {}},
            {T::Label, "lblbiClrUsed", -1, "", 5400, 5550, 1740, 255, "biClrUsed", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiClrUsed", -1, "", 7200, 5520, 1500, 300, "Text1", {}},
            {T::Label, "lblbiClrImportant", -1, "", 5400, 5880, 1740, 255, "biClrImportant", {{"BorderStyle", 1}}},
            {T::TextBox, "txtbiClrImportant", -1, "", 7200, 5850, 1500, 300, "Text1", {}},
            {T::Label, "lblRGBQUAD", -1, "", 5400, 6270, 3300, 255, "RGBQUAD構造体", {}},
            {T::Label, "lblrgbBlue", -1, "", 5400, 6630, 1740, 255, "rgbBlue", {{"BorderStyle", 1}}},
            {T::TextBox, "txtrgbBlue", -1, "", 7200, 6600, 1500, 300, "Text1", {}},
            {T::Label, "lblrgbGreen", -1, "", 5400, 6960, 1740, 255, "rgbGreen", {{"BorderStyle", 1}}},
            {T::TextBox, "txtrgbGreen", -1, "", 7200, 6930, 1500, 300, "Text1", {}},
            {T::Label, "lblrgbRed", -1, "", 5400, 7290, 1740, 255, "rgbRed", {{"BorderStyle", 1}}},
            {T::TextBox, "txtrgbRed", -1, "", 7200, 7260, 1500, 300, "Text1", {}},
            {T::Label, "lblrgbReserved", -1, "", 5400, 7620, 1740, 255, "rgbReserved", {{"BorderStyle", 1}}},
            {T::TextBox, "txtrgbReserved", -1, "", 7200, 7590, 1500, 300, "Text1", {}},
        }};
    return d;
}

}  // namespace qv
