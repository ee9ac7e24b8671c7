// The hard copy and its print preview window: captures with frame and title bar, the side by
// side canvas through "Tmp.bmp", the page on the recording printer, placement memory, layout
// and scrolling, cancel, and how print failures are told.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "app/main/Acqisition.h"
#include "app/main/frmPrintPv.h"
#include "app/main/mdlBitMap.h"
#include "platform/basic/Convert.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Globals.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/ScreenMetrics.h"
#include "platform/kernel/SettingsStore.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

constexpr gdi::COLORREF kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

// Three windows to print, 200 x 160, 100 x 300 and 150 x 80 pixels outside, each in its own
// back colour; the second holds a blue 40 x 40 picture box 10 pixels into its client area.
template <int N>
class Sheet : public forms::Form {
public:
    static const forms::FormDesign& design() {
        using T = forms::ControlType;
        static const forms::FormDesign sheets[] = {
            {"Sheet1", "一枚目", 0, 0, 3000, 2400, {{"BackColor", static_cast<int>(kRed)}}, {}},
            {"Sheet2", "二枚目", 0, 0, 1500, 4500, {{"BackColor", static_cast<int>(kGreen)}},
             {{T::PictureBox, "picMark", -1, "", 150, 150, 600, 600, "",
               {{"BorderStyle", 0}, {"BackColor", static_cast<int>(kBlue)}}}}},
            {"Sheet3", "三枚目", 0, 0, 2250, 1200, {{"BackColor", 0x00FFFF}}, {}},
        };
        return sheets[N - 1];
    }
    Sheet() : Form(design()) {}
    static Sheet& instance() { return forms::loadForm<Sheet>(); }
};

const std::string kPrinterTrouble =
    "なんらかの問題が発生したため、印刷ができません。\r次の問題が考えられます。\r"
    "  ・Windows のコントロール パネルで設定したプリンタがありません。\r"
    "  ・プリンタがオンラインになっていません。\r"
    "  ・プリンタの電源を入れ、オンラインにしてください。\r"
    "  ・プリンタが使用中であるか、プリンタ用紙がありません。";

class PrintPvTest : public ::testing::Test {
protected:
    void TearDown() override { GPrintForms.fill(nullptr); }

    // The pages printed so far.
    const forms::PrintedPage& onlyPage() {
        const auto& docs = driver.printer().documents();
        EXPECT_EQ(docs.size(), 1u);
        EXPECT_EQ(docs.at(0).pages.size(), 1u);
        return docs.at(0).pages.at(0);
    }
    const forms::PrintItem& onlyPicture() {
        const forms::PrintedPage& page = onlyPage();
        EXPECT_EQ(page.items.size(), 1u);
        return page.items.at(0);
    }
    static bool loaded() { return forms::Runtime::get().findForm("frmPrintPv") != nullptr; }

    apptest::TempProgramFolder prog;
    forms::Driver driver;
    // A4 without margins, in twips.
    const double a4w = 210.0 / 25.4 * 1440.0, a4h = 297.0 / 25.4 * 1440.0;
};

// ---- Captures and the canvas ----

