// Tiles on a headless form: equal cells of the parent box, which follows the form.
#include "app/camera/CTile.h"

#include <gtest/gtest.h>

#include "tests/app/camera/Layout_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

class CTileTest : public ::testing::Test {
protected:
    void TearDown() override { forms::Runtime::get().reset(); }
    forms::Driver driver;
};

TEST_F(CTileTest, OneRowOfTwoCellsSharesTheBoxAndFollowsTheForm) {
    auto& f = apptest::freshLayoutForm();
    CTile t;
    t.setParentPicture(f.pbx());
    t.setParentForm(f);
    t.setRow(1);
    t.setCol(2);
    t.SetChildControl(0, 0, f.child());
    t.SetChildControl(0, 1, f.other());
    t.Update();
    EXPECT_EQ(f.child().Left(), 0);
    EXPECT_EQ(f.other().Left(), 3000);
    for (auto* c : {&f.child(), &f.other()}) {
        EXPECT_EQ(c->Top(), 0);
        EXPECT_EQ(c->Width(), 3000);
        EXPECT_EQ(c->Height(), 3000);
    }
    f.Move(0, 0, 9000 + 1001, 7000 + 600);  // the box: 7001 x 3600
    EXPECT_EQ(f.other().Left(), static_cast<double>(7001.0f / 2));
    EXPECT_EQ(f.other().Width(), static_cast<double>(7001.0f / 2));
    EXPECT_EQ(f.child().Height(), 3600);
    // The minimum size still holds for the form.
    f.Move(0, 0, 100, 100);
    EXPECT_EQ(f.Width(), 9000);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CTileTest, SettingACountEmptiesTheCellsAndTheStoreIsBounded) {
    auto& f = apptest::freshLayoutForm();
    CTile t;
    t.setParentPicture(f.pbx());
    t.setRow(2);
    t.setCol(3);
    // The store holds 0..Row by 0..Col; only 0..Row-1 by 0..Col-1 are laid out.
    t.SetChildControl(2, 3, f.other());
    EXPECT_EQ(errorNumber([&] { t.SetChildControl(3, 0, f.child()); }), 9);
    EXPECT_EQ(errorNumber([&] { t.SetChildControl(0, -1, f.child()); }), 9);
    t.SetChildControl(0, 0, f.child());
    t.setRow(1);  // empties the store
    t.Update();
    EXPECT_EQ(f.child().Width(), 1200);
    EXPECT_EQ(f.other().Left(), 3000);
    EXPECT_EQ(errorNumber([&] { t.setCol(-1); }), 9);
    EXPECT_EQ(t.Col(), 3);
    EXPECT_EQ(t.Row(), 1);
}

TEST_F(CTileTest, ZeroCountsEmptyCellsAndMissingParentsSkipTheLayout) {
    auto& f = apptest::freshLayoutForm();
    CTile noBox;
    noBox.setParentForm(f);
    noBox.Update();
    CTile zero;
    zero.setParentPicture(f.pbx());
    zero.setRow(1);
    zero.Update();  // Col 0
    EXPECT_EQ(f.child().Width(), 1200);
    // One empty cell: the other is still laid out.
    CTile gap;
    gap.setParentPicture(f.pbx());
    gap.setRow(1);
    gap.setCol(2);
    gap.SetChildControl(0, 1, f.other());
    gap.Update();
    EXPECT_EQ(f.other().Left(), 3000);
    EXPECT_EQ(f.child().Width(), 1200);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(CTileTest, AReleasedTileMovesNothing) {
    auto& f = apptest::freshLayoutForm();
    auto t = std::make_unique<CTile>();
    t->setParentPicture(f.pbx());
    t->setRow(1);
    t->setCol(1);
    t->SetChildControl(0, 0, f.child());
    f.pbx().setWidth(4000);
    EXPECT_EQ(f.child().Width(), 4000);
    t.reset();
    f.pbx().setWidth(5000);
    EXPECT_EQ(f.child().Width(), 4000);
}

}  // namespace
