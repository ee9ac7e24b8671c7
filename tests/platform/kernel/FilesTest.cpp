#include "KernelTestSupport.h"

#include "platform/kernel/Files.h"

#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace qv::kernel {
namespace {

using testing::ScratchTest;
using FilesTest = ScratchTest;

TEST_F(FilesTest, BinaryReadsAtLargeOffsetsAndZeroFillsPastTheEnd) {
    const std::string file = driveC + "/Rec.KDAT";
    int fd = ::open(file.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const std::uint64_t far = (5ull << 30) + 3;   // past 4 GiB: offsets must not be 32-bit
    ASSERT_EQ(::pwrite(fd, "ABCD", 4, static_cast<off_t>(far)), 4);
    ASSERT_EQ(::pwrite(fd, "head", 4, 0), 4);
    ::close(fd);

    BinaryFile f("C:\\rec.kdat");
    ASSERT_TRUE(f.isOpen()) << f.error();
    EXPECT_EQ(f.size(), far + 4);
    std::vector<unsigned char> buf(8, 0xEE);
    EXPECT_EQ(f.readAt(far + 2, buf.data(), buf.size()), 2u);
    EXPECT_EQ(std::vector<unsigned char>(buf.begin(), buf.begin() + 2), (std::vector<unsigned char>{'C', 'D'}));
    for (std::size_t i = 2; i < buf.size(); ++i) EXPECT_EQ(buf[i], 0) << i;
    std::fill(buf.begin(), buf.end(), 0xEE);
    EXPECT_EQ(f.readAt(far + 100, buf.data(), buf.size()), 0u);
    EXPECT_EQ(buf, std::vector<unsigned char>(8, 0));
    EXPECT_EQ(f.readAt(UINT64_MAX - 2, buf.data(), buf.size()), 0u);
    char head[4];
    EXPECT_EQ(f.readAt(0, head, 4), 4u);
    EXPECT_EQ(std::string(head, 4), "head");

    BinaryFile moved(std::move(f));
    EXPECT_FALSE(f.isOpen());
    EXPECT_TRUE(moved.isOpen());
    BinaryFile missing("C:\\nothing.bin");
    EXPECT_FALSE(missing.isOpen());
    EXPECT_NE(missing.error().find("nothing.bin"), std::string::npos);
}

TEST_F(FilesTest, BinaryWritesCreateAnewAndPlaceBytesAtLargeOffsets) {
    const std::string file = driveC + "/out.kdat";
    {
        int fd = ::open(file.c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_EQ(::pwrite(fd, "older and longer", 16, 0), 16);
        ::close(fd);
    }
    BinaryOutputFile out;
    ASSERT_TRUE(out.create("C:\\OUT.kdat")) << out.error();  // found whatever its case
    EXPECT_TRUE(out.writeAt(2, "xy", 2));
    const std::uint64_t far = (5ull << 30) + 1;
    EXPECT_TRUE(out.writeAt(far, "Z", 1));
    EXPECT_TRUE(out.close());
    EXPECT_FALSE(out.isOpen());
    EXPECT_FALSE(out.writeAt(0, "a", 1));

    BinaryFile in(file);
    EXPECT_EQ(in.size(), far + 1);
    char head[4];
    EXPECT_EQ(in.readAt(0, head, 4), 4u);
    EXPECT_EQ(std::string(head, 4), std::string("\0\0xy", 4));  // the old bytes are gone
    char last = 0;
    EXPECT_EQ(in.readAt(far, &last, 1), 1u);
    EXPECT_EQ(last, 'Z');

    BinaryOutputFile bad;
    EXPECT_FALSE(bad.create("C:\\no\\such\\folder\\x.kdat"));
    EXPECT_NE(bad.error().find("x.kdat"), std::string::npos);
}

TEST_F(FilesTest, WriteFormQuotesTextsWithoutDoublingQuotesAndEndsInCrLf) {
    std::vector<WriteField> fields{WriteField::str("2024/01/31 10:00:00,表示 \"x\""), WriteField::num("1.5"),
                                   WriteField::num("-3"), WriteField::str("")};
    EXPECT_EQ(formatWriteLine(fields), "\"2024/01/31 10:00:00,表示 \"x\"\",1.5,-3,\"\"");
    ASSERT_TRUE(appendWriteLine("C:\\LogFile.txt", fields));
    ASSERT_TRUE(appendWriteLine("c:\\logfile.TXT", std::vector<WriteField>{WriteField::str("next")}));
    EXPECT_EQ(readBytes(driveC + "/LogFile.txt"),
              "\"2024/01/31 10:00:00,\x95\x5C\x8E\xA6 \"x\"\",1.5,-3,\"\"\r\n\"next\"\r\n");
    EXPECT_FALSE(appendWriteLine("C:\\NoFolder\\x.txt", fields));
}

TEST_F(FilesTest, OutputTruncatesAppendKeepsAndBigOutputsArriveWhole) {
    writeBytes(driveC + "/out.csv", "old content\r\n");
    {
        TextFileWriter w("C:\\out.csv", TextFileWriter::Mode::Output);
        ASSERT_TRUE(w.isOpen()) << w.error();
        for (int i = 0; i < 20000; ++i) ASSERT_TRUE(w.printLine(std::to_string(i)));
        EXPECT_TRUE(w.close()) << w.error();
    }
    std::string text = readBytes(driveC + "/out.csv");
    EXPECT_EQ(text.substr(0, 6), "0\r\n1\r\n");
    EXPECT_EQ(text.substr(text.size() - 7), "19999\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 20000);
    {
        TextFileWriter w("C:\\out.csv", TextFileWriter::Mode::Append);
        ASSERT_TRUE(w.printLine("ソ"));
    }   // closed by the destructor
    EXPECT_EQ(readBytes(driveC + "/out.csv").substr(text.size()), "\x83\x5C\r\n");
    TextFileWriter closed;
    EXPECT_FALSE(closed.printLine("x"));
    EXPECT_FALSE(closed.error().empty());
}

TEST_F(FilesTest, TextFilesReadAsCp932OrUtf8AfterItsMark) {
    writeBytes(driveC + "/a.txt", "\x95\x5C\r\n");
    writeBytes(driveC + "/b.txt", "\xEF\xBB\xBF表\r\n");
    std::string text;
    ASSERT_TRUE(readTextFile("C:\\a.txt", text));
    EXPECT_EQ(text, "表\r\n");
    ASSERT_TRUE(readTextFile("C:\\B.TXT", text));
    EXPECT_EQ(text, "表\r\n");
    EXPECT_FALSE(readTextFile("C:\\c.txt", text));
    EXPECT_TRUE(text.empty());
}

} // namespace
} // namespace qv::kernel
