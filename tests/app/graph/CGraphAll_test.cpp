// The all-channel panel on a headless window: a 200 x 100 pixel picture box, two range boxes,
// a copy check box, ten buttons and the read-out boxes, with waves of known data.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/channel/CWave.h"
#include "app/common/DaskBase.h"
#include "app/graph/CGraphAll.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Runtime.h"
#include "platform/gdi/Gdi.h"
#include "tests/app/graph/CGraph_testsupport.h"

using namespace qv;
using namespace qv::graphtest;

namespace {

struct PanelWindowTag {};

const char* const kButtons[] = {"cmdPrev10", "cmdNext10", "cmdPrev1", "cmdNext1", "cmdPrev",
                                "cmdNext",   "cmdPrevH",  "cmdNextH", "cmdFirst", "cmdLast"};
const char* const kTexts[] = {"txtHi", "txtLo", "txtLeft", "txtRight", "txtWidth",
                              "txtAmpL1", "txtAmpL2", "txtAmpR1", "txtAmpD1"};

class CGraphAllTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_symlink(std::filesystem::path(QV_BIN_DIR) / "libTrelm.so",
                                        prog.dir() / "libTrelm.so");
        InitGraphDefaults();
        forms::FormDesign d;
        d.name = "PanelStandIn";
        d.width = 9000;
        d.height = 9000;
        d.props = {{"ScaleMode", forms::vbPixels}};
        d.controls.push_back(pictureDesign("picAll"));
        double top = 110;
        for (const char* t : kTexts) {
            d.controls.push_back({forms::ControlType::TextBox, t, -1, "", 0, top, 80, 20, "", {}});
            top += 22;
        }
        d.controls.push_back({forms::ControlType::CheckBox, "chkCopy", -1, "", 100, 110, 80, 20, "", {}});
        top = 140;
        for (const char* b : kButtons) {
            d.controls.push_back({forms::ControlType::CommandButton, b, -1, "", 100, top, 60, 20, "", {}});
            top += 22;
        }
        f = &forms::Runtime::get().formOf(typeid(PanelWindowTag), [d] {
            return std::make_unique<apptest::StandInForm>(d);
        });
        f->Show();
        pic = &ctl<forms::PictureBox>("picAll");
        pic->Cls();
        panel.GraphPicture(*pic);
        panel.RangeCopyChk(ctl<forms::CheckBox>("chkCopy"));
        panel.Hitxt(text("txtHi"));
        panel.Lotxt(text("txtLo"));
        panel.PrevBtn10(button("cmdPrev10"));
        panel.NextBtn10(button("cmdNext10"));
        panel.PrevBtn1(button("cmdPrev1"));
        panel.NextBtn1(button("cmdNext1"));
        panel.PrevBtn(button("cmdPrev"));
        panel.NextBtn(button("cmdNext"));
        panel.PrevHBtn(button("cmdPrevH"));
        panel.NextHBtn(button("cmdNextH"));
        panel.FirstBtn(button("cmdFirst"));
        panel.LastBtn(button("cmdLast"));
        panel.LeftCurPostxt(text("txtLeft"));
        panel.RightCurPostxt(text("txtRight"));
        panel.WidthCurPostxt(text("txtWidth"));
        panel.AddLeftCurAmptxt(text("txtAmpL1"));
        panel.AddLeftCurAmptxt(text("txtAmpL2"));
        panel.AddRightCurAmptxt(text("txtAmpR1"));
        panel.AddDiffCurAmptxt(text("txtAmpD1"));
        conns.emplace_back(panel.DispPage.connect([this](int32_t s, int32_t n) {
            log.push_back("Page " + std::to_string(s) + " " + std::to_string(n));
        }));
        conns.emplace_back(panel.ChangeRange.connect([this](float hi, float lo) {
            log.push_back("Range " + basic::CStr(hi) + " " + basic::CStr(lo));
        }));
    }

    template <class T>
    T& ctl(const char* name) {
        return dynamic_cast<T&>(f->control(name));
    }
    forms::TextBox& text(const char* name) { return ctl<forms::TextBox>(name); }
    forms::CommandButton& button(const char* name) { return ctl<forms::CommandButton>(name); }

    // A wave of `total` points, value(i) = slope * i, a page of `sweep` points, one band.
    std::shared_ptr<CWave> wave(int32_t total, int32_t sweep, float slope, int32_t colour) {
        auto w = std::make_shared<CWave>();
        w->Allocate(total);
        std::vector<float> v(static_cast<size_t>(total));
        for (int32_t i = 0; i < total; ++i) v[static_cast<size_t>(i)] = slope * static_cast<float>(i);
        w->UpdateWave(v, 0, total);
        w->SweepPoint(sweep);
        w->DispNum(1);
        w->BandColor(colour);
        return w;
    }
    int32_t startOf(int32_t k) { return panel.CWave(k)->DispStartPoint(); }
    std::vector<std::string> take() { return std::exchange(log, {}); }
    int32_t at(int x, int y) const { return static_cast<int32_t>(gdi::GetPixel(pic->hDC(), x, y)); }
    int count(int32_t c) const {
        int n = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) n += at(x, y) == c;
        return n;
    }

    apptest::TempProgramFolder prog;
    forms::Driver driver;
    forms::Form* f = nullptr;
    forms::PictureBox* pic = nullptr;
    CGraphAll panel;
    std::vector<std::string> log;
    std::vector<forms::ScopedConnection> conns;
};

