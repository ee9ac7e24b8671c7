// Drawing a channel into a picture box through the library's global view, checked at the pixels
// the mapping gives: a picture of W x H pixels with window x0..x1, y0..y1 and no margins puts
// data (x, y) at column trunc((x - x0) * W / (x1 - x0)), row trunc((y1 - y) * H / (y1 - y0)).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/channel/CWave.h"
#include "app/common/IniSet.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Runtime.h"
#include "platform/gdi/Gdi.h"

using namespace qv;
using qv::apptest::errorNumber;

// Number and description of the run-time error `f` raised (CWave_test.cpp).
std::pair<int, std::string> cwaveErrorOf(const std::function<void()>& f);

namespace {


constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kGreen = 0x00FF00;
constexpr int32_t kBlue = 0xFF0000;
constexpr int32_t kTrace = 0x336699;

struct DrawWindowTag {};

// A window with two borderless white picture boxes: 200 x 100 and 500 x 100 pixels.
forms::Form& drawWindow() {
    forms::FormDesign d;
    d.name = "DrawStandIn";
    d.width = 12000;
    d.height = 6000;
    d.props = {{"ScaleMode", forms::vbPixels}};
    const std::vector<forms::DesignProp> plain = {
        {"BorderStyle", 0}, {"ScaleMode", forms::vbPixels}, {"BackColor", kWhite}};
    d.controls.push_back({forms::ControlType::PictureBox, "PBXMoniDisp", -1, "", 10, 10, 200, 100, "", plain});
    d.controls.push_back({forms::ControlType::PictureBox, "picWide", -1, "", 10, 150, 500, 100, "", plain});
    return forms::Runtime::get().formOf(typeid(DrawWindowTag), [d] {
        return std::make_unique<apptest::StandInForm>(d);
    });
}

class CWaveDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_symlink(std::filesystem::path(QV_BIN_DIR) / "libTrelm.so",
                                        prog.dir() / "libTrelm.so");
        GstrErrRaise.clear();
        forms::Form& f = drawWindow();
        pic = &dynamic_cast<forms::PictureBox&>(f.control("PBXMoniDisp"));
        wide = &dynamic_cast<forms::PictureBox&>(f.control("picWide"));
        w.WaveGraphAll(pic);
        w.BandColor(kTrace);
    }
    void TearDown() override {
        forms::Runtime::get().reset();
        GstrErrRaise.clear();
        GAcqParam = AcqParam{};
    }

    int32_t at(int x, int y) const { return static_cast<int32_t>(gdi::GetPixel(pic->hDC(), x, y)); }
    // Pixels of the main picture with colour c inside columns x0..x1 and rows y0..y1.
    int pixels(int32_t c, int x0 = 0, int x1 = 199, int y0 = 0, int y1 = 99) const {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) n += at(x, y) == c;
        return n;
    }
    int inked() const { return 200 * 100 - pixels(kWhite); }

    // A page of 100 points over the whole 200 x 100 picture, y from -100 to 100, then a clean
    // picture for the overlays.
    void page(const std::vector<float>& values) {
        w.Allocate(100);
        w.UpdateWave(values, 0, 100);
        w.CHWindow(1);
        w.DispWaveAll3(0, 100, false, nullptr, 0, 0, 0, 0, false);
        pic->Cls();
    }

    apptest::TempProgramFolder prog;
    forms::PictureBox* pic = nullptr;
    forms::PictureBox* wide = nullptr;
    CWave w;
};

std::vector<float> step(int n, int at, float before, float after) {
    std::vector<float> v(static_cast<size_t>(n), before);
    for (int i = at; i < n; ++i) v[static_cast<size_t>(i)] = after;
    return v;
}

}  // namespace

TEST_F(CWaveDrawTest, ThePageLandsInTheChannelsBand) {
    w.Allocate(100);
    w.PTotal(100);  // all zeros
    w.DispNum(4);
    w.DispPos(3);   // y window -100..700: value 0 at row 700 / 8
    w.DispWaveAll3(0, 100, false, nullptr, 0, 0, 0, 0, false);
    EXPECT_EQ(at(100, 87), kTrace);
    EXPECT_EQ(at(100, 86), kWhite);
    EXPECT_EQ(at(100, 88), kWhite);
    EXPECT_EQ(w.DispStartPoint(), 0);
    EXPECT_EQ(w.DispEndPoint(), 100);

    pic->Cls();
    w.DispPos(0);  // -700..100: row 100 / 8
    w.DispWaveAll3(0, 100, false, nullptr, 0, 0, 0, 0, false);
    EXPECT_EQ(at(100, 12), kTrace);
    EXPECT_EQ(pixels(kTrace, 0, 199, 13, 99), 0);

    pic->Cls();
    w.CHWindow(1);  // the channel's own range, moved 50 up: row 25; 100 plot columns from 20
    w.OffsetY(50);
    w.DispWaveAll3(0, 100, false, nullptr, 20, 80, 0, 0, false);
    EXPECT_EQ(pixels(kTrace), 99);  // columns 20..118: the last point of a line is not drawn
    EXPECT_EQ(pixels(kTrace, 20, 118, 25, 25), 99);
}

