#include "app/recording/frmBMP.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/forms/Driver.h"
#include "platform/gdi/Bmp.h"
#include "platform/gdi/Gdi.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/recording/BmpFiles_testsupport.h"

using namespace qv;
using apptest::BmpSpec;
using apptest::errorNumber;

namespace {

// Colour of pixel (x, y) in the true-colour test pictures.
uint32_t colourAt(int x, int y) { return uint32_t((x * 37) & 0xFF) << 16 | uint32_t((y * 53) & 0xFF) << 8 | uint32_t((x + y) * 11 & 0xFF); }

class FrmBMPTest : public ::testing::Test {
protected:
    void SetUp() override { driver.setScreen(1920, 1080); }
    std::string file(const std::string& name) const { return folder.dir().string() + "/" + name; }
    std::string write(const std::string& name, const BmpSpec& s, const std::function<uint32_t(int, int)>& v) {
        apptest::writeBytes(file(name), apptest::makeBmp(s, v));
        return name;
    }
    uint32_t boxPixel(frmBMP& f, int x, int y) { return f.Picture1.surface()->pixel(x, y); }
    forms::Driver driver;
    apptest::TempProgramFolder folder;
};

TEST_F(FrmBMPTest, DesignHasThePartsTextsAndTheBorderlessPersistentPicture) {
    frmBMP& f = frmBMP::instance();
    EXPECT_EQ(f.txtFileName.Text(), "TEST.BMP");
    EXPECT_EQ(f.txtSaveFileName.Text(), "TEST_.BMP");
    EXPECT_EQ(f.txt文字列.Text(), "TEST.BMP");
    EXPECT_EQ(f.cmd反転.Caption(), "反転");
    EXPECT_EQ(f.cmd文字列出力.Caption(), "文字列出力");
    EXPECT_EQ(f.txtbiClrImportant.Text(), "Text1");
    EXPECT_EQ(f.control("lblbiClrImportant").Caption(), "biClrImportant");
    EXPECT_EQ(f.control("lblBITMAPINFOHEADER").Caption(), "BITMAPINFOHEADER構造体");
    EXPECT_EQ(f.Picture1.BorderStyle(), 0);
    EXPECT_TRUE(f.Picture1.AutoRedraw);
    EXPECT_NE(f.hDrawDib(), 0);  // opened by the window's load
    ASSERT_TRUE(forms::Unload(f));
    EXPECT_EQ(f.hDrawDib(), 0);
}

TEST_F(FrmBMPTest, LoadShowsSizeAndDepthSizesTheBoxAndKeepsTheFilesBits) {
    frmBMP& f = frmBMP::instance();
    f.LoadBMP(write("big.bmp", {100, 50, 24}, colourAt));
    EXPECT_EQ(f.txtBit.Text(), "24");
    EXPECT_EQ(f.txtBMPWd.Text(), "100");
    EXPECT_EQ(f.txtBMPHi.Text(), "50");
    EXPECT_EQ(f.txtSaveFileName.Text(), "big_.BMP");
    EXPECT_DOUBLE_EQ(f.Picture1.Width(), 1500);
    EXPECT_DOUBLE_EQ(f.Picture1.Height(), 750);
    const gdi::BITMAP& bm = f.bitmapRecord();
    EXPECT_EQ(bm.bmType, 0);
    EXPECT_EQ(bm.bmWidth, 100);
    EXPECT_EQ(bm.bmHeight, 50);
    EXPECT_EQ(bm.bmWidthBytes, 300);
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    EXPECT_EQ(boxPixel(f, 99, 49), colourAt(99, 49));
    EXPECT_EQ(boxPixel(f, 0, 0), colourAt(0, 0));

    // Every depth, rows either way up, a gap before the pixels, odd widths: the held bytes are
    // the file's rows top-down at a whole-word stride, and the box shows the right colours.
    const std::vector<uint32_t> palette16 = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF,
                                             0xFF00FF, 0x808080, 0x400000, 0x004000, 0x000040, 0x404000,
                                             0x004040, 0x400040, 0xC0C0C0, 0xFFFFFF};
    struct Case { BmpSpec layout; int wordStride; };
    std::vector<uint32_t> grey(256);
    for (uint32_t i = 0; i < 256; ++i) grey[i] = i * 0x010101;
    const Case cases[] = {
        {{13, 3, 1, false, 0, {0x102030, 0xF0E0D0}}, 2},
        {{5, 4, 4, true, 6, palette16}, 4},
        {{5, 3, 8, false, 10, grey}, 6},
        {{7, 2, 24, true, 2, {}}, 22},
        {{3, 3, 32, false, 0, {}}, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout.bits);
        int n = c.layout.bits <= 8 ? 1 << c.layout.bits : 0;
        auto value = [&](int x, int y) { return n ? uint32_t((x * 3 + y) % n) : colourAt(x, y); };
        f.LoadBMP(write("d.bmp", c.layout, value));
        EXPECT_EQ(f.txtBit.Text(), std::to_string(c.layout.bits));
        EXPECT_EQ(f.bitmapRecord().bmWidthBytes, c.wordStride);
        ASSERT_EQ(f.bitmapBytes().size(), size_t(c.wordStride) * size_t(c.layout.height));
        for (int y = 0; y < c.layout.height; ++y)
            for (int x = 0; x < c.layout.width; ++x) {
                uint32_t expect = n ? c.layout.colours[value(x, y)] : colourAt(x, y);
                EXPECT_EQ(boxPixel(f, x, y), expect) << x << "," << y;
            }
        if (c.layout.bits == 8) {  // the bytes are the indexes, row 0 at the top
            EXPECT_EQ(f.bitmapBytes()[size_t(c.wordStride) * 2 + 4], uint8_t(value(4, 2)));
        }
    }
}

