// The export's output file: its items and lines, the float text that must equal CStr's for every
// float, and the file that appears whole at commit or not at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/main/CsvOutput.h"
#include "platform/basic/Basic.h"

using namespace qv;

namespace {

std::string fast(float x) {
    std::string s;
    AppendCStr(s, x);
    return s;
}

float fromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

TEST(CsvFloatText, EqualsCStrForEveryKindOfFloat) {
    // Edges of the fast range, powers of ten and their neighbours, exact halves.
    for (int k = -8; k <= 9; ++k) {
        const float p = static_cast<float>(std::pow(10.0, k));
        for (float x : {p, std::nextafter(p, 0.0f), std::nextafter(p, 1e30f), -p}) EXPECT_EQ(fast(x), basic::CStr(x)) << x;
    }
    for (float x : {0.0f, -0.0f, 0.5f, 1234567.5f, 1234568.5f, 9999999.5f, 999999.94f, 0.00012345675f, 2.5e-5f,
                    std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min(),
                    std::numeric_limits<float>::max()})
        EXPECT_EQ(fast(x), basic::CStr(x)) << x;
    // What recordings give: 16-bit counts through the usual calibrations.
    for (int32_t raw = -32768; raw <= 32767; ++raw)
        for (float scale : {10.0f / 4096, 20.0f / 65536, 1.0f, 0.001f}) {
            const float x = static_cast<float>(raw) * scale;
            ASSERT_EQ(fast(x), basic::CStr(x)) << raw << " " << scale;
        }
    // Any bit pattern.
    std::mt19937 random(26);
    for (int i = 0; i < 2000000; ++i) {
        const float x = fromBits(static_cast<uint32_t>(random()));
        ASSERT_EQ(fast(x), basic::CStr(x)) << std::hexfloat << x;
    }
}

class CsvOutputTest : public ::testing::Test {
protected:
    std::string file(const std::string& name) const { return (prog.dir() / name).string(); }
    apptest::TempProgramFolder prog;
};

TEST_F(CsvOutputTest, ItemsAndLinesInTheExportFormat) {
    {
        CsvOutput out(file("a.CSV"));
        out.line("title");
        out.emptyLine();
        out.line(" 1", "心電図");
        out.text("N");
        out.text("");
        out.number(int64_t{-42});
        out.number(0.25f);
        out.endLine();
        out.commit();
    }
    EXPECT_EQ(prog.readBytes("a.CSV"),
              "\"title\"\r\n\r\n\" 1\",\"\x90\x53\x93\x64\x90\x7D\"\r\n\"N\",\"\",-42,0.25,\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(prog.dir()), {}), 1);
}

TEST_F(CsvOutputTest, NothingAppearsUnlessCommitted) {
    prog.writeBytes("b.CSV", "before");
    {
        CsvOutput out(file("b.CSV"));
        for (int i = 0; i < 200000; ++i) {  // more than one buffer's worth reaches the disk
            out.number(1.5f);
            out.endLine();
        }
    }
    EXPECT_EQ(prog.readBytes("b.CSV"), "before");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(prog.dir()), {}), 1);
    {
        CsvOutput out(file("b.CSV"));
        out.line("after");
        out.commit();
    }
    EXPECT_EQ(prog.readBytes("b.CSV"), "\"after\"\r\n");
}

TEST_F(CsvOutputTest, FoldersThatCannotTakeTheFileAreRunTimeErrors) {
    EXPECT_EQ(apptest::errorNumber([&] { CsvOutput out(file("missing/c.CSV")); }), 76);
    std::filesystem::create_directories(prog.dir() / "d.CSV" / "x");
    EXPECT_EQ(apptest::errorNumber([&] {
                  CsvOutput out(file("d.CSV"));
                  out.line("x");
                  out.commit();
              }),
              70);
    EXPECT_TRUE(std::filesystem::is_directory(prog.dir() / "d.CSV"));
}

}  // namespace
