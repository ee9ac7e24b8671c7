#include "app/common/modCommand.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/IniSet.h"

using namespace qv;

namespace {

class ModCommand : public ::testing::Test {
protected:
    void SetUp() override {
        GstrErrRaise = "e0";
        GstrMode = "1";
        GstrKdat = "k0";
        GstrSet = "s0";
    }
    void TearDown() override {
        SetCommandLine("");
        GstrErrRaise.clear();
        GstrMode.clear();
        GstrKdat.clear();
        GstrSet.clear();
    }
    static void parse(const std::string& line) {
        SetCommandLine(line);
        ParseCommandLine();
    }
};

}  // namespace

TEST_F(ModCommand, ModeAndSettingsFile) {
    parse("/MODE=2 /SET=C:\\a.SET");
    EXPECT_EQ(GstrMode, "2");
    EXPECT_EQ(GstrSet, "C:\\a.SET");
    EXPECT_EQ(GstrKdat, "k0");  // absent options keep their values
    EXPECT_EQ(GstrErrRaise, "e0");
}

TEST_F(ModCommand, OptionsAreCaseSensitive) {
    parse("/mode=2 /set=x");
    EXPECT_EQ(GstrMode, "1");
    EXPECT_EQ(GstrSet, "s0");
}

TEST_F(ModCommand, BlanksSplitEvenInsideQuotes) {
    parse("/SET=\"C:\\My Files\\a.SET\" /Kdat=C:\\d\\rec");
    EXPECT_EQ(GstrSet, "\"C:\\My");
    EXPECT_EQ(GstrKdat, "C:\\d\\rec");
    // Two blanks in a row make an empty token, which matches nothing.
    parse("/ERR_RAISE=1  /MODE=2");
    EXPECT_EQ(GstrErrRaise, "1");
    EXPECT_EQ(GstrMode, "2");
}

TEST_F(ModCommand, ModeKeepsOnlyItsLeadingNumber) {
    parse("/MODE=x");
    EXPECT_EQ(GstrMode, "0");
    parse("/MODE=12abc");
    EXPECT_EQ(GstrMode, "12");
}

TEST_F(ModCommand, LaterTokensWinAndEveryOccurrenceOfTheOptionGoes) {
    parse("/Kdat=a /Kdat=b");
    EXPECT_EQ(GstrKdat, "b");
    parse("/SET=x/SET=y");
    EXPECT_EQ(GstrSet, "xy");
}

TEST_F(ModCommand, EmptyCommandLineChangesNothing) {
    parse("");
    EXPECT_EQ(GstrMode, "1");
    EXPECT_EQ(GstrSet, "s0");
}

TEST_F(ModCommand, ModeBeyondTheNumberRangeIsIgnoredAndLogged) {
    apptest::TempProgramFolder prog;
    parse("/MODE=2 /MODE=1e99999 /SET=x");
    EXPECT_EQ(GstrMode, "2");
    EXPECT_EQ(GstrSet, "x");
    std::string log;
    for (const auto& e : std::filesystem::recursive_directory_iterator(prog.dir() / "LOG"))
        if (e.is_regular_file()) log += prog.readBytes(std::filesystem::relative(e.path(), prog.dir()));
    EXPECT_NE(log.find("/MODE= "), std::string::npos);
    EXPECT_NE(log.find("\"1e99999\""), std::string::npos);
}