TEST_F(CGraphAllTest, ButtonsMoveEveryWaveByItsOwnLengthAndReportTheLastOne) {
    panel.AddWave(wave(1000, 100, 1, kBlue));
    panel.AddWave(wave(600, 100, 1, kRed));
    EXPECT_EQ(panel.WaveCnt(), 2);
    EXPECT_TRUE(driver.click(button("cmdNext")));
    EXPECT_EQ(startOf(1), 100);
    EXPECT_EQ(take(), (std::vector<std::string>{"Page 100 100"}));
    driver.click(button("cmdNext10"));
    driver.click(button("cmdNext1"));
    EXPECT_EQ(startOf(2), 111);
    driver.click(button("cmdPrev1"));
    driver.click(button("cmdPrev10"));
    EXPECT_EQ(startOf(1), 100);
    driver.click(button("cmdLast"));
    EXPECT_EQ(startOf(1), 900);
    EXPECT_EQ(startOf(2), 500);
    driver.click(button("cmdNext"));
    driver.click(button("cmdNext1"));
    driver.click(button("cmdNext10"));
    driver.click(button("cmdNextH"));
    EXPECT_EQ(startOf(1), 900);
    EXPECT_EQ(startOf(2), 500);
    take();
    driver.click(button("cmdPrevH"));
    EXPECT_EQ(startOf(1), 850);
    EXPECT_EQ(take(), (std::vector<std::string>{"Page 450 100"}));
    driver.click(button("cmdFirst"));
    driver.click(button("cmdPrev"));
    driver.click(button("cmdPrev1"));
    driver.click(button("cmdPrev10"));
    driver.click(button("cmdPrevH"));
    EXPECT_EQ(startOf(1), 0);
    EXPECT_EQ(startOf(2), 0);
    EXPECT_EQ(panel.DispStartPoint(), 0);
    EXPECT_TRUE(driver.errors().empty());
    // The cursors return to the edges of wave 1's page.
    EXPECT_EQ(panel.MGraph()->CurAna_L()->CurPosX(), 0.0f);
    EXPECT_EQ(panel.MGraph()->CurAna_R()->CurPosX(), 100.0f);
}

TEST_F(CGraphAllTest, HalfPagesRoundHalvesToEven) {
    panel.AddWave(wave(5000, 1001, 1, kBlue));
    driver.click(button("cmdNextH"));
    EXPECT_EQ(startOf(1), 500);
    panel.DispStartPoint(1);
    driver.click(button("cmdNextH"));
    EXPECT_EQ(startOf(1), 502);
    panel.SweepPoint(10);
    EXPECT_EQ(panel.SweepPoint(), 10);
}

