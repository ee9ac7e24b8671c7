// Every window of the program as designed: its controls lie in their containers' client areas,
// and the captions of check boxes and option buttons fit beside their box.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "tests/app/main/ProgramWindows_testsupport.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Util.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Encoding.h"

namespace qv {
namespace {

using apptest::kProgramWindows;
using WindowDesign = apptest::ProgramWindow;

class WindowDesignTest : public ::testing::TestWithParam<WindowDesign> {
protected:
    static void SetUpTestSuite() { gdi::setFontConfigFile(QV_SOURCE_DIR "/data/fonts.conf"); }
};

std::string describe(const forms::PixelRect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) +
           "," + std::to_string(r.bottom) + ")";
}

std::string fullName(const forms::ControlDesign& cd) {
    return cd.index >= 0 ? cd.name + "(" + std::to_string(cd.index) + ")" : cd.name;
}

// A frame larger than the original's cuts controls at the right and bottom of the client area;
// where a control starts (before the area, parked far outside it) is the design's own choice.
TEST_P(WindowDesignTest, NoControlReachesPastItsContainersClientArea) {
    const forms::FormDesign& d = GetParam().design();
    EXPECT_EQ(d.name, GetParam().name);
    forms::Form f(d);
    const forms::PixelRect fc = f.clientRect();
    // Controls are placed relative to the form's client area.
    const forms::PixelRect formArea{0, 0, fc.width(), fc.height()};
    for (const forms::ControlDesign& cd : d.controls) {
        if (cd.type == forms::ControlType::Timer) continue;   // no place on the window
        forms::Control* c = f.findControlByFullName(fullName(cd));
        ASSERT_NE(c, nullptr) << fullName(cd);
        forms::Widget* container = c->containerWidget();
        forms::PixelRect area = container && !container->isForm() ? container->clientRect() : formArea;
        forms::PixelRect r = c->outerRect();
        int right = r.right, bottom = r.bottom;
        if (cd.type == forms::ControlType::Line) {   // its two ends, both drawn
            right = std::max(r.left, r.right) + 1;
            bottom = std::max(r.top, r.bottom) + 1;
        }
        EXPECT_TRUE(right <= area.right && bottom <= area.bottom)
            << d.name << "." << fullName(cd) << " at " << describe(r) << " reaches past "
            << (cd.container.empty() ? "the window's" : cd.container + "'s") << " client area "
            << describe(area);
    }
}

TEST_P(WindowDesignTest, CheckAndOptionCaptionsFitBesideTheirBox) {
    const forms::FormDesign& d = GetParam().design();
    forms::Form f(d);
    auto s = std::make_shared<gdi::Surface>(8, 8, 0);
    gdi::HDC dc = gdi::createSurfaceDC(s);
    for (const forms::ControlDesign& cd : d.controls) {
        if (cd.type != forms::ControlType::CheckBox && cd.type != forms::ControlType::OptionButton) continue;
        forms::Control* c = f.findControlByFullName(fullName(cd));
        ASSERT_NE(c, nullptr);
        if (c->Caption().empty()) continue;
        gdi::LOGFONTA lf = forms::toLogFont(c->font());
        gdi::HGDIOBJ old = gdi::SelectObject(dc, gdi::CreateFontIndirectA(&lf));
        std::string text = kernel::utf8ToCp932(c->Caption());
        gdi::SIZE size{};
        ASSERT_TRUE(gdi::GetTextExtentPoint32A(dc, text.data(), int(text.size()), &size));
        gdi::DeleteObject(gdi::SelectObject(dc, old));
        // The 13-pixel box and the 4-pixel gap before the caption.
        EXPECT_LE(13 + 4 + size.cx, c->outerRect().width())
            << d.name << "." << fullName(cd) << " \"" << c->Caption() << "\" is cut";
    }
    gdi::DeleteDC(dc);
}

INSTANTIATE_TEST_SUITE_P(AllWindows, WindowDesignTest, ::testing::ValuesIn(kProgramWindows),
                         [](const ::testing::TestParamInfo<WindowDesign>& i) {
                             return apptest::windowTestName(i.param, i.index);
                         });

}  // namespace
}  // namespace qv
