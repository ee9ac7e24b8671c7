#include "app/recording/frmBMP2JPG.h"

namespace qv {

using T = forms::ControlType;

const forms::FormDesign& frmBMP2JPG::design() {
    // The window measures in pixels.
    static const forms::FormDesign d{
        "frmBMP2JPG", "frmBMP2JPG", 0, 0, 8400, 6000,
        {{"ScaleMode", 3}},
        {
            {T::Label, "Label1", -1, "", 8, 10, 120, 17, "BMP File Name", {}},
            {T::TextBox, "txtBMPFileName", -1, "", 130, 8, 200, 20, "TEST.BMP", {}},
            {T::Label, "Label2", -1, "", 8, 36, 120, 17, "Exchange Size Width", {}},
            {T::TextBox, "Text1", -1, "", 130, 34, 60, 20, "320", {}},
            {T::Label, "Label3", -1, "", 8, 62, 120, 17, "Exchange Size Hi", {}},
            {T::TextBox, "Text4", -1, "", 130, 60, 60, 20, "240", {}},
            {T::Frame, "Frame1", -1, "", 340, 4, 200, 84, "変換先の形式", {}},
            {T::OptionButton, "Option1", 0, "Frame1", 10, 18, 80, 18, "BMP", {}},
            {T::OptionButton, "Option1", 1, "Frame1", 10, 38, 80, 18, "JPEG", {{"Value", true}}},
            {T::OptionButton, "Option1", 2, "Frame1", 10, 58, 80, 18, "PNG", {}},
            {T::CommandButton, "cmdExchange", -1, "", 8, 94, 160, 26, "Exchange BMP File", {}},
            {T::CommandButton, "cmdピクチャをJPGに保存", -1, "", 176, 94, 160, 26, "ピクチャをJPGに保存", {}},
            {T::TextBox, "txtNote", -1, "", 8, 128, 532, 40,
             "ビットマップファイルをJPGとPNGに変換するためのモジュールです。\r\n"
             "※　大きさの変更は可能ですが、Size Widthに従います。アスペクト比は代わりません。",
             {{"MultiLine", true}, {"Locked", true}}},
            {T::Label, "Label4", -1, "", 8, 176, 100, 17, "BMP Image", {}},
            {T::Image, "Image1", -1, "", 8, 196, 160, 120, "", {{"Stretch", true}}},
            {T::PictureBox, "Picture1", -1, "", 176, 196, 160, 120, "", {}},
            {T::PictureBox, "Picture2", -1, "", 344, 196, 196, 150, "", {{"ScaleMode", 3}}},
        }};
    return d;
}

}  // namespace qv
