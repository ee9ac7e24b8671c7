#include "app/common/modIniFile.h"

#include <gtest/gtest.h>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/IniSet.h"
#include "platform/basic/Numbers.h"

using namespace qv;

namespace {

class ModIniFile : public ::testing::Test {
protected:
    void SetUp() override { SetIniFileName(""); }
    void TearDown() override { SetIniFileName(""); }
    apptest::TempProgramFolder prog;
};

}  // namespace

TEST_F(ModIniFile, CommentsAreStrippedUnlessRaw) {
    prog.writeBytes("a.ini", "[S]\r\nn=12 ;note\r\nt=ab\tcd\r\nb=  x  \r\ne=\r\nq=\" y ;z\"\r\n");
    SetIniFileName(prog.win("a.ini"));
    EXPECT_EQ(ReadIniString("S", "n", "d"), "12");
    EXPECT_EQ(ReadIniString("S", "t", "d"), "ab");
    EXPECT_EQ(ReadIniString("S", "b", "d"), "x");
    EXPECT_EQ(ReadIniString("S", "n", "d", "True"), "12 ;note");
    EXPECT_EQ(ReadIniString("S", "t", "d", "True"), "ab\tcd");
    // Only the exact text "True" means raw.
    EXPECT_EQ(ReadIniString("S", "n", "d", "true"), "12");
    // The enclosing quotes go first, then the comment.
    EXPECT_EQ(ReadIniString("S", "q", "d"), "y");
}

TEST_F(ModIniFile, EmptyOrMissingGivesTheDefault) {
    prog.writeBytes("a.ini", "[S]\r\ne=\r\n");
    SetIniFileName(prog.win("a.ini"));
    // An empty value gives the default untouched; a missing key gives it stripped.
    EXPECT_EQ(ReadIniString("S", "e", "5 ;x"), "5 ;x");
    EXPECT_EQ(ReadIniString("S", "missing", "5 ;x"), "5");
    EXPECT_EQ(ReadIniString("S", "missing", "5 ;x", "True"), "5 ;x");
    EXPECT_EQ(ReadIniString("Other", "e", ""), "");
}

TEST_F(ModIniFile, LongValuesAreCutToTheBuffer) {
    const std::string longValue(1500, 'v');
    prog.writeBytes("a.ini", "[S]\r\nk=" + longValue + "\r\n");
    SetIniFileName(prog.win("a.ini"));
    EXPECT_EQ(ReadIniString("S", "k", "", "True"), std::string(1023, 'v'));
}