TEST_F(CWaveDrawTest, StartAndKeepPositionDecideWhatIsDrawnAndRemembered) {
    // 50 up to point 499, 0 up to 1999, -50 after.
    std::vector<float> levels = step(3000, 500, 50, 0);
    std::fill(levels.begin() + 2000, levels.end(), -50.0f);
    w.Allocate(3000);
    w.UpdateWave(levels, 0, 3000);
    w.SweepPoint(1234);
    w.CHWindow(0);
    w.DispNum(1);
    // A negative start draws from point 0, x window 0..1000: the step at 500 is column 100.
    w.DispWaveAll3(-5, 1000, false, nullptr, 0, 0, 0, 0, false);
    EXPECT_EQ(at(50, 25), kTrace);
    EXPECT_EQ(at(150, 50), kTrace);
    EXPECT_EQ(pixels(kTrace, 0, 199, 60, 99), 0);
    EXPECT_EQ(w.DispStartPoint(), 0);
    EXPECT_EQ(w.DispEndPoint(), 1234);

    pic->Cls();
    w.DispStartPoint(7);
    w.DispEndPoint(8);
    w.DispWaveAll3(2000, 1000, false, nullptr, 0, 0, 0, 0, true);  // points 2000..2999: -50
    EXPECT_EQ(at(100, 75), kTrace);
    EXPECT_EQ(pixels(kTrace, 0, 199, 0, 60), 0);
    EXPECT_EQ(w.DispStartPoint(), 7);
    EXPECT_EQ(w.DispEndPoint(), 8);

    pic->Cls();
    w.DispWaveAll3(2000, 1000, true, nullptr, 0, 0, 0, 0, false);  // no-draw
    EXPECT_EQ(inked(), 0);
    EXPECT_EQ(w.DispStartPoint(), 7);
}

