#include "app/common/modCommon.h"

#include <gtest/gtest.h>

#include "tests/app/common/IniSet_testsupport.h"
#include "platform/forms/Form.h"
#include "platform/kernel/Process.h"
#include "platform/kernel/Time.h"

using namespace qv;
using qv::apptest::errorNumber;

TEST(ModCommon, GetFieldsRanges) {
    EXPECT_EQ(GetFields("a,b,c,d", 2, 3, ","), "b,c");
    EXPECT_EQ(GetFields("a,b,c", 2, 0, ","), "b");
    EXPECT_EQ(GetFields("a,b", 3, 2, ","), "");
    EXPECT_EQ(GetFields("", 1, 1, ","), "");
    EXPECT_EQ(GetFields("a,b", -1, 1, ","), "");
    EXPECT_EQ(GetFields("a::b::c", 1, 3, "::"), "a::b::c");
    EXPECT_EQ(GetFields("a,,c", 2, 2, ","), "");
    // Field numbers outside the fields are the index error, never a read past them.
    EXPECT_EQ(errorNumber([] { GetFields("a,b", 2, 3, ","); }), 9);
    EXPECT_EQ(errorNumber([] { GetFields("a,b", 0, 1, ","); }), 9);
    EXPECT_EQ(errorNumber([] { GetFields("a,b", 0, 0, ","); }), 9);
}

TEST(ModCommon, PathParts) {
    EXPECT_EQ(GetFolderPath("C:\\x\\y.txt"), "C:\\x\\");
    EXPECT_EQ(GetFolderPath("y.txt"), "");
    EXPECT_EQ(GetFolderPath(""), "");
    EXPECT_EQ(GetPathWithoutExt("C:\\d\\rec.Kdat"), "C:\\d\\rec");
    EXPECT_EQ(GetPathWithoutExt("C:\\a.b\\file"), "C:\\a");
    EXPECT_EQ(GetPathWithoutExt("C:\\d\\rec"), "C:\\d\\rec");
    EXPECT_EQ(TrimAtNull(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(TrimAtNull("abc"), "abc");
}

TEST(ModCommon, UpperBounds) {
    EXPECT_EQ(GetUBound(std::vector<int>{}), -1);
    EXPECT_EQ(GetUBound(std::vector<int>{1, 2, 3}), 2);
    EXPECT_EQ(GetUBound(std::vector<int>{1, 2, 3}, 1), 2);
    EXPECT_EQ(GetUBound(std::vector<int>{1, 2, 3}, 2), -1);
    EXPECT_EQ(GetUBound(std::array<int32_t, 100>{}), 99);
    WaveArray w;
    EXPECT_EQ(GetUBound(w, 1), -1);
    w.Redim(4, 11);
    EXPECT_EQ(GetUBound(w), 10);
    EXPECT_EQ(GetUBound(w, 2), 3);
    EXPECT_EQ(GetUBound(w, 3), -1);
}

struct BoxesTag {};

TEST(ModCommon, ControlArrayTestAndWaitingLoop) {
    auto& f = apptest::loadStandIn<BoxesTag>(
        "frmBoxes", {{forms::ControlType::TextBox, "txtOne"}, {forms::ControlType::TextBox, "txtRow(0)"}});
    EXPECT_FALSE(IsControlArray(f.control("txtOne")));
    EXPECT_TRUE(IsControlArray(f.control("txtRow", 0)));

    kernel::VirtualClock clock(1000);
    int ran = 0;
    forms::Runtime::get().post([&] { ++ran; });
    DoEventsWait(0);
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(clock.now(), 1000u);
    DoEventsWait(100);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(clock.now(), 1100u);  // one millisecond a round
    forms::Runtime::get().reset();
}

TEST(ModCommon, ShowInExplorerOpensTheFolder) {
    apptest::TempProgramFolder prog;
    kernel::setLaunchRecording(true);
    kernel::clearLaunchRecords();
    ShowInExplorer(0, "");
    EXPECT_TRUE(kernel::recordedFolderOpens().empty());
    prog.writeBytes("rec.Kdat", "x");
    ShowInExplorer(0, prog.win("rec.Kdat"));
    ASSERT_EQ(kernel::recordedFolderOpens().size(), 1u);
    EXPECT_EQ(std::filesystem::path(kernel::recordedFolderOpens()[0]),
              std::filesystem::path(prog.dir()));
    kernel::setLaunchRecording(false);
    kernel::clearLaunchRecords();
}
