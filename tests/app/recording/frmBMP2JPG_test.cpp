#include "app/recording/frmBMP2JPG.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/recording/frmBMP.h"
#include "app/recording/imgctl.h"
#include "platform/forms/Driver.h"
#include "platform/gdi/Bmp.h"
#include "platform/gdi/Gdi.h"
#include "platform/media/ImageFiles.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/recording/BmpFiles_testsupport.h"

using namespace qv;
using apptest::BmpSpec;

namespace {

uint32_t colourAt(int x, int y) { return uint32_t(x * 6 & 0xFF) << 16 | uint32_t(y * 12 & 0xFF) << 8 | 0x40u; }

class FrmBMP2JPGTest : public ::testing::Test {
protected:
    void SetUp() override { driver.setScreen(1920, 1080); }
    std::string file(const std::string& name) const { return folder.dir().string() + "/" + name; }
    void source(const std::string& name, int w, int h, const std::function<uint32_t(int, int)>& v = colourAt) {
        apptest::writeBytes(file(name), apptest::makeBmp({w, h, 24}, v));
    }
    frmBMP2JPG& window(const std::string& name, int W, int format) {
        frmBMP2JPG& f = frmBMP2JPG::instance();
        f.Show();
        f.txtBMPFileName.setText(name);
        f.Text1.setText(std::to_string(W));
        f.Option1(format).setValue(true);
        return f;
    }
    forms::Driver driver;
    apptest::TempProgramFolder folder;
};

TEST_F(FrmBMP2JPGTest, DesignHasTheDefaults) {
    frmBMP2JPG& f = frmBMP2JPG::instance();
    EXPECT_EQ(f.Text1.Text(), "320");
    EXPECT_EQ(f.Text4.Text(), "240");
    EXPECT_EQ(f.Frame1.Caption(), "変換先の形式");
    EXPECT_FALSE(f.Option1(0).Value());
    EXPECT_TRUE(f.Option1(1).Value());
    EXPECT_EQ(f.Option1(2).Caption(), "PNG");
    EXPECT_TRUE(f.Image1.Stretch());
    EXPECT_EQ(f.ScaleMode(), forms::vbPixels);
}

TEST_F(FrmBMP2JPGTest, BmpAndPngOutputsArePixelExactAtSourceWidthAndScaled) {
    source("SRC.BMP", 40, 20);
    frmBMP2JPG& f = window("SRC.BMP", 40, 0);
    ASSERT_TRUE(driver.click(f.cmdExchange));
    gdi::BmpReadResult bmp = gdi::readBmpFile(file("SRC_.BMP"));
    ASSERT_TRUE(bmp.ok) << bmp.error;
    EXPECT_EQ(bmp.image.bitCount, 24);
    ASSERT_EQ(bmp.image.width, 40);
    ASSERT_EQ(bmp.image.height, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(bmp.image.pixels[size_t(y * 40 + x)], colourAt(x, y));
    // The preview keeps the aspect ratio at the image's width.
    EXPECT_DOUBLE_EQ(f.Image1.Height(), f.Image1.Width() / 2);
    EXPECT_EQ(f.Image1.render()->pixel(int(f.Image1.Width()) - 1, 0), colourAt(39, 0));

    f.Text1.setText("20");
    f.Option1(2).setValue(true);
    ASSERT_TRUE(driver.click(f.cmdExchange));
    apptest::DecodedImage png = apptest::readPng(file("SRC_.PNG"));
    ASSERT_EQ(png.width, 20);
    ASSERT_EQ(png.height, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(png.at(x, y), colourAt(2 * x, 2 * y)) << x << "," << y;

    // Larger than the source enlarges; the height follows W, never Text4.
    f.Text1.setText("80");
    f.Text4.setText("7");
    ASSERT_TRUE(driver.click(f.cmdExchange));
    png = apptest::readPng(file("SRC_.PNG"));
    EXPECT_EQ(png.width, 80);
    EXPECT_EQ(png.height, 40);
    EXPECT_EQ(png.at(79, 39), colourAt(39, 19));
}

TEST_F(FrmBMP2JPGTest, JpegDecodesToTheTargetSizeWithCloseColours) {
    auto blocks = [](int x, int y) { return x < 32 ? (y < 16 ? 0xC02010u : 0x10C020u) : 0x2020C0u; };
    source("TEST.BMP", 64, 32, blocks);
    frmBMP2JPG& f = window("TEST.BMP", 32, 1);
    ASSERT_TRUE(driver.click(f.cmdExchange));
    apptest::DecodedImage jpg = apptest::readJpeg(file("TEST_.JPG"));
    ASSERT_EQ(jpg.width, 32);
    ASSERT_EQ(jpg.height, 16);
    auto close = [](uint32_t a, uint32_t b) {
        for (int k = 0; k < 24; k += 8)
            if (std::abs(int(a >> k & 0xFF) - int(b >> k & 0xFF)) > 12) return false;
        return true;
    };
    EXPECT_TRUE(close(jpg.at(4, 3), 0xC02010));
    EXPECT_TRUE(close(jpg.at(4, 12), 0x10C020));
    EXPECT_TRUE(close(jpg.at(27, 8), 0x2020C0));
    EXPECT_EQ(ImgctlError(), imgctlOK);
}

TEST_F(FrmBMP2JPGTest, ExchangeTakesWidthAndQualityFromTheSource) {
    source("PIC.BMP", 100, 50);
    frmBMP2JPG& f = frmBMP2JPG::instance();
    f.Option1(2).setValue(true);
    f.ExchangeBMP2JPG("PIC.BMP");
    EXPECT_EQ(f.Text1.Text(), "100");
    EXPECT_EQ(f.Text4.Text(), "50");
    EXPECT_TRUE(f.Option1(1).Value());
    EXPECT_FALSE(frmBMP::instance().Visible());  // the viewer is loaded, not shown
    apptest::DecodedImage jpg = apptest::readJpeg(file("PIC_.JPG"));
    EXPECT_EQ(jpg.width, 100);
    EXPECT_EQ(jpg.height, 50);
}

TEST_F(FrmBMP2JPGTest, NoFormatChosenWritesNothingAndLeavesAnErrorCode) {
    source("A.BMP", 8, 8);
    frmBMP2JPG& f = window("A.BMP", 8, 1);
    f.Option1(1).setValue(false);
    ASSERT_TRUE(driver.click(f.cmdExchange));
    EXPECT_EQ(ImgctlError(), imgctlNoFileName);
    for (const char* out : {"A_.BMP", "A_.JPG", "A_.PNG"}) EXPECT_FALSE(std::filesystem::exists(file(out))) << out;
}

TEST_F(FrmBMP2JPGTest, ABorderedWorkSurfaceStillGivesExactlyTheDrawingArea) {
    source("B.BMP", 30, 30, [](int x, int y) { return x == 0 || y == 0 || x == 29 || y == 29 ? 0xFF0000u : 0x00FF00u; });
    frmBMP2JPG& f = window("B.BMP", 30, 0);
    ASSERT_GT(f.Picture2.borderPixels(), 0);
    ASSERT_TRUE(driver.click(f.cmdExchange));
    gdi::BmpReadResult bmp = gdi::readBmpFile(file("B_.BMP"));
    ASSERT_TRUE(bmp.ok);
    EXPECT_EQ(bmp.image.width, 30);
    EXPECT_EQ(bmp.image.height, 30);
    for (int i = 0; i < 30; ++i) {  // the picture's own frame, no strip from outside it
        EXPECT_EQ(bmp.image.pixels[size_t(i)], 0xFF0000u);
        EXPECT_EQ(bmp.image.pixels[size_t(29 * 30 + i)], 0xFF0000u);
        EXPECT_EQ(bmp.image.pixels[size_t(i * 30 + 29)], 0xFF0000u);
    }
    EXPECT_EQ(bmp.image.pixels[size_t(15 * 30 + 15)], 0x00FF00u);
}

TEST_F(FrmBMP2JPGTest, SecondButtonWritesThePictureAgainInTheFormatChosenNow) {
    frmBMP2JPG& f = window("C.BMP", 10, 1);
    ASSERT_TRUE(driver.click(f.cmdピクチャをJPGに保存));  // nothing loaded: nothing written
    EXPECT_TRUE(std::filesystem::is_empty(folder.dir()));
    source("C.BMP", 10, 6);
    ASSERT_TRUE(driver.click(f.cmdExchange));
    EXPECT_TRUE(std::filesystem::exists(file("C_.JPG")));
    std::filesystem::remove(file("C.BMP"));  // the picture is not read again
    f.Option1(2).setValue(true);
    ASSERT_TRUE(driver.click(f.cmdピクチャをJPGに保存));
    apptest::DecodedImage png = apptest::readPng(file("C_.PNG"));
    ASSERT_EQ(png.width, 10);
    EXPECT_EQ(png.at(9, 5), colourAt(9, 5));
    // A width or quality the conversion cannot use writes nothing and raises nothing.
    std::filesystem::remove(file("C_.PNG"));
    for (const auto& [width, quality] : {std::pair{"abc", "9"}, {"99999999999", "9"}, {"10", "12abc"}}) {
        f.Text1.setText(width);
        f.Text4.setText(quality);
        ASSERT_TRUE(driver.click(f.cmdピクチャをJPGに保存));
    }
    EXPECT_FALSE(std::filesystem::exists(file("C_.PNG")));
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(FrmBMP2JPGTest, ImageLibraryKeepsItsErrorsAndWritesFilesWhole) {
    auto surface = std::make_shared<gdi::Surface>(4, 3, 0x123456);
    gdi::HDC dc = gdi::createSurfaceDC(surface);
    int32_t dib = DCtoDIB(dc, 2, 1, 4, 4);  // reaches past the surface: black there
    ASSERT_NE(dib, 0);
    ASSERT_NE(DIBtoBMP(file("part.bmp"), dib), 0);
    gdi::BmpReadResult r = gdi::readBmpFile(file("part.bmp"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.image.pixels[0], gdi::colorToPixel(0x123456));
    EXPECT_EQ(r.image.pixels[2], 0u);
    EXPECT_EQ(r.image.pixels[12], 0u);

    // Quality is clamped: 240 writes what 100 writes.
    ASSERT_NE(DIBtoJPG(file("q240.jpg"), dib, 240, 0), 0);
    ASSERT_NE(DIBtoJPG(file("q100.jpg"), dib, 100, 0), 0);
    EXPECT_EQ(folder.readBytes("q240.jpg"), folder.readBytes("q100.jpg"));
    ASSERT_NE(DIBtoJPG(file("q1.jpg"), dib, -5, 0), 0);
    EXPECT_NE(folder.readBytes("q1.jpg"), folder.readBytes("q100.jpg"));

    // A file that cannot be written: 0, the code, and the old file untouched.
    EXPECT_EQ(DIBtoPNG(file("no/such/folder.png"), dib, 0), 0);
    EXPECT_EQ(ImgctlError(), imgctlWriteFailed);
    EXPECT_NE(DIBtoPNG(file("part.bmp") + "/x.png", dib, 0), 1);
    EXPECT_TRUE(gdi::readBmpFile(file("part.bmp")).ok);

    EXPECT_EQ(DeleteDIB(dib), 1);
    EXPECT_EQ(DIBtoBMP(file("gone.bmp"), dib), 0);
    EXPECT_EQ(ImgctlError(), imgctlBadHandle);
    EXPECT_EQ(DCtoDIB(dc, 0, 0, 0, 5), 0);
    EXPECT_EQ(ImgctlError(), imgctlBadSource);
    EXPECT_EQ(DCtoDIB(987654, 0, 0, 1, 1), 0);
    gdi::DeleteDC(dc);
}

}  // namespace