TEST_F(CGraphAllTest, AnEmptyPanelDrawsNothingAndStillReportsAPage) {
    driver.click(button("cmdNext"));
    driver.click(button("cmdFirst"));
    EXPECT_EQ(take(), (std::vector<std::string>{"Page 0 0", "Page 0 0"}));
    pic->Refresh();
    EXPECT_EQ(count(kWhite), 200 * 100);
    EXPECT_EQ(panel.DispStartPoint(), 0);
    EXPECT_EQ(panel.SweepPoint(), 0);
    panel.DispStartPoint(5);
    EXPECT_EQ(apptest::errorNumber([&] { panel.CWave(1); }), basic::errSubscript);
}

TEST_F(CGraphAllTest, RangeEditsMirrorThroughTheCopyBoxOnce) {
    panel.AddWave(wave(1000, 100, 1, kBlue));
    panel.AddWave(wave(1000, 100, 1, kRed));
    driver.check(ctl<forms::CheckBox>("chkCopy"), 1);
    driver.type(text("txtHi"), "50");
    for (int k = 1; k <= 2; ++k) {
        EXPECT_EQ(panel.CWave(k)->RangeHi(), 50.0f);
        EXPECT_EQ(panel.CWave(k)->RangeLo(), -50.0f);
    }
    EXPECT_EQ(text("txtHi").Text(), " 50");
    EXPECT_EQ(text("txtLo").Text(), "-50");
    EXPECT_EQ(take(), (std::vector<std::string>{"Range 50 -50", "Range 50 -50"}));
    driver.type(text("txtLo"), "25.5");
    EXPECT_EQ(panel.CWave(2)->RangeHi(), -25.5f);
    EXPECT_EQ(panel.CWave(2)->RangeLo(), 25.5f);
    EXPECT_EQ(text("txtHi").Text(), "-25.5");
    EXPECT_EQ(text("txtLo").Text(), " 25.5");
    EXPECT_EQ(take(), (std::vector<std::string>{"Range -25.5 25.5", "Range -25.5 25.5"}));

    // Without the copy box the boxes are applied as typed, inverted or not.
    driver.check(ctl<forms::CheckBox>("chkCopy"), 0);
    driver.type(text("txtHi"), "10abc");
    EXPECT_EQ(panel.CWave(1)->RangeHi(), 10.0f);
    EXPECT_EQ(panel.CWave(1)->RangeLo(), 25.5f);
    EXPECT_EQ(text("txtHi").Text(), "10abc");
    EXPECT_EQ(take(), (std::vector<std::string>{"Range 10 25.5"}));
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CGraphAllTest, AnEmptyRangeIsShownAndTheBoxesStayAlive) {
    panel.AddWave(wave(1000, 100, 1, kBlue));
    driver.check(ctl<forms::CheckBox>("chkCopy"), 1);
    const size_t boxes = driver.msgBoxes().size();
    driver.answerMsgBox(forms::vbOK);
    driver.answerMsgBox(forms::vbOK);
    driver.type(text("txtHi"), "0");  // both handlers refuse the empty range
    ASSERT_EQ(driver.msgBoxes().size(), boxes + 2);
    EXPECT_NE(driver.msgBoxes().back().prompt.find("30000"), std::string::npos);
    EXPECT_NE(driver.msgBoxes().back().prompt.find("SetCursorできません"), std::string::npos);
    EXPECT_TRUE(take().empty());
    driver.type(text("txtHi"), "20");
    EXPECT_EQ(panel.CWave(1)->RangeHi(), 20.0f);
    EXPECT_EQ(take(), (std::vector<std::string>{"Range 20 -20", "Range 20 -20"}));
    driver.type(text("txtLo"), "7");
    EXPECT_EQ(panel.CWave(1)->RangeLo(), 7.0f);
    // A direct caller of SetCursor still gets the error; a button shows it and goes on.
    panel.CWave(1)->RangeHi(3);
    panel.CWave(1)->RangeLo(3);
    EXPECT_EQ(apptest::errorNumber([&] { panel.SetCursor(); }), basic::errApplication);
    take();
    driver.answerMsgBox(forms::vbOK);
    driver.click(button("cmdNext"));
    EXPECT_EQ(driver.msgBoxes().size(), boxes + 3);
    EXPECT_TRUE(take().empty());
    panel.CWave(1)->RangeHi(9);
    driver.click(button("cmdNext"));
    EXPECT_EQ(take(), (std::vector<std::string>{"Page 200 100"}));
    // Each refusal was reported as error 30000, and nothing else went wrong.
    EXPECT_EQ(driver.errors().size(), 3u);
    for (const auto& e : driver.errors()) EXPECT_NE(e.find("30000"), std::string::npos) << e;
}