TEST_F(FrmBMPTest, ALoadThatFailsLeavesTheWindowAsItWas) {
    frmBMP& f = frmBMP::instance();
    f.LoadBMP(write("ok.bmp", {4, 4, 24}, colourAt));
    EXPECT_EQ(errorNumber([&] { f.LoadBMP("missing.bmp"); }), basic::errFileNotFound);
    auto bad = apptest::makeBmp({4, 4, 24}, colourAt);
    bad.resize(bad.size() - 5);
    apptest::writeBytes(file("cut.bmp"), bad);
    EXPECT_EQ(errorNumber([&] { f.LoadBMP("cut.bmp"); }), 481);
    EXPECT_EQ(f.txtBMPWd.Text(), "4");
    EXPECT_EQ(f.bitmapRecord().bmWidth, 4);
    EXPECT_EQ(boxPixel(f, 3, 3), colourAt(3, 3));
}

TEST_F(FrmBMPTest, InvertTwiceRestoresTheBytesAndOneBitSwapsItsIndexes) {
    frmBMP& f = frmBMP::instance();
    f.Show();
    ASSERT_TRUE(driver.click(f.cmd反転));  // nothing loaded: nothing happens
    f.LoadBMP(write("mono.bmp", {9, 2, 1, false, 0, {0x000000, 0xFFFFFF}},
                    [](int x, int y) { return uint32_t((x + y) % 2); }));
    std::vector<uint8_t> loaded = f.bitmapBytes();
    ASSERT_TRUE(driver.click(f.cmd反転));
    for (size_t i = 0; i < loaded.size(); ++i) EXPECT_EQ(f.bitmapBytes()[i], uint8_t(~loaded[i]));
    for (int x = 0; x < 9; ++x) EXPECT_EQ(boxPixel(f, x, 0), x % 2 ? 0x000000u : 0xFFFFFFu) << x;
    ASSERT_TRUE(driver.click(f.cmd反転));
    EXPECT_EQ(f.bitmapBytes(), loaded);
    for (int x = 0; x < 9; ++x) EXPECT_EQ(boxPixel(f, x, 1), x % 2 ? 0x000000u : 0xFFFFFFu) << x;

    f.LoadBMP(write("rgb.bmp", {3, 2, 24}, colourAt));
    ASSERT_TRUE(driver.click(f.cmd反転));
    EXPECT_EQ(boxPixel(f, 2, 1), ~colourAt(2, 1) & 0xFFFFFF);

    // 32 bits: the inverted fourth bytes are held but the box shows colours only.
    f.LoadBMP(write("rgb32.bmp", {3, 2, 32}, colourAt));
    ASSERT_TRUE(driver.click(f.cmd反転));
    EXPECT_EQ(f.bitmapBytes()[3], 0xFF);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(boxPixel(f, x, 1), ~colourAt(x, 1) & 0xFFFFFF) << x;
}