TEST_F(PrintPvTest, CapturesStandSideBySideTopAlignedOverTheBackground) {
    auto& a = Sheet<1>::instance();
    auto& b = Sheet<2>::instance();
    auto& c = Sheet<3>::instance();
    auto& pv = frmPrintPv::instance();
    driver.run([&] {
        pv.AddForm(&a);
        pv.AddForm(&b);
        pv.AddForm(&c);
        pv.CreatePic_H();
    });
    EXPECT_EQ(pv.sngFormWidth, (std::vector<float>{200, 100, 150}));
    EXPECT_EQ(pv.sngFormHeight, (std::vector<float>{160, 300, 80}));  // order kept
    EXPECT_EQ(pv.sngMaxHeight, 300);
    EXPECT_EQ(pv.GetMaxHieght(), 300);

    // What the preview shows is what came back from "Tmp.bmp".
    const forms::Picture& canvas = pv.picPreview.picture();
    ASSERT_EQ(canvas.widthPixels(), 450);
    ASSERT_EQ(canvas.heightPixels(), 300);
    const gdi::Surface& s = *canvas.surface();
    const forms::WindowFrame frame = forms::windowFrame(a.BorderStyle);
    const int cx = frame.border, cy = frame.border + frame.caption;
    EXPECT_EQ(s.colorAt(cx + 5, cy + 5), kRed);
    EXPECT_EQ(s.colorAt(199, 159), 0x404040u);  // a's frame edge, bottom right
    EXPECT_EQ(s.colorAt(100, 160), kWhite);      // below a
    EXPECT_EQ(s.colorAt(100, 299), kWhite);
    EXPECT_EQ(s.colorAt(200 + cx + 5, cy + 60), kGreen);
    EXPECT_EQ(s.colorAt(200 + cx + 10 + 20, cy + 10 + 20), kBlue);  // b's picture box
    EXPECT_EQ(s.colorAt(300 + cx + 5, cy + 5), 0x00FFFFu);
    EXPECT_EQ(s.colorAt(300 + 75, 80), kWhite);  // below c
    EXPECT_EQ(s.colorAt(449, 100), kWhite);

    const fs::path tmp = prog.dir() / "Tmp.bmp";
    ASSERT_TRUE(fs::exists(tmp));
    forms::Picture file = forms::LoadPicture(prog.win("Tmp.bmp"));
    EXPECT_EQ(file.widthPixels(), 450);
    EXPECT_EQ(file.heightPixels(), 300);
}

TEST_F(PrintPvTest, ACaptureHoldsFrameAndTitleBarAndAHiddenWindowIsShownForIt) {
    auto& a = Sheet<1>::instance();
    auto& shown = Sheet<2>::instance();
    driver.run([&] { shown.Show(); });
    bool visibleWhenDrawn = false;
    forms::ScopedConnection watch = a.Paint.connect([&] { visibleWhenDrawn = a.Visible(); });
    auto& pv = frmPrintPv::instance();
    driver.run([&] {
        pv.AddForm(&a);
        pv.AddForm(&shown);
    });
    EXPECT_TRUE(visibleWhenDrawn);
    EXPECT_FALSE(a.Visible());
    EXPECT_TRUE(shown.Visible());

    const forms::Picture& p = pv.pbxBuff(0).picture();
    ASSERT_EQ(p.widthPixels(), 200);
    ASSERT_EQ(p.heightPixels(), 160);
    const gdi::Surface& s = *p.surface();
    EXPECT_EQ(s.colorAt(0, 0), 0x404040u);    // frame edge
    EXPECT_EQ(s.colorAt(2, 80), 0xC0C0C0u);   // frame
    EXPECT_EQ(s.colorAt(190, 10), 0x800000u); // title bar, right of the caption
    int captionPixels = 0;
    for (int x = 4; x < 100; ++x)
        for (int y = 4; y < 30; ++y) captionPixels += s.colorAt(x, y) == kWhite;
    EXPECT_GT(captionPixels, 20);             // the caption's text
    EXPECT_EQ(s.colorAt(100, 100), kRed);     // client area
    EXPECT_TRUE(p.palette().empty());
}

TEST_F(PrintPvTest, OnA256ColourScreenTheCaptureCarriesTheSystemPalette) {
    auto& a = Sheet<1>::instance();
    driver.run([&] { a.Show(); });
    a.renderWindowImage();
    kernel::ScreenMetrics m = kernel::screenMetrics();
    m.bitsPerPixel = 8;
    kernel::setScreenMetrics(m);
    forms::Picture p = CaptureWindowImage(a.hWnd(), true, 0, 0, 20, 10);
    ASSERT_EQ(p.palette().size(), 256u);
    for (int i : {0, 7, 128, 255}) {
        EXPECT_EQ(p.palette()[i].peRed, gdi::systemPalette()[i].peRed) << i;
        EXPECT_EQ(p.palette()[i].peBlue, gdi::systemPalette()[i].peBlue) << i;
    }
    EXPECT_EQ(p.surface()->colorAt(0, 0), kRed);  // client area from its corner
    m.bitsPerPixel = 32;
    kernel::setScreenMetrics(m);
    EXPECT_TRUE(CaptureWindowImage(a.hWnd(), true, 0, 0, 20, 10).palette().empty());
}