TEST_F(ModIniFile, WritesNeedACurrentFile) {
    EXPECT_TRUE(WriteIniString("S", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_empty(prog.dir()));
    SetIniFileName(prog.win("w.ini"));
    EXPECT_TRUE(WriteIniString("S", "k", "v ;kept"));
    EXPECT_EQ(ReadIniString("S", "k", "", "True"), "v ;kept");
    EXPECT_EQ(prog.readBytes("w.ini"), "[S]\r\nk=v ;kept\r\n");
    EXPECT_TRUE(FlushIniFile());
    // A file whose folder is missing is not written, and the caller hears of it.
    SetIniFileName(prog.win("nofolder\\x.ini"));
    EXPECT_FALSE(WriteIniString("S", "k", "v"));
}

TEST_F(ModIniFile, StripIniCommentCutsAtNulSemicolonAndTab) {
    EXPECT_EQ(StripIniComment(std::string("a\0;b", 4)), "a");
    EXPECT_EQ(StripIniComment("  a b ;c"), "a b");
    EXPECT_EQ(StripIniComment("x\ty;z"), "x");
    EXPECT_EQ(StripIniComment(";all"), "");
}

TEST_F(ModIniFile, ChannelColoursAreHexTriples) {
    prog.writeBytes("Tolvane.ini",
                    "[COLOR]\r\nCH_3=10,20,FF\r\nCH_4=GG,00,00\r\nCH_5=10,20\r\nCH_6=1FF,0,ff ;c\r\n"
                    "CH_7=,1,2\r\n");
    EXPECT_EQ(GetChannelColor(3), basic::RGB(16, 32, 255));
    EXPECT_EQ(GetChannelColor(4), 0);  // not hexadecimal: black, start-up goes on
    EXPECT_EQ(GetChannelColor(5), 0);  // fewer than three parts
    EXPECT_EQ(GetChannelColor(6), basic::RGB(255, 0, 255));  // above FF clamps
    EXPECT_EQ(GetChannelColor(7), 0);
    EXPECT_EQ(GetChannelColor(8), 0);  // missing key
}

TEST_F(ModIniFile, SystemIniReadersRestoreTheCurrentPath) {
    prog.writeBytes("Tolvane.ini",
                    "[PLAY]\r\nSLEEP=12abc\r\nSTEP=2.5\r\n[CSV]\r\nHEADER=1\r\nDIVTRIAL=1 \r\n"
                    "DATANO=01\r\n");
    SetIniFileName("C:\\elsewhere.ini");
    EXPECT_EQ(GetPlaySleep(), 12);
    EXPECT_EQ(GetPlayStep(), 2);  // halves to even
    EXPECT_TRUE(IsCsvHeader());
    EXPECT_TRUE(IsCsvDivTrial());  // trailing blank trimmed
    EXPECT_FALSE(IsCsvDataNo());   // exactly "1" only
    EXPECT_EQ(GetIniFileName(), "C:\\elsewhere.ini");
}

TEST_F(ModIniFile, NumbersBeyondTheirRangeGiveTheDefaultsAndAreLogged) {
    prog.writeBytes("Tolvane.ini", "[PLAY]\r\nSLEEP=1e10\r\nSTEP=-1e99999\r\n");
    EXPECT_EQ(GetPlaySleep(), 500);
    EXPECT_EQ(GetPlayStep(), 500);
    prog.writeBytes("far.SET", "[Condition]\r\nstrCameraSetting=1\r\n[GLOBAL]\r\nGlCapNum=1e99999\r\n");
    EXPECT_FALSE(IsCameraEnabled(prog.win("far.SET"), true));
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "PLAY SLEEP の値 \"1e10\" は範囲外"), 1u);
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "PLAY STEP の値 \"-1e99999\""), 1u);
    EXPECT_EQ(apptest::dayLogLines(prog.dir(), "far.SET GlCapNum の値 \"1e99999\""), 1u);
}

TEST_F(ModIniFile, PlayDefaultsWithoutAFile) {
    EXPECT_EQ(GetPlaySleep(), 500);
    EXPECT_EQ(GetPlayStep(), 500);
    EXPECT_FALSE(IsCsvHeader());
    EXPECT_FALSE(IsCameraFilterOK());
}

TEST_F(ModIniFile, CameraFilterKeyIsTheWholeCallText) {
    prog.writeBytes("CAM_GETINFO.ini", "[ALL]\r\npGraph->AddFilter(pSrc, L\"Video Capture\")=0\r\n");
    EXPECT_TRUE(IsCameraFilterOK());
    prog.writeBytes("CAM_GETINFO.ini", "[ALL]\r\npGraph->AddFilter(pSrc, L\"Video Capture\")=-5\r\n");
    kernel::clearProfileCache();
    EXPECT_FALSE(IsCameraFilterOK());
}

TEST_F(ModIniFile, CameraEnabledNeedsSettingAndFrames) {
    prog.writeBytes("s.SET", "[Condition]\r\nstrCameraSetting=1\r\n[GLOBAL]\r\nGlCapNum=3\r\n");
    prog.writeBytes("n.SET", "[Condition]\r\nstrCameraSetting=1\r\n");
    prog.writeBytes("off.SET", "[Condition]\r\nstrCameraSetting=0\r\n[GLOBAL]\r\nGlCapNum=3\r\n");
    SetIniFileName("keep");
    EXPECT_TRUE(IsCameraEnabled(prog.win("s.SET"), true));
    EXPECT_FALSE(IsCameraEnabled(prog.win("n.SET"), true));
    EXPECT_FALSE(IsCameraEnabled(prog.win("off.SET"), true));
    GlCapNum = 0;
    EXPECT_FALSE(IsCameraEnabled(prog.win("n.SET"), false));
    GlCapNum = 1;
    EXPECT_TRUE(IsCameraEnabled(prog.win("n.SET"), false));
    GlCapNum = 0;
    EXPECT_EQ(GetIniFileName(), "keep");
}
