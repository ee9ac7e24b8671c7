#pragma once
// A headless window with one white, borderless 200 x 100 pixel picture box, the real
// libTrelm.so in a temporary program folder, and a view of the library's graph and cursor
// tables through its diagnostic dump.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/common/TrelmImports.h"
#include "app/graph/CGraph.h"
#include "library/GraphTables.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Runtime.h"
#include "platform/gdi/Gdi.h"
#include "tests/app/common/IniSet_testsupport.h"

namespace qv::graphtest {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kBlue = 0xFF0000;  // RGB(0, 0, 255)
constexpr int32_t kRed = 0x0000FF;   // RGB(255, 0, 0)

// The library's tables as the diagnostic dump copies them.
struct LibTables {
    int32_t slotCount = 0;
    int32_t cursorCount = 0;
    std::vector<trelm::GraphSlot> slots;
    std::vector<trelm::CursorRecord> cursors;

    static LibTables read() {
        LibTables t;
        t.slots.resize(trelm::kGraphSlots);
        t.cursors.resize(trelm::kCursorRecords);
        Trelm::DEBUG_GET_H_FUNCTION(&t.slotCount, t.slots.data(), &t.cursorCount,
                                    t.cursors.data());
        return t;
    }
    int liveSlots() const {
        int n = 0;
        for (int32_t i = 0; i < slotCount; ++i) n += slots[static_cast<size_t>(i)].inUse == 1;
        return n;
    }
    int liveCursors() const {
        int n = 0;
        for (int32_t i = 0; i < cursorCount; ++i) n += cursors[static_cast<size_t>(i)].bEnable == 1;
        return n;
    }
    // The record of cursor `no` of the graph with wave handle `wave`, or null.
    const trelm::CursorRecord* cursor(int32_t wave, int32_t no) const {
        for (int32_t i = 0; i < cursorCount; ++i) {
            const auto& c = cursors[static_cast<size_t>(i)];
            if (c.bEnable == 1 && c.ParentWaveHandle == wave && c.lCurNo == no) return &c;
        }
        return nullptr;
    }
};

// A white, borderless picture box of 200 x 100 pixels at the top-left corner of a pixel form.
inline forms::ControlDesign pictureDesign(const std::string& name) {
    return {forms::ControlType::PictureBox, name, -1, "", 0, 0, 200, 100, "",
            {{"BorderStyle", 0}, {"ScaleMode", forms::vbPixels}, {"BackColor", kWhite}}};
}

// A created graph on the picture without margins, with the given window.
inline void makeGraph(CGraph& g, forms::PictureBox& picture, float x1, float y1, float x2,
                      float y2) {
    g.CreateGraph(picture, 0, 0, -1, -1);
    g.SetMargin(0, 0, 0, 0);
    g.SetWindow(x1, y1, x2, y2);
}

struct GraphWindowTag {};

class GraphFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_symlink(std::filesystem::path(QV_BIN_DIR) / "libTrelm.so",
                                        prog.dir() / "libTrelm.so");
        forms::FormDesign d;
        d.name = "GraphStandIn";
        d.width = 6000;
        d.height = 3000;
        d.props = {{"ScaleMode", forms::vbPixels}};
        d.controls.push_back(pictureDesign("picGraph"));
        forms::Form& f = forms::Runtime::get().formOf(typeid(GraphWindowTag), [d] {
            return std::make_unique<apptest::StandInForm>(d);
        });
        pic = &dynamic_cast<forms::PictureBox&>(f.control("picGraph"));
        pic->Cls();
    }
    void TearDown() override { forms::Runtime::get().reset(); }

    int32_t at(int x, int y) const {
        return static_cast<int32_t>(gdi::GetPixel(pic->hDC(), x, y));
    }
    // Pixels of colour c in column x (rows 0..99) or in row y (columns 0..199).
    int inColumn(int32_t c, int x) const {
        int n = 0;
        for (int y = 0; y < 100; ++y) n += at(x, y) == c;
        return n;
    }
    int inRow(int32_t c, int y) const {
        int n = 0;
        for (int x = 0; x < 200; ++x) n += at(x, y) == c;
        return n;
    }
    int notWhite() const {
        int n = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) n += at(x, y) != kWhite;
        return n;
    }

    apptest::TempProgramFolder prog;
    forms::PictureBox* pic = nullptr;
};

}  // namespace qv::graphtest