TEST_F(PrintPvTest, AfterCancelNoCaptureIsTaken) {
    auto& a = Sheet<1>::instance();
    driver.run([&] {
        auto& pv = frmPrintPv::instance();
        pv.cmdClose_Click();
        EXPECT_EQ(pv.bClosing, 1);
        EXPECT_FALSE(loaded());
        pv.AddForm(&a);
        pv.SetForm(&a);
        EXPECT_TRUE(pv.pbxBuff(0).picture().empty());
        EXPECT_EQ(pv.sngFormWidth.at(0), 0);
    });
    EXPECT_FALSE(a.Visible());
}

// ---- The page ----

TEST_F(PrintPvTest, HardCopyPrintsTheCanvasFittedCentredAtTheTopAndUnloadsThePreview) {
    GPrintForms[1] = &Sheet<1>::instance();  // 200 x 160: wider than high
    driver.run([] { HardCopyForms(); });
    EXPECT_FALSE(loaded());
    const forms::PrintedPage& page = onlyPage();
    EXPECT_EQ(page.orientation, forms::vbPRORLandscape);
    const forms::PrintItem& item = onlyPicture();
    ASSERT_TRUE(item.image);
    EXPECT_EQ(item.image->width(), 200);
    EXPECT_EQ(item.image->height(), 160);
    // 1.25 is narrower than the landscape page (1.414): the height fills the page.
    EXPECT_NEAR(item.height, a4w, 1);
    EXPECT_NEAR(item.width, a4w * 1.25, 1);
    EXPECT_NEAR(item.x, (a4h - a4w * 1.25) / 2, 1);
    EXPECT_EQ(item.y, 0);
}

TEST_F(PrintPvTest, PageOrientationFollowsThePicturesShape) {
    struct Case {
        int w, h, orientation;
        double printW, printH, x;  // twips
    };
    const Case cases[] = {
        {400, 100, forms::vbPRORLandscape, a4h, a4h / 4, 0},            // width fills
        {100, 400, forms::vbPRORPortrait, a4h / 4, a4h, (a4w - a4h / 4) / 2},
        {100, 100, forms::vbPRORPortrait, a4w, a4w, 0},                 // square: portrait
    };
    for (const Case& c : cases) {
        forms::Printer.reset();
        forms::Picture p(std::make_shared<gdi::Surface>(c.w, c.h, kRed));
        PrintPictureOnPage(forms::Printer, p);
        const forms::PrintedPage* page = forms::Printer.currentPage();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->orientation, c.orientation) << c.w << "x" << c.h;
        ASSERT_EQ(page->items.size(), 1u);
        EXPECT_NEAR(page->items[0].width, c.printW, 1) << c.w << "x" << c.h;
        EXPECT_NEAR(page->items[0].height, c.printH, 1) << c.w << "x" << c.h;
        EXPECT_NEAR(page->items[0].x, c.x, 1) << c.w << "x" << c.h;
        EXPECT_EQ(page->items[0].y, 0);
    }
    forms::Printer.reset();
}

// ---- Print failures ----