TEST_F(CWaveDrawTest, PagesStopAtTheEndOfTheBuffer) {
    w.Allocate(1000);
    w.UpdateWave(step(1000, 200, 50, -50), 0, 1000);
    w.SweepPoint(500);
    w.CHWindow(1);
    // 200 points (800..999) in an x window of 800..1300: columns 0 to 80.
    w.DispWaveAll2(800, false, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(at(40, 75), kTrace);
    EXPECT_EQ(pixels(kTrace, 81, 199), 0);
    EXPECT_EQ(w.DispStartPoint(), 800);
    EXPECT_EQ(w.DispEndPoint(), 1300);

    // A negative start: DispWaveAll2 draws point 0 at x 0, DispWaveAll4 at x -100.
    pic->Cls();
    w.DispWaveAll2(-100, false, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(at(60, 25), kTrace);  // the step at x 200 is column 80
    EXPECT_EQ(at(100, 75), kTrace);
    pic->Cls();
    w.DispWaveAll4(-100, false, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(at(20, 25), kTrace);  // the step at x 100 is column 40
    EXPECT_EQ(at(60, 75), kTrace);
    EXPECT_EQ(pixels(kTrace, 45, 199, 0, 50), 0);
    EXPECT_EQ(w.DispStartPoint(), 0);
    EXPECT_EQ(w.DispEndPoint(), 500);
}

TEST_F(CWaveDrawTest, PageArgumentsOutsideTheBufferFailBeforeTheTrace) {
    w.Allocate(100);
    const auto past = [&] { w.DispWaveAll3(50, 51, false, nullptr, 0, 0, 0, 0, false); };
    const auto before = [&] { w.DispWaveAll3(-1, 101, false, nullptr, 0, 0, 0, 0, false); };
    EXPECT_EQ(cwaveErrorOf(past).first, 9);
    EXPECT_EQ(cwaveErrorOf(before).first, 9);
    EXPECT_EQ(errorNumber([&] { w.DispWaveAll2(100, false, nullptr, 0, 0, 0, 0); }), 9);
    GstrErrRaise = "1";
    EXPECT_EQ(cwaveErrorOf(past), (std::pair<int, std::string>{
                                 30000, "lStartPoint + lDispPoint が MsngWaveのサイズを超えています。"}));
    EXPECT_EQ(cwaveErrorOf(before), (std::pair<int, std::string>{
                                   30000, "lDispPoint が MsngWaveのサイズを超えています。"}));
    EXPECT_EQ(inked(), 0);
}

TEST_F(CWaveDrawTest, PixelsConvertThroughThePicturesWindow) {
    w.SweepPoint(1000);
    float lo = 0, hi = 0;
    EXPECT_EQ(w.CP2CX(5, wide, lo, hi), 10.0f);  // 1000 points over 500 pixels
    EXPECT_EQ(lo, 0.0f);
    EXPECT_EQ(hi, 1000.0f);
    lo = 0;
    hi = 250;
    EXPECT_EQ(w.CP2CX(50, wide, lo, hi), 25.0f);
    lo = hi = 3;
    w.DispNum(2);
    w.DispPos(1);  // window -100..300 over 100 pixels
    EXPECT_EQ(w.CP2CY(10, nullptr, lo, hi), 40.0f);
    EXPECT_EQ(lo, -100.0f);
    EXPECT_EQ(hi, 300.0f);
    CWave unbound;
    EXPECT_EQ(errorNumber([&] { unbound.CP2CX(5, nullptr, lo, hi); }), 91);
}

TEST_F(CWaveDrawTest, MeanLineCoversItsRunOnly) {
    std::vector<float> v(100);
    for (size_t i = 0; i < v.size(); ++i) v[i] = i % 2 ? 30.0f : 10.0f;
    page(v);
    int32_t start = 10, count = 20;
    w.DispMean(start, count, false);  // mean 20: row 40, columns 20..59
    EXPECT_EQ(at(20, 40), kGreen);
    EXPECT_EQ(at(59, 40), kGreen);
    EXPECT_EQ(at(19, 40), kWhite);
    EXPECT_EQ(at(60, 40), kWhite);
    EXPECT_EQ(pixels(kGreen), 40);

    pic->Cls();
    start = 90;
    count = 20;  // reaches past the valid points
    w.DispMean(start, count, true);
    EXPECT_EQ(inked(), 0);
    start = -4;
    count = 500;
    w.DispMean(start, count, false);  // raised to 0 and lowered to PTotal: the whole page
    EXPECT_EQ(start, 0);
    EXPECT_EQ(count, 100);
    EXPECT_EQ(pixels(kGreen), 200);

    // A run of no points, inside the page or at its end (both cursors on the last point after
    // a play), has nothing to draw with any overlay.
    pic->Cls();
    for (int32_t at : {50, 100}) {
        start = at;
        count = 0;
        w.DispMean(start, count, true);
        EXPECT_EQ(w.DispMax(start, count, true, true, 0), "");
        EXPECT_EQ(w.DispMin(start, count, true, true, 0), "");
        EXPECT_EQ(w.DispP2P(start, count, true), "");
        w.DispPeak(start, count, 1.0f, nullptr, true, true, true, true, true);
    }
    EXPECT_EQ(inked(), 0);
}

TEST_F(CWaveDrawTest, PeakToPeakBoxRunsFromTheEarlierExtremeToTheLater) {
    std::vector<float> v(100, 0.0f);
    v[30] = -50;
    v[60] = 50;
    page(v);
    int32_t start = 0, count = 100;
    EXPECT_EQ(w.DispP2P(start, count, false), "50,60,-50,30");
    // Dotted blue box: columns 60..120, rows 25 (max) and 75 (min).
    EXPECT_GT(pixels(kBlue, 60, 120, 25, 25), 10);
    EXPECT_GT(pixels(kBlue, 60, 120, 75, 75), 10);
    EXPECT_GT(pixels(kBlue, 60, 60, 26, 74), 10);
    EXPECT_GT(pixels(kBlue, 120, 120, 26, 74), 10);
    EXPECT_EQ(pixels(kBlue, 0, 59), 0);
    EXPECT_EQ(pixels(kBlue, 0, 199, 0, 24) + pixels(kBlue, 0, 199, 76, 99), 0);

    // A hidden channel draws nothing; the statistics still come back.
    pic->Cls();
    w.CHDisp(0);
    EXPECT_EQ(w.DispP2P(start, count, true), "50,60,-50,30");
    EXPECT_EQ(w.DispMax(start, count, true, true, 0), "50,60");
    EXPECT_EQ(w.DispMin(start, count, true, true, 0), "-50,30");
    int32_t position = 10;
    w.DispMean(start, count, true);
    w.DispPeak(start, count, 1.0f, nullptr, true, true, true, true, true);
    w.DispTrg(position, kBlue, 0);
    w.DispLevel(1.0f, start, count, kBlue, 0);
    w.DispCross(1.0f, 1.0f, nullptr, true, true, true, true, -1);
    w.DispMark(1.0f, 1.0f);
    w.DispWaveAll3(0, 100, false, nullptr, 0, 0, 0, 0, false);
    w.DispWaveAll2(0, false, nullptr, 0, 0, 0, 0);
    EXPECT_EQ(inked(), 0);
}

TEST_F(CWaveDrawTest, MaximumAndMinimumMarksAndTheirErrors) {
    std::vector<float> v(100, 0.0f);
    v[40] = 50;
    v[70] = -50;
    page(v);
    GAcqParam.nSClock = 1000;
    int32_t start = 0, count = 100;
    EXPECT_EQ(w.DispMax(start, count, false, false, 0), "50,40");
    // A cross at column 80, row 25: 5 pixels are 10 units up and down, 2.5 points across.
    EXPECT_EQ(at(80, 21), kRed);
    EXPECT_EQ(at(80, 29), kRed);
    EXPECT_EQ(at(76, 25), kRed);
    EXPECT_EQ(at(84, 25), kRed);
    EXPECT_EQ(at(80, 19), kWhite);

    // A time text beyond the 32-bit range: the maximum steps over the overflow...
    pic->Cls();
    EXPECT_EQ(w.DispMax(start, count, true, true, INT32_MAX), "50,40");
    EXPECT_EQ(at(80, 21), kRed);
    // ...the minimum lets it go to the caller, after its lines.
    EXPECT_EQ(errorNumber([&] { w.DispMin(start, count, false, true, INT32_MAX); }), 6);
    EXPECT_EQ(at(140, 71), kBlue);
    EXPECT_EQ(w.DispMin(start, count, true, true, 0), "-50,70");
}

TEST_F(CWaveDrawTest, PeaksGetLinesUpToTheRangeTop) {
    std::vector<float> v(100, 0.0f);
    v[20] = 40;
    v[70] = 60;
    page(v);
    int32_t start = 0, count = 100;
    w.DispPeak(start, count, 10.0f, nullptr, false, false, true, false, false);
    // From the sample (row 30, row 20) up to RangeHi (row 0).
    EXPECT_EQ(at(40, 15), kGreen);
    EXPECT_EQ(at(140, 10), kGreen);
    EXPECT_EQ(pixels(kGreen, 0, 199, 31, 99), 0);
    EXPECT_EQ(pixels(kGreen, 41, 139), 0);
}

TEST_F(CWaveDrawTest, MoreThanTenThousandPeaksAreRefusedWithoutOverrunningTheTables) {
    std::vector<float> v(30000);
    for (size_t i = 0; i < v.size(); ++i) v[i] = i % 2 ? 1.0f : -1.0f;
    w.PutArray(v);
    w.PTotal(30000);
    w.SweepPoint(30000);
    const std::pair<int, std::string> cap{
        30000, "S_PEAKの検出個数が10000を超えています。10000個までしか扱えません。"};
    int32_t start = 0, count = 30000;
    EXPECT_EQ(cwaveErrorOf([&] { w.DispPeak(start, count, 0.5f, nullptr, 1, 1, 1, 0, 1); }), cap);
    EXPECT_EQ(cwaveErrorOf([&] { w.DispPeak(start, count, 0.5f, nullptr, 1, 1, 0, 1, 1); }), cap);
    EXPECT_EQ(inked(), 0);  // the cap test comes before any line
}

TEST_F(CWaveDrawTest, TriggerLevelCrossAndMarkLines) {
    page(std::vector<float>(100, 0.0f));
    int32_t position = 50;
    w.DispTrg(position, kBlue, 0);  // full height at column 100
    EXPECT_EQ(pixels(kBlue, 100, 100), 99);
    EXPECT_EQ(pixels(kBlue, 0, 99) + pixels(kBlue, 101, 199), 0);
    position = -3;
    w.DispTrg(position, kBlue, 0);
    EXPECT_EQ(position, 0);

    pic->Cls();
    int32_t start = -5, count = 500;
    w.DispLevel(20.0f, start, count, kBlue, 0);  // row 40 across the page
    EXPECT_EQ(start, 0);
    EXPECT_EQ(count, 100);
    EXPECT_EQ(pixels(kBlue, 0, 199, 40, 40), 200);

    pic->Cls();
    // Arms from 15 to 5 pixels away from (50, 0), i.e. column 100, row 50.
    w.DispCross(50.0f, 0.0f, nullptr, true, false, true, true, -1);
    EXPECT_EQ(pixels(kRed, 85, 94, 50, 50), 10);   // left
    EXPECT_EQ(pixels(kRed, 106, 115, 50, 50), 10); // right, drawn inwards
    EXPECT_EQ(pixels(kRed, 100, 100, 35, 44), 10); // up
    EXPECT_EQ(pixels(kRed, 95, 105, 46, 99), 0);   // the gap and no down arm

    pic->Cls();
    w.DispMark(50.0f, 0.0f);
    EXPECT_EQ(at(100, 52), kRed);  // below the texts written above the mark
    EXPECT_EQ(at(100, 54), kRed);
    EXPECT_EQ(at(96, 50), kRed);
    EXPECT_EQ(at(104, 50), kRed);
}

