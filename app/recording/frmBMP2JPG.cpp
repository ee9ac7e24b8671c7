#include "app/recording/frmBMP2JPG.h"

#include "app/common/modCommon.h"
#include "app/recording/frmBMP.h"
#include "app/recording/imgctl.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Picture.h"

namespace qv {

frmBMP2JPG& frmBMP2JPG::instance() { return forms::loadForm<frmBMP2JPG>(); }

frmBMP2JPG::frmBMP2JPG()
    : Form(design()),
      txtBMPFileName(ctl<forms::TextBox>("txtBMPFileName")),
      Text1(ctl<forms::TextBox>("Text1")),
      Text4(ctl<forms::TextBox>("Text4")),
      Frame1(ctl<forms::Frame>("Frame1")),
      Option1(array<forms::OptionButton>("Option1")),
      cmdExchange(ctl<forms::CommandButton>("cmdExchange")),
      cmdピクチャをJPGに保存(ctl<forms::CommandButton>("cmdピクチャをJPGに保存")),
      Picture1(ctl<forms::PictureBox>("Picture1")),
      Picture2(ctl<forms::PictureBox>("Picture2")),
      Image1(ctl<forms::Image>("Image1")) {
    on(cmdExchange.Click, &frmBMP2JPG::cmdExchange_Click);
    on(cmdピクチャをJPGに保存.Click, &frmBMP2JPG::cmdピクチャをJPGに保存_Click);
}

void frmBMP2JPG::ExchangeBMP2JPG(const std::string& fileName) {
    txtBMPFileName.setText(fileName);
    frmBMP& viewer = frmBMP::instance();  // created if needed, not shown
    viewer.LoadBMP(fileName);
    Text1.setText(viewer.txtBMPWd.Text());
    Text4.setText(viewer.txtBMPHi.Text());
    Option1(1).setValue(true);
    cmdExchange_Click();
}

void frmBMP2JPG::cmdExchange_Click() {
    // A bare name is found in the program folder; the current folder is left alone.
    const std::string file = txtBMPFileName.Text();
    forms::Picture picture;
    if (!BitmapFileStep("Exchange BMP File", file, [&] { picture = forms::LoadPicture(InProgramFolder(file)); }))
        return;
    Picture1.setPicture(picture);
    Image1.setHeight(Image1.Width() * picture.heightPixels() / picture.widthPixels());
    Image1.setPicture(picture);
    convert();
}

void frmBMP2JPG::cmdピクチャをJPGに保存_Click() {
    if (Picture1.picture().empty()) return;  // nothing loaded: nothing to write
    convert();
}

void frmBMP2JPG::convert() {
    const forms::Picture& source = Picture1.picture();
    // A width or quality that is no whole number of a Long, or a height beyond one, writes no
    // file, as a failed write does.
    const std::optional<int32_t> width = basic::TryCLng(Text1.Text()), quality = basic::TryCLng(Text4.Text());
    if (!width) return;
    const std::optional<int32_t> height = basic::TryCLng(double(*width) * source.heightPixels() / source.widthPixels());
    if (!quality || !height) return;
    const int32_t W = *width, Q = *quality, H = *height;
    // The drawing area is exactly W x H; the border, if any, comes on top of it, so nothing
    // from outside the drawing reaches the file.
    if (W > 0 && H > 0) {  // else the capture below fails and no file is written
        int border = 2 * Picture2.borderPixels();
        Picture2.Move(Picture2.Left(), Picture2.Top(), double(W) + border, double(H) + border);
        Picture2.PaintPicture(source, 0, 0, W, H);
    }
    int32_t dib = DCtoDIB(Picture2.hDC(), 0, 0, W, H);

    std::string base = GetPathWithoutExt(InProgramFolder(txtBMPFileName.Text()));
    int32_t written = 0;
    if (Option1(1).Value()) written = DIBtoJPG(base + "_.JPG", dib, Q, 0);
    else if (Option1(2).Value()) written = DIBtoPNG(base + "_.PNG", dib, 0);
    else if (Option1(0).Value()) written = DIBtoBMP(base + "_.BMP", dib);
    else written = DIBtoBMP("", dib);  // no format chosen: fails, and the code says so
    // A failed write shows nothing; the code stays readable through ImgctlError.
    if (written == 0) ImgctlError();
    DeleteDIB(dib);
}

}  // namespace qv