TEST_F(CGraphAllTest, CursorMovesFillTheReadOutsAndMoveTheMarks) {
    panel.AddWave(wave(1000, 100, 0.5f, kBlue));
    panel.AddWave(wave(1000, 100, -1, kRed));
    panel.DispStartPoint(200);
    panel.SetCursor();
    EXPECT_EQ(text("txtLeft").Text(), " 200");
    EXPECT_EQ(text("txtRight").Text(), " 300");
    EXPECT_EQ(text("txtWidth").Text(), " 100");
    EXPECT_EQ(text("txtAmpR1").Text(), "150");
    panel.MGraph()->CurLMove(237.6f);  // truncated to 237
    EXPECT_EQ(text("txtAmpL1").Text(), "118.5");
    EXPECT_EQ(text("txtAmpL2").Text(), "-237");
    EXPECT_EQ(text("txtLeft").Text(), " 237");
    EXPECT_EQ(text("txtWidth").Text(), " 63");
    EXPECT_EQ(text("txtAmpD1").Text(), "");
    // The second wave has no amplitude box on the right: skipped.
    panel.MGraph()->CurRMove(250);
    EXPECT_EQ(text("txtAmpR1").Text(), "125");
    EXPECT_EQ(text("txtRight").Text(), " 250");
    EXPECT_EQ(text("txtWidth").Text(), " 13");
    // Another cursor number only recomputes the width.
    text("txtLeft").setText("1.25");
    panel.MGraph_MoveLRCursor(5, 40);
    EXPECT_EQ(text("txtWidth").Text(), " 248.75");
    EXPECT_EQ(text("txtAmpL1").Text(), "118.5");
}

TEST_F(CGraphAllTest, TheMarksFollowTheWaveValues) {
    panel.AddWave(wave(1000, 100, 0.5f, kBlue));
    panel.AddWave(wave(1000, 100, -1, kRed));
    panel.SetCursor();
    // The graphs made by SetCursor hold the library graphs just before MGraph's.
    const int32_t mWave = panel.MGraph()->hWave();
    panel.MGraph()->CurLMove(40);
    panel.MGraph()->CurRMove(60);
    const LibTables t = LibTables::read();
    int found = 0;
    for (int32_t i = 0; i < t.cursorCount; ++i) {
        const auto& c = t.cursors[static_cast<size_t>(i)];
        if (c.bEnable != 1 || c.bCursor != 1 || c.ParentWaveHandle == mWave) continue;
        // Left marks at (40, value(40)), right marks at (60, value(60)), dashes of w = 2.5.
        const float x = c.lCurNo == 0 ? 40.0f : 60.0f;
        if (c.X1 != x - 2.5f || c.X2 != x + 2.5f) continue;
        if (c.Y1 == 0.5f * x || c.Y1 == -x) ++found;
    }
    EXPECT_EQ(found, 4);
}

