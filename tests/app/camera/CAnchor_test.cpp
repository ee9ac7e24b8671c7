// Anchors on a headless form: the picture box follows the form, the child follows the box.
#include "app/camera/CAnchor.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/app/camera/Layout_testsupport.h"

using namespace qv;

namespace {

struct Geometry {
    double left, top, width, height;
    bool operator==(const Geometry&) const = default;
};
Geometry geometry(const forms::Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }
std::ostream& operator<<(std::ostream& o, const Geometry& g) {
    return o << g.left << "," << g.top << " " << g.width << "x" << g.height;
}

class CAnchorTest : public ::testing::Test {
protected:
    void TearDown() override { forms::Runtime::get().reset(); }
    // Configured in the camera window's order.
    static std::unique_ptr<CAnchor> anchor(apptest::LayoutForm& f, forms::PictureBox& box,
                                           forms::Control& child, bool l, bool r, bool u, bool d) {
        auto a = std::make_unique<CAnchor>();
        a->AnchorD = d;
        a->AnchorL = l;
        a->AnchorR = r;
        a->AnchorU = u;
        a->setChildControl(child);
        a->setParentPicture(box);
        a->setParentForm(f);
        return a;
    }
    forms::Driver driver;
};

TEST_F(CAnchorTest, EveryFlagCombinationOnTwipsAndPixelBoxes) {
    for (bool pixels : {false, true})
        for (int flags = 0; flags < 16; ++flags) {
            const bool l = flags & 1, r = flags & 2, u = flags & 4, d = flags & 8;
            auto& f = apptest::freshLayoutForm();
            forms::PictureBox& box = pixels ? f.pbxPx() : f.pbx();
            forms::Control& child = pixels ? f.childPx() : f.child();
            const Geometry g0 = geometry(child);
            auto a = anchor(f, box, child, l, r, u, d);
            // One form resize runs the whole chain: form, then box, then child.
            f.Move(f.Left(), f.Top(), f.Width() + 1500, f.Height() + 900);
            EXPECT_EQ(box.Width(), 6000 + 1500);
            EXPECT_EQ(box.Height(), 3000 + 900);
            const double k = pixels ? 1.0 / 15 : 1.0;
            const double dx = 1500 * k, dy = 900 * k;
            Geometry want = g0;
            if (l && r) want.width += dx;
            else if (r) want.left += dx;
            else if (!l) want.left += dx / 2;
            if (u && d) want.height += dy;
            else if (d) want.top += dy;
            else if (!u) want.top += dy / 2;
            EXPECT_EQ(geometry(child), want) << "flags " << flags << (pixels ? " pixels" : " twips");
        }
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CAnchorTest, AStretchedChildIsLeftAloneWhenTheBoxShrinksPastIt) {
    auto& f = apptest::freshLayoutForm();
    auto a = anchor(f, f.pbx(), f.child(), true, true, true, true);
    f.pbx().setWidth(6000 - 600);
    EXPECT_EQ(f.child().Width(), 600);
    f.pbx().setWidth(6000 - 1300);  // the change would make it negative
    EXPECT_EQ(f.child().Width(), 600);
    f.pbx().setHeight(3000 - 600);  // exactly its size: nothing either
    EXPECT_EQ(f.child().Height(), 600);
    f.pbx().setHeight(3000 - 599);
    EXPECT_EQ(f.child().Height(), 1);
}

TEST_F(CAnchorTest, TheFormSnapsToItsMinimumUnlessMaximisedAndMinimisedChangesNothing) {
    auto& f = apptest::freshLayoutForm();
    auto a = anchor(f, f.pbx(), f.child(), true, true, true, true);
    EXPECT_EQ(a->MinWidth(), 9000);
    EXPECT_EQ(a->MinHeight(), 7000);
    f.Move(0, 0, 5000, 4000);
    EXPECT_EQ(f.Width(), 9000);
    EXPECT_EQ(f.Height(), 7000);
    EXPECT_EQ(f.pbx().Width(), 6000);
    a->setMinWidth(8000);
    a->setMinHeight(6500);
    f.Move(0, 0, 7000, 6000);
    EXPECT_EQ(f.Width(), 8000);
    EXPECT_EQ(f.Height(), 6500);
    EXPECT_EQ(f.pbx().Width(), 5000);
    EXPECT_EQ(f.child().Width(), 200);
    // Maximised to a screen smaller than the minimum: no snap (a maximised form cannot be
    // sized), the box follows the screen's size.
    driver.setScreen(500, 400);
    a->setMinWidth(20000);
    f.setWindowState(forms::vbMaximized);
    EXPECT_EQ(f.Width(), 500 * 15);
    EXPECT_EQ(f.pbx().Width(), 6000 + 500 * 15 - 9000);
    f.setWindowState(forms::vbNormal);
    a->setMinWidth(0);
    a->setMinHeight(0);
    const Geometry box = geometry(f.pbx());
    f.setWindowState(forms::vbMinimized);
    EXPECT_EQ(geometry(f.pbx()), box);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CAnchorTest, ATiledParentIsNotSizedByTheAnchor) {
    auto& f = apptest::freshLayoutForm();
    auto a = anchor(f, f.pbx(), f.child(), true, true, false, false);
    a->TiledParent = true;
    f.setWidth(10500);
    EXPECT_EQ(f.pbx().Width(), 6000);
    EXPECT_EQ(f.child().Width(), 1200);
    // The box's own resize still lays out the child.
    f.pbx().setWidth(6300);
    EXPECT_EQ(f.child().Width(), 1500);
}

TEST_F(CAnchorTest, UpdateWithNothingChangedLeavesEverythingWhereItIs) {
    auto& f = apptest::freshLayoutForm();
    for (int flags = 0; flags < 16; ++flags) {
        auto a = anchor(f, f.pbx(), f.child(), flags & 1, flags & 2, flags & 4, flags & 8);
        const Geometry child = geometry(f.child()), box = geometry(f.pbx());
        a->Update();
        EXPECT_EQ(geometry(f.child()), child) << flags;
        EXPECT_EQ(geometry(f.pbx()), box) << flags;
    }
}

TEST_F(CAnchorTest, MissingPartsSkipTheirStepWithoutAnError) {
    auto& f = apptest::freshLayoutForm();
    // No child: the box still follows the form.
    CAnchor noChild;
    noChild.setParentPicture(f.pbx());
    noChild.setParentForm(f);
    // No picture box: nothing to size, nothing to lay out.
    CAnchor noBox;
    noBox.setChildControl(f.childPx());
    noBox.setParentForm(f);
    noBox.AnchorR = true;
    f.setWidth(9600);
    EXPECT_EQ(f.pbx().Width(), 6600);
    EXPECT_EQ(f.childPx().Left(), 40);
    noBox.Update();
    CAnchor nothing;
    nothing.Update();
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CAnchorTest, AReleasedAnchorMovesNothingAndOtherListenersStillRun) {
    auto& f = apptest::freshLayoutForm();
    int formResizes = 0;
    forms::ScopedConnection watch = f.Resize.connect([&] { ++formResizes; });
    auto a = anchor(f, f.pbx(), f.child(), false, true, false, false);
    f.setWidth(9300);
    EXPECT_EQ(f.child().Left(), 900);
    EXPECT_EQ(formResizes, 1);
    a.reset();
    f.setWidth(9900);
    EXPECT_EQ(f.pbx().Width(), 6300);
    EXPECT_EQ(f.child().Left(), 900);
    EXPECT_EQ(formResizes, 2);
    EXPECT_TRUE(driver.errors().empty());
}

}  // namespace