TEST_F(PrintPvTest, PrinterErrorAndOtherErrorsAreToldAndTheProgramGoesOn) {
    GPrintForms[1] = &Sheet<1>::instance();
    // The printer fails when the document is sent.
    driver.printer().failNext = true;
    driver.answerMsgBox(forms::vbOK);
    driver.run([] { HardCopyForms(); });
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].prompt, kPrinterTrouble);
    EXPECT_EQ(driver.msgBoxes()[0].title, "ハードコピーエラー");
    EXPECT_EQ(driver.msgBoxes()[0].style, forms::vbCritical);
    EXPECT_TRUE(driver.printer().documents().empty());
    EXPECT_FALSE(loaded());

    // No printer port at all: the same advice.
    forms::setPrinterPort(nullptr);
    driver.answerMsgBox(forms::vbOK);
    driver.run([] { HardCopyForms(); });
    ASSERT_EQ(driver.msgBoxes().size(), 2u);
    EXPECT_EQ(driver.msgBoxes()[1].prompt, kPrinterTrouble);
    forms::setPrinterPort(&driver.printer());

    // "Tmp.bmp" cannot be written (a folder stands there): error 75, with number and text.
    fs::remove(prog.dir() / "Tmp.bmp");
    fs::create_directory(prog.dir() / "Tmp.bmp");
    driver.answerMsgBox(forms::vbOK);
    driver.run([] { HardCopyForms(); });
    ASSERT_EQ(driver.msgBoxes().size(), 3u);
    EXPECT_EQ(driver.msgBoxes()[2].title, "ハードコピーエラー");
    EXPECT_EQ(driver.msgBoxes()[2].style, forms::vbCritical);
    EXPECT_NE(driver.msgBoxes()[2].prompt.find("75"), std::string::npos);
    EXPECT_TRUE(driver.printer().documents().empty());
    EXPECT_FALSE(loaded());
    fs::remove(prog.dir() / "Tmp.bmp");

    // And the next hard copy prints.
    driver.run([] { HardCopyForms(); });
    EXPECT_EQ(driver.printer().documents().size(), 1u);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(PrintPvTest, WithNoPrinterInstalledTheHardCopyGoesToAPdfFileAndSaysWhere) {
    driver.printer().printers = 0;
    driver.printer().outputFile = "/home/user/Documents/Quorvane-20261209.pdf";
    EXPECT_FALSE(frmPrintPv::instance().cmdPrint.Enabled());
    forms::Unload(frmPrintPv::instance());
    GPrintForms[1] = &Sheet<3>::instance();
    driver.answerMsgBox(forms::vbOK);
    driver.run([] { HardCopyForms(); });
    EXPECT_EQ(driver.printer().documents().size(), 1u);
    ASSERT_EQ(driver.msgBoxes().size(), 1u);
    EXPECT_EQ(driver.msgBoxes()[0].style, forms::vbInformation);
    EXPECT_NE(driver.msgBoxes()[0].prompt.find("/home/user/Documents/Quorvane-20261209.pdf"),
              std::string::npos);
}

// ---- Placement, layout and scrolling ----

TEST_F(PrintPvTest, StoredPlacementComesBackOnTheScreen) {
    driver.setScreen(800, 600);  // the window is 640 x 480 pixels
    struct Case {
        const char *left, *top;
        double wantLeft, wantTop;
    };
    const Case cases[] = {
        {"12000", "9000", (800 - 640) * 15, (600 - 480) * 15},  // at the right and bottom edges
        {"-10500", "-285", 0, 0},            // right edge left of the screen; top 19 px above
        {"-9000", "-270", -9000, -270},      // still reachable: kept
        {"abc", "12abc", 0, 0},                 // not numbers: the current place
    };
    for (const Case& c : cases) {
        kernel::saveSetting("Quorvane", "Settings\\PrintPv", "Left", c.left);
        kernel::saveSetting("Quorvane", "Settings\\PrintPv", "Top", c.top);
        kernel::saveSetting("Quorvane", "Settings\\PrintPv", "Width", "-5");  // not a size
        kernel::saveSetting("Quorvane", "Settings\\PrintPv", "Height", "7200");
        auto& pv = frmPrintPv::instance();
        EXPECT_EQ(pv.Left(), c.wantLeft) << c.left;
        EXPECT_EQ(pv.Top(), c.wantTop) << c.top;
        EXPECT_EQ(pv.Width(), 9600);
        EXPECT_FALSE(pv.TopMost());
        pv.Move(1500, 3000, 10500, 8100);
        forms::Unload(pv);
        EXPECT_EQ(kernel::getSetting("Quorvane", "Settings\\PrintPv", "Left"), "1500");
        EXPECT_EQ(kernel::getSetting("Quorvane", "Settings\\PrintPv", "Width"), "10500");
        EXPECT_EQ(kernel::getSetting("Quorvane", "Settings\\PrintPv", "Height"), "8100");
    }
}

