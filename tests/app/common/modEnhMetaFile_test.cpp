#include "app/common/modEnhMetaFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/app/common/IniSet_testsupport.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Driver.h"
#include "platform/gdi/Gdi.h"

using namespace qv;

namespace {

struct PictureTag {};

uint32_t u32(const std::string& b, size_t at) {
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

class EnhMetaFileTest : public ::testing::Test {
protected:
    void SetUp() override { driver.setScreen(1920, 1080); }
    forms::PictureBox& box() {
        forms::Form& f = apptest::loadStandIn<PictureTag>(
            "Acqisition", {{forms::ControlType::PictureBox, "PBXMoniDisp"}});
        auto& pic = dynamic_cast<forms::PictureBox&>(f.control("PBXMoniDisp"));
        pic.setBorderStyle(0);
        pic.Move(0, 0, 192 * 15, 108 * 15);  // 192 x 108 pixels
        return pic;
    }
    forms::Driver driver;
    apptest::TempProgramFolder prog;
};

TEST_F(EnhMetaFileTest, FramesThePictureInHundredthsOfAMillimetre) {
    forms::PictureBox& pic = box();
    const int32_t dc = CreatePictureEMF(pic, prog.win("Metadata.emf"));
    ASSERT_NE(dc, 0);
    gdi::MoveToEx(dc, 10, 10, nullptr);
    gdi::LineTo(dc, 100, 50);
    ASSERT_TRUE(CloseEMF(dc));

    const std::string emf = prog.readBytes("Metadata.emf");
    ASSERT_GE(emf.size(), 108u);
    EXPECT_EQ(u32(emf, 0), 1u);             // header record
    EXPECT_EQ(emf.substr(40, 4), " EMF");
    EXPECT_EQ(u32(emf, 48), emf.size());
    // Screen 1920 x 1080 pixels is 508 x 286 mm.
    EXPECT_EQ(u32(emf, 24), 0u);
    EXPECT_EQ(u32(emf, 28), 0u);
    EXPECT_EQ(u32(emf, 32), 5080u);         // 192 px * 508 / 1920 mm
    EXPECT_EQ(u32(emf, 36), 2860u);         // 108 px * 286 / 1080 mm
    // Description "TEST" with both terminators, in UTF-16.
    ASSERT_EQ(u32(emf, 60), 6u);
    const uint32_t off = u32(emf, 64);
    ASSERT_LE(off + 12, emf.size());
    EXPECT_EQ(emf.substr(off, 12), std::string("T\0E\0S\0T\0\0\0\0\0", 12));
    // The handle is freed: closing again fails, the file stays.
    EXPECT_FALSE(CloseEMF(dc));
    EXPECT_EQ(prog.readBytes("Metadata.emf"), emf);
}

TEST_F(EnhMetaFileTest, AFileThatCannotBeCreatedGivesNoContext) {
    forms::PictureBox& pic = box();
    EXPECT_EQ(CreatePictureEMF(pic, prog.win("no\\such\\folder\\x.emf")), 0);
    EXPECT_FALSE(CloseEMF(0));
}

}  // namespace
