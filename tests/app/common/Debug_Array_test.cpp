#include "app/common/Debug_Array.h"

#include <gtest/gtest.h>

#include "tests/app/common/IniSet_testsupport.h"
#include "platform/basic/Dates.h"

using namespace qv;
using qv::apptest::errorNumber;

TEST(DebugArray, DumpWritesOneElementALine) {
    apptest::TempProgramFolder prog;
    const std::vector<float> v{1.5f, -2.0f, 0.1f};
    EXPECT_EQ(DumpArrayCsv(std::span<const float>(v), "wave", false, -1), 0);
    EXPECT_EQ(prog.readBytes("Array/1_wave.csv"), "1.5\r\n-2\r\n0.1\r\n");
    EXPECT_EQ(DumpArrayCsv(std::span<const float>(v), "wave", false, 2), 0);
    EXPECT_EQ(prog.readBytes("Array/1_wave.csv"), "1.5\r\n-2\r\n");  // replaced, not appended
    const std::vector<std::string> s{"a", "b\"c"};
    DumpArrayCsv(std::span<const std::string>(s), "txt", false, -1);
    EXPECT_EQ(prog.readBytes("Array/1_txt.csv"), "\"a\"\r\n\"b\"c\"\r\n");
}

TEST(DebugArray, TimeStampedNameAndCountBeyondTheArray) {
    apptest::TempProgramFolder prog;
    basic::setClock([] { return basic::DateSerial(2024, 3, 5) + basic::TimeSerial(7, 8, 9); });
    const std::vector<int32_t> v{4, 5};
    DumpArrayCsv(std::span<const int32_t>(v), "n", true, -1);
    EXPECT_EQ(prog.readBytes("Array/1_20240305070809_n.csv"), "4\r\n5\r\n");
    basic::setClock({});
    EXPECT_EQ(errorNumber([&] { DumpArrayCsv(std::span<const int32_t>(v), "over", false, 3); }), 9);
    EXPECT_FALSE(std::filesystem::exists(prog.dir() / "Array" / "1_over.csv"));
}