TEST_F(PrintPvTest, ResizeKeepsTheSmallestSizeAndSetsTheScrollBars) {
    auto& pv = frmPrintPv::instance();
    driver.run([&] { pv.Show(); });
    ASSERT_TRUE(driver.resize(pv, 3000, 3000));
    EXPECT_EQ(pv.Width(), 9600);
    EXPECT_EQ(pv.Height(), 7200);
    // The canvas fits: no scroll bar, at its minimum.
    EXPECT_FALSE(pv.hsbScrollBar.Visible());
    EXPECT_FALSE(pv.vsbScrollBar.Visible());
    EXPECT_EQ(pv.hsbScrollBar.Value(), 0);

    // 800 x 600 pixels outside: the client area is 11880 x 8595 twips.
    pv.picPreview.Move(0, 0, 30000, 20000);
    ASSERT_TRUE(driver.resize(pv, 12000, 9000));
    EXPECT_EQ(pv.picBase.Width(), 11880 - 255 - 120);
    EXPECT_EQ(pv.vsbScrollBar.Left(), 11505 + 60);
    EXPECT_EQ(pv.picBase.Height(), 8595 - 855);
    EXPECT_EQ(pv.hsbScrollBar.Top(), 7740 + 540);
    EXPECT_TRUE(pv.hsbScrollBar.Visible());
    EXPECT_EQ(pv.hsbScrollBar.LargeChange(), 62);  // 100 / (30200 / 11505 - 1)
    EXPECT_EQ(pv.hsbScrollBar.SmallChange(), 6);
    EXPECT_EQ(pv.vsbScrollBar.LargeChange(), 62);  // 100 / (20200 / 7740 - 1)
    EXPECT_EQ(pv.vsbScrollBar.SmallChange(), 6);

    ASSERT_TRUE(driver.scroll(pv.hsbScrollBar, 100));
    EXPECT_EQ(pv.picPreview.Left(), 11505 - 30000 - 200);
    ASSERT_TRUE(driver.scroll(pv.vsbScrollBar, 50));
    EXPECT_EQ(pv.picPreview.Top(), 50 * (7740 - 20000 - 200) / 100.0);
    ASSERT_TRUE(driver.scroll(pv.hsbScrollBar, 0));
    EXPECT_EQ(pv.picPreview.Left(), 0);

    // The option buttons do nothing.
    ASSERT_TRUE(driver.click(pv.optSize(2)));
    EXPECT_EQ(pv.picPreview.Left(), 0);
    EXPECT_EQ(pv.picPreview.Width(), 30000);
}

// ---- The main window ----

class PrintMainWindowTest : public ::testing::Test {
protected:
    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    forms::Driver driver;
};

TEST_F(PrintMainWindowTest, ThePrintButtonPrintsTheMainWindowAtItsOuterSize) {
    Acqisition& w = Acqisition::instance();
    driver.run([&] { w.Show(); });
    ASSERT_TRUE(driver.click(w.cmdHardCopy));
    const auto& docs = driver.printer().documents();
    ASSERT_EQ(docs.size(), 1u);
    ASSERT_EQ(docs[0].pages.size(), 1u);
    ASSERT_EQ(docs[0].pages[0].items.size(), 1u);
    const forms::PrintItem& item = docs[0].pages[0].items[0];
    EXPECT_EQ(item.image->width(), basic::roundToInt32(w.Width() / 15));
    EXPECT_EQ(item.image->height(), basic::roundToInt32(w.Height() / 15));
    EXPECT_EQ(item.y, 0);
    EXPECT_EQ(forms::Runtime::get().findForm("frmPrintPv"), nullptr);
    EXPECT_TRUE(w.Visible());
}

}  // namespace