TEST_F(CGraphAllTest, TheCaptureHandshakeFollowsTheMouse) {
    panel.AddWave(wave(1000, 100, 1, kBlue));
    panel.DispStartPoint(0);
    panel.SetCursor();
    driver.mouseMove(*pic, 0, 0, 5, 50);  // near the left cursor at pixel 0
    EXPECT_EQ(panel.MGraph()->CaptureCurNo(), 0);
    driver.mouseDown(*pic, 2, 0, 5, 50);
    EXPECT_TRUE(panel.MGraph()->Capture());
    EXPECT_EQ(panel.MGraph()->LRCur_Width(), 100.0f);
    driver.mouseUp(*pic, 2, 0, 5, 50);
    EXPECT_TRUE(panel.MGraph()->Capture());
    panel.MGraph()->LRCur_Width(20);
    driver.mouseMove(*pic, 1, 0, 60, 50);
    EXPECT_EQ(text("txtLeft").Text(), " 30");
    driver.mouseUp(*pic, 1, 0, 60, 50);
    EXPECT_FALSE(panel.MGraph()->Capture());
    driver.mouseMove(*pic, 1, 0, 120, 50);  // hover again: nothing moves
    EXPECT_EQ(text("txtLeft").Text(), " 30");
    EXPECT_EQ(panel.MGraph()->CaptureCurNo(), -1);
    driver.mouseDown(*pic, 1, 0, 120, 50);
    EXPECT_FALSE(panel.MGraph()->Capture());
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CGraphAllTest, PaintDrawsAxisTracesAndXorCursors) {
    pic->Refresh();
    EXPECT_EQ(count(kWhite), 200 * 100);  // nothing before a wave
    panel.AddWave(wave(1000, 100, 0, 0x00C000));
    panel.AxisX(25);
    panel.SetCursor();
    panel.MGraph()->CurLMove(30);  // column 60
    panel.DispAll(-1, true);
    const int32_t under = at(60, 20);
    const int32_t traceRow = 50;  // value 0 in -100..100
    EXPECT_GT(count(0x00C000), 150);
    EXPECT_EQ(at(100, traceRow), 0x00C000);
    EXPECT_EQ(at(150, 20), GAxisBoxOpt[2]);  // a grid line every 25 points: column 150
    bool drawn = false;
    conns.emplace_back(panel.DrawGraph.connect([&] { drawn = true; }));
    pic->Refresh();
    EXPECT_TRUE(drawn);
    // Not-XOR cursor over the picture: ~(pen ^ under) in 24 bits.
    EXPECT_EQ(at(60, 20), ~(kBlue ^ under) & 0xFFFFFF);
    EXPECT_EQ(at(100, traceRow), 0x00C000);
}

TEST_F(CGraphAllTest, BindingAgainOrReleasingAPanelDisconnectsItsControls) {
    panel.AddWave(wave(1000, 100, 1, kBlue));
    panel.NextBtn(button("cmdNext10"));  // the old button no longer pages by a page
    driver.click(button("cmdNext"));
    EXPECT_EQ(startOf(1), 0);
    driver.click(button("cmdNext10"));  // now a page and ten points
    EXPECT_EQ(startOf(1), 110);
    {
        auto other = std::make_unique<CGraphAll>();
        other->GraphPicture(*pic);
        other->Hitxt(text("txtHi"));
        other->PrevBtn(button("cmdPrev"));
        other->RangeCopyChk(ctl<forms::CheckBox>("chkCopy"));
        other->AddWave(wave(1000, 100, 1, kBlue));
    }
    driver.type(text("txtHi"), "30");
    driver.click(button("cmdPrev"));
    pic->Refresh();  // the released panel's handlers are gone with it
    EXPECT_EQ(startOf(1), 10);
    EXPECT_EQ(panel.CWave(1)->RangeHi(), 30.0f);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CGraphAllTest, PagingForeverLeavesTheLibraryTablesAsTheFirstClickDid) {
    for (int i = 0; i < 32; ++i) panel.AddWave(wave(400, 50, 1, kBlue));
    driver.click(button("cmdNext"));
    const LibTables first = LibTables::read();
    for (int i = 0; i < 999; ++i) driver.click(button(i % 3 == 0 ? "cmdPrev" : "cmdNext1"));
    const LibTables last = LibTables::read();
    EXPECT_EQ(last.liveSlots(), first.liveSlots());
    EXPECT_EQ(last.liveCursors(), first.liveCursors());
    EXPECT_TRUE(driver.errors().empty());
}

}  // namespace
