#include "app/common/modFile.h"

#include <gtest/gtest.h>

#include "tests/app/common/IniSet_testsupport.h"

using namespace qv;

TEST(ModFile, SearchFindsTheProgramFolderFirst) {
    apptest::TempProgramFolder prog;
    prog.writeBytes("AmpDef.ini", "[SETTING]\r\n");
    EXPECT_EQ(FindFile("AmpDef.ini", true), prog.win("AmpDef.ini"));
    EXPECT_EQ(FindFile("NoSuchFile.ini", true), "");
    EXPECT_EQ(FindFile(prog.win("AmpDef.ini"), true), prog.win("AmpDef.ini"));
    EXPECT_EQ(FindFile("", true), "");
}

TEST(ModFile, ListingGivesTheBareName) {
    apptest::TempProgramFolder prog;
    std::filesystem::create_directory(prog.dir() / "Sub");
    prog.writeBytes("rec.Kdat", "x");
    EXPECT_EQ(FindFile(prog.win("*.KDAT"), false), "rec.Kdat");
    EXPECT_EQ(FindFile(prog.win("sub"), false), "Sub");  // folders are listed too
    EXPECT_EQ(FindFile(prog.win("*.none"), false), "");
}