TEST_F(FrmBMPTest, PrintedTextIsAtTheTopLeftAndSaveGivesThePixelsBack) {
    frmBMP& f = frmBMP::instance();
    f.Show();
    f.LoadBMP(write("white.bmp", {160, 60, 24}, [](int, int) { return 0xFFFFFFu; }));
    f.txt文字列.setText("WW");
    ASSERT_TRUE(driver.click(f.cmd文字列出力));
    auto s = f.Picture1.surface();
    int black = 0, minX = 1000, minY = 1000, maxY = 0;
    for (int y = 0; y < s->height(); ++y)
        for (int x = 0; x < s->width(); ++x)
            if (s->pixel(x, y) == 0) {
                ++black;
                minX = std::min(minX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    EXPECT_GT(black, 10);
    EXPECT_LT(minX, 4);
    EXPECT_LT(minY, 8);
    EXPECT_LT(maxY, 24);
    gdi::BmpReadResult first;
    ASSERT_TRUE(driver.click(f.cmdSaveBMP));
    first = gdi::readBmpFile(file("white_.BMP"));
    ASSERT_TRUE(first.ok);
    // A second print lands on the same place, over the first.
    ASSERT_TRUE(driver.click(f.cmd文字列出力));
    ASSERT_TRUE(driver.click(f.cmdSaveBMP));
    gdi::BmpReadResult second = gdi::readBmpFile(file("white_.BMP"));
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.image.pixels, first.image.pixels);
    EXPECT_EQ(first.image.bitCount, 24);
    EXPECT_EQ(first.image.width, 160);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 160; ++x) ASSERT_EQ(first.image.pixels[size_t(y * 160 + x)], s->pixel(x, y));
}

TEST_F(FrmBMPTest, SaveNameFollowsTheFileName) {
    frmBMP& f = frmBMP::instance();
    f.txtFileName.setText("C:\\pic.v2\\TEST.bmp");
    EXPECT_EQ(f.txtSaveFileName.Text(), "C:\\pic.v2\\TEST_.BMP");
    f.txtFileName.setText("NODOT");
    EXPECT_EQ(f.txtSaveFileName.Text(), "NODOT_.BMP");
    f.txtFileName.setText("TEST.BMP");
    EXPECT_EQ(f.txtSaveFileName.Text(), "TEST_.BMP");
}

