#pragma once
// The bitmap converter: loads a BMP file, paints it scaled to a chosen width (the height keeps
// the aspect ratio) and writes that picture as a BMP, JPEG or PNG file named after the source.
#include <string>

#include "platform/forms/Form.h"

namespace qv {

class frmBMP2JPG : public forms::Form {
public:
    static frmBMP2JPG& instance();
    frmBMP2JPG();

    forms::TextBox& txtBMPFileName;
    forms::TextBox& Text1;  // target width W in pixels
    forms::TextBox& Text4;  // the JPEG writer's quality Q
    forms::Frame& Frame1;
    forms::ControlArray<forms::OptionButton> Option1;  // BMP, JPEG, PNG
    forms::CommandButton& cmdExchange;
    forms::CommandButton& cmdピクチャをJPGに保存;
    forms::PictureBox& Picture1;
    forms::PictureBox& Picture2;
    forms::Image& Image1;

    // Converts the bitmap to a JPEG at its own width, learning its size from the viewer.
    void ExchangeBMP2JPG(const std::string& fileName);
    void cmdExchange_Click();
    void cmdピクチャをJPGに保存_Click();

    static const forms::FormDesign& design();   // the window as designed

private:
    // Paints Picture1's picture into Picture2 at the target size and writes the file.
    void convert();
};

}  // namespace qv