TEST_F(FrmBMPTest, ReadDIBFileShowsTheHeadersAndDrawsThePixels) {
    frmBMP& f = frmBMP::instance();
    f.Picture1.Move(f.Picture1.Left(), f.Picture1.Top(), 8 * 15, 4 * 15);
    f.txtFileName.setText(write("dib.bmp", {4, 2, 8, true, 8, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}},
                                [](int x, int y) { return uint32_t((x + 2 * y) % 4); }));
    f.ReadDIBFile();
    EXPECT_EQ(f.txtbfType.Text(), "19778");
    EXPECT_EQ(f.txtbfOffBits.Text(), std::to_string(14 + 40 + 16 + 8));
    EXPECT_EQ(f.txtbiHeight.Text(), "-2");
    EXPECT_EQ(f.txtbiBitCount.Text(), "8");
    EXPECT_EQ(f.txtbiClrUsed.Text(), "4");
    EXPECT_EQ(f.txtbiXPelsPerMeter.Text(), "2835");
    EXPECT_EQ(f.txtrgbBlue.Text(), "Text1");  // nothing writes the colour-entry boxes
    EXPECT_EQ(f.FileHeader().bfType, 19778);
    EXPECT_EQ(f.BitmapInfo().bmiColors[1].rgbRed, 0xFF);
    std::vector<int32_t> words;
    f.GetDIB(words);
    ASSERT_EQ(words.size(), 2u);  // two rows of 4 index bytes
    EXPECT_EQ(words[1] & 0xFF, 2);  // row 1 (top-down), x 0
    // Stretched twice over the 8 x 4 box.
    const uint32_t table[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(boxPixel(f, x, y), table[(x / 2 + 2 * (y / 2)) % 4]) << x << "," << y;

    // The implicit colour table of an 8-bit file without biClrUsed is read in full.
    auto implicitTable = apptest::makeBmp({2, 1, 8, false, 0, std::vector<uint32_t>(256, 0x00FF00)},
                                          [](int, int) { return 255u; });
    implicitTable[46] = 0;  // biClrUsed 0
    apptest::writeBytes(file("implicit.bmp"), implicitTable);
    f.txtFileName.setText("implicit.bmp");
    f.ReadDIBFile();
    EXPECT_EQ(boxPixel(f, 7, 3), 0x00FF00u);
}

TEST_F(FrmBMPTest, ReadDIBFileRefusesFilesThatWouldReadOrDrawOutsideTheirData) {
    frmBMP& f = frmBMP::instance();
    f.Picture1.Move(f.Picture1.Left(), f.Picture1.Top(), 4 * 15, 4 * 15);
    f.txtFileName.setText(write("good.bmp", {4, 4, 24}, colourAt));
    f.ReadDIBFile();
    std::vector<uint32_t> shown;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) shown.push_back(boxPixel(f, x, y));

    auto good = apptest::makeBmp({4, 4, 24}, colourAt);
    auto with = [&](const std::function<void(std::vector<uint8_t>&)>& change) {
        auto b = good;
        change(b);
        return b;
    };
    auto set32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k) b[at + size_t(k)] = uint8_t(v >> (8 * k));
    };
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> refused = {
        {"truncated pixels", with([](auto& b) { b.pop_back(); })},
        {"header claims more rows", with([&](auto& b) { set32(b, 22, 400); })},
        {"offset past the data", with([&](auto& b) { set32(b, 10, 60); })},
        {"run-length coded", with([&](auto& b) { set32(b, 30, 1); })},
        {"unknown header", with([&](auto& b) { set32(b, 14, 64); })},
        {"1001 colours", with([&](auto& b) { set32(b, 46, 1001); })},
        {"colour table past the end", with([&](auto& b) { set32(b, 46, 900); })},
        {"header only", with([](auto& b) { b.resize(30); })},
    };
    for (const auto& [what, bytes] : refused) {
        SCOPED_TRACE(what);
        apptest::writeBytes(file("bad.bmp"), bytes);
        f.txtFileName.setText("bad.bmp");
        EXPECT_EQ(errorNumber([&] { f.ReadDIBFile(); }), 321);
        EXPECT_EQ(f.txtbiHeight.Text(), "4");
        EXPECT_EQ(f.BitmapInfo().bmiHeader.biHeight, 4);
        std::vector<int32_t> words;
        f.GetDIB(words);
        EXPECT_EQ(words.size(), 12u);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(boxPixel(f, x, y), shown[size_t(y * 4 + x)]);
    }
    // An empty file does nothing; a missing one is not found.
    apptest::writeBytes(file("empty.bmp"), {});
    f.txtFileName.setText("empty.bmp");
    EXPECT_EQ(errorNumber([&] { f.ReadDIBFile(); }), 0);
    f.txtFileName.setText("none.bmp");
    EXPECT_EQ(errorNumber([&] { f.ReadDIBFile(); }), basic::errFileNotFound);
    EXPECT_EQ(f.txtbfSize.Text(), std::to_string(good.size()));
}

}  // namespace
