#include "KernelTestSupport.h"

#include "platform/kernel/Encoding.h"
#include "platform/kernel/Profile.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace qv::kernel {
namespace {

using testing::ScratchTest;

struct Op {
    std::string section;
    std::optional<std::string> key, value;
};

bool apply(std::string_view path, const Op& op) {
    std::optional<std::string_view> key, value;
    if (op.key) key = *op.key;
    if (op.value) value = *op.value;
    return writeProfileString(path, op.section, key, value);
}

// A random mix of new keys, replaced and unchanged values, deleted keys and sections, with names
// spelled in other cases and with blanks, Japanese names and values, quotes and "=".
std::vector<Op> randomOps(unsigned seed, int count) {
    const char* sections[] = {"A", " a ", "ゾ表", "新", "Sec2", "SEC2", "Later"};
    const char* keys[] = {"k1", " K1 ", "能ソ", "表", "x y", "pGraph->AddFilter(p, L\"V\")", "n"};
    const char* values[] = {"", "v", " spaced ", "\"quoted\"", "表ソ", "a=b", "1", "2"};
    auto next = [&seed](unsigned m) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % m;
    };
    std::vector<Op> ops;
    for (int i = 0; i < count; ++i) {
        Op op{sections[next(7)], std::string(keys[next(7)]), std::string(values[next(8)])};
        unsigned action = next(20);
        if (action == 0) op.key.reset();
        else if (action < 4) op.value.reset();
        ops.push_back(op);
    }
    return ops;
}

class ProfileBatchTest : public ScratchTest {
protected:
    // The same names as ProfileTest's file, with LF and CR LF lines, odd blanks, a duplicate
    // section, a line that is no key and no line end at the end.
    std::string oddFile() const {
        return "; head\n[ A ]  \nk1 = 1\n\n" + utf8ToCp932("能ソ") + "=old\n" + utf8ToCp932("[ゾ表]") +
               "\r\nx y=\t2\r\nstray\r\n[a]\nk1=dup\n[Sec2]";
    }
    std::string path(const char* name) const { return driveC + "/" + name; }
};

TEST_F(ProfileBatchTest, BatchedWritesLeaveTheBytesOfWritesMadeOneByOne) {
    for (unsigned seed : {1u, 7u, 2024u}) {
        for (bool startMissing : {false, true}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + (startMissing ? " missing file" : " odd file"));
            std::filesystem::remove(path("one.ini"));
            std::filesystem::remove(path("two.ini"));
            if (!startMissing) {
                writeBytes(path("one.ini"), oddFile());
                writeBytes(path("two.ini"), oddFile());
            }
            const std::vector<Op> ops = randomOps(seed, 300);
            {
                ProfileBatch batch("C:\\two.ini");
                for (const Op& op : ops) {
                    ASSERT_EQ(apply("C:\\one.ini", op), apply("C:\\two.ini", op));
                    // Reads see the held writes as the other file shows them.
                    if (op.key) {
                        ProfileString a = getProfileString("C:\\one.ini", op.section, *op.key, "-");
                        ProfileString b = getProfileString("C:\\two.ini", op.section, *op.key, "-");
                        ASSERT_EQ(a.text, b.text);
                        ASSERT_EQ(a.found, b.found);
                    }
                }
                // Nothing has reached the file yet.
                EXPECT_EQ(std::filesystem::exists(path("two.ini")), !startMissing);
                if (!startMissing) {
                    EXPECT_EQ(readBytes(path("two.ini")), oddFile());
                }
                ASSERT_TRUE(batch.commit()) << lastProfileError();
            }
            EXPECT_EQ(readBytes(path("two.ini")), readBytes(path("one.ini")));
        }
    }
}

TEST_F(ProfileBatchTest, DeletingFromAMissingFileInABatchCreatesNothing) {
    {
        ProfileBatch batch("C:\\none.ini");
        EXPECT_TRUE(writeProfileString("C:\\none.ini", "A", "k", std::nullopt));
        EXPECT_TRUE(writeProfileString("C:\\none.ini", "A", std::nullopt, std::nullopt));
        EXPECT_TRUE(batch.commit());
    }
    EXPECT_FALSE(std::filesystem::exists(path("none.ini")));
    // A file written and emptied again is left empty, as single writes leave it.
    {
        ProfileBatch batch("C:\\none.ini");
        EXPECT_TRUE(writeProfileString("C:\\none.ini", "A", "k", "v"));
        EXPECT_TRUE(writeProfileString("C:\\none.ini", "A", std::nullopt, std::nullopt));
    }
    ASSERT_TRUE(std::filesystem::exists(path("none.ini")));
    EXPECT_EQ(readBytes(path("none.ini")), "");
}

TEST_F(ProfileBatchTest, AnotherProcessWritingDuringTheBatchLosesNothing) {
    writeBytes(path("T.ini"), "[Shared]\r\nstart=0\r\n[Parent]\r\nold=1\r\n");
    std::vector<Op> parentOps;
    for (int i = 0; i < 40; ++i)
        parentOps.push_back({i % 2 ? "Shared" : "Parent", "parent" + std::to_string(i), std::to_string(i)});
    parentOps.push_back({"Shared", std::string("both"), std::string("parent")});
    parentOps.push_back({"Parent", std::string("old"), std::nullopt});

    std::string childBytes;
    {
        ProfileBatch batch("C:\\T.ini");
        for (std::size_t i = 0; i < parentOps.size() / 2; ++i) ASSERT_TRUE(apply("C:\\T.ini", parentOps[i]));
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The parent's batch is not the child's: its writes go to the file at once, and it
            // does not see what the parent holds back.
            bool ok = !getProfileString("C:\\T.ini", "Parent", "parent0").found;
            for (int i = 0; i < 40; ++i)
                ok &= writeProfileString("C:\\T.ini", i % 2 ? "Shared" : "Child", "child" + std::to_string(i),
                                         std::to_string(i));
            ok &= writeProfileString("C:\\T.ini", "Shared", "both", "child");
            ok &= getProfileString(driveC + "/T.ini", "Shared", "child1").text == "1";
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_EQ(WEXITSTATUS(status), 0);
        for (std::size_t i = parentOps.size() / 2; i < parentOps.size(); ++i)
            ASSERT_TRUE(apply("C:\\T.ini", parentOps[i]));
        childBytes = readBytes(path("T.ini"));
        ASSERT_TRUE(batch.commit()) << lastProfileError();
    }
    // The parent's writes made one by one on what the child left give the same bytes.
    writeBytes(path("expected.ini"), childBytes);
    for (const Op& op : parentOps) ASSERT_TRUE(apply("C:\\expected.ini", op));
    EXPECT_EQ(readBytes(path("T.ini")), readBytes(path("expected.ini")));

    clearProfileCache();
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(getProfileString("C:\\T.ini", i % 2 ? "Shared" : "Child", "child" + std::to_string(i)).text,
                  std::to_string(i));
        EXPECT_EQ(getProfileString("C:\\T.ini", i % 2 ? "Shared" : "Parent", "parent" + std::to_string(i)).text,
                  std::to_string(i));
    }
    EXPECT_EQ(getProfileString("C:\\T.ini", "Shared", "both").text, "parent");
    EXPECT_FALSE(getProfileString("C:\\T.ini", "Parent", "old").found);
}

TEST_F(ProfileBatchTest, ReadsSeeHeldWritesUnderEveryNameOfTheFile) {
    writeBytes(path("T.ini"), "[A]\r\nk=1\r\ngone=x\r\n");
    std::filesystem::create_symlink(path("T.ini"), path("Link.ini"));
    ProfileBatch batch(driveC + "/T.ini");
    ASSERT_TRUE(writeProfileString("c:\\t.INI", "A", "k", "2"));
    ASSERT_TRUE(writeProfileString("C:\\Link.ini", "A", "gone", std::nullopt));
    ASSERT_TRUE(writeProfileString("C:\\T.ini", "B", "new", "3"));
    for (const std::string& name : {std::string("C:\\T.ini"), driveC + "/T.ini", std::string("C:\\Link.ini")}) {
        EXPECT_EQ(getProfileString(name, "a", "K").text, "2") << name;
        EXPECT_FALSE(getProfileString(name, "A", "gone").found) << name;
        EXPECT_EQ(getProfileString(name, "B", "new").text, "3") << name;
    }
    EXPECT_EQ(readBytes(path("T.ini")), "[A]\r\nk=1\r\ngone=x\r\n");
    // Another file is written through as usual.
    ASSERT_TRUE(writeProfileString("C:\\Other.ini", "S", "k", "v"));
    EXPECT_EQ(readBytes(path("Other.ini")), "[S]\r\nk=v\r\n");
    ASSERT_TRUE(batch.commit());
    EXPECT_EQ(readBytes(path("T.ini")), "[A]\r\nk=2\r\n[B]\r\nnew=3\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(path("Link.ini")));
}

TEST_F(ProfileBatchTest, NestedScopesWriteOnceWhenTheOutermostEnds) {
    writeBytes(path("T.ini"), "[A]\r\nk=1\r\n");
    const ino_t before = inode(path("T.ini"));
    {
        ProfileBatch outer("C:\\T.ini");
        {
            ProfileBatch inner("C:\\T.ini");
            ASSERT_TRUE(writeProfileString("C:\\T.ini", "A", "k", "2"));
            EXPECT_TRUE(inner.commit());
            EXPECT_TRUE(inner.commit());
        }
        ASSERT_TRUE(writeProfileString("C:\\T.ini", "A", "j", "3"));
        EXPECT_EQ(inode(path("T.ini")), before);
        EXPECT_EQ(readBytes(path("T.ini")), "[A]\r\nk=1\r\n");
        EXPECT_EQ(getProfileString("C:\\T.ini", "A", "k").text, "2");
    }   // the destructor commits
    EXPECT_EQ(readBytes(path("T.ini")), "[A]\r\nk=2\r\nj=3\r\n");
    // After the batch, writes go to the file at once again.
    ASSERT_TRUE(writeProfileString("C:\\T.ini", "A", "k", "4"));
    EXPECT_EQ(readBytes(path("T.ini")), "[A]\r\nk=4\r\nj=3\r\n");
    // No temporary files are left beside it.
    for (auto& e : std::filesystem::directory_iterator(driveC)) EXPECT_NE(e.path().filename().string()[0], '.');
    // An empty path holds nothing and writes nothing.
    ProfileBatch none("");
    EXPECT_FALSE(writeProfileString("", "A", "k", "v"));
    EXPECT_TRUE(none.commit());
}

TEST_F(ProfileBatchTest, UnchangedValuesLeaveTheFileUntouched) {
    writeBytes(path("T.ini"), "[A]\nk = 1\n");
    const ino_t before = inode(path("T.ini"));
    ProfileBatch batch("C:\\T.ini");
    ASSERT_TRUE(writeProfileString("C:\\T.ini", "A", "K", "1"));
    ASSERT_TRUE(writeProfileString("C:\\T.ini", "A", "gone", std::nullopt));
    ASSERT_TRUE(writeProfileString("C:\\T.ini", "B", std::nullopt, std::nullopt));
    ASSERT_TRUE(writeProfileString("C:\\T.ini", "A", "new", "x"));
    ASSERT_TRUE(writeProfileString("C:\\T.ini", "A", "new", std::nullopt));
    ASSERT_TRUE(batch.commit());
    EXPECT_EQ(inode(path("T.ini")), before);
    EXPECT_EQ(readBytes(path("T.ini")), "[A]\nk = 1\n");
}

TEST_F(ProfileBatchTest, AFailedCommitReturnsFalseAndSaysWhy) {
    // The folder goes away while the batch is open.
    std::filesystem::create_directories(driveC + "/Sub");
    {
        ProfileBatch batch("C:\\Sub\\S.ini");
        ASSERT_TRUE(writeProfileString("C:\\Sub\\S.ini", "A", "k", "v"));
        std::filesystem::remove_all(driveC + "/Sub");
        EXPECT_FALSE(batch.commit());
        EXPECT_NE(lastProfileError().find("S.ini"), std::string::npos) << lastProfileError();
        EXPECT_FALSE(batch.commit());   // the same answer again, and the destructor stays quiet
    }
    // A file that became UTF-16 meanwhile is not written.
    const std::string utf16("\xFF\xFE[\0A\0]\0", 8);
    {
        ProfileBatch batch("C:\\T.ini");
        ASSERT_TRUE(writeProfileString("C:\\T.ini", "A", "k", "v"));
        writeBytes(path("T.ini"), utf16);
        EXPECT_FALSE(batch.commit());
        EXPECT_NE(lastProfileError().find("UTF-16"), std::string::npos) << lastProfileError();
    }
    EXPECT_EQ(readBytes(path("T.ini")), utf16);
}

TEST_F(ProfileBatchTest, ACommitInAFolderThatCannotBeWrittenFailsAndKeepsTheFile) {
    const std::string folder = driveC + "/RO";
    std::filesystem::create_directories(folder);
    writeBytes(folder + "/S.ini", "[A]\r\nk=1\r\n");
    ProfileBatch batch("C:\\RO\\S.ini");
    ASSERT_TRUE(writeProfileString("C:\\RO\\S.ini", "A", "k", "2"));
    // Permissions do not stop root: then the folder is made immutable instead.
    ::chmod(folder.c_str(), 0555);
    int immutableFd = -1;
    if (::access(folder.c_str(), W_OK) == 0) {
        immutableFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (immutableFd < 0 || ::ioctl(immutableFd, FS_IOC_GETFLAGS, &flags) != 0 ||
            (flags |= FS_IMMUTABLE_FL, ::ioctl(immutableFd, FS_IOC_SETFLAGS, &flags) != 0)) {
            if (immutableFd >= 0) ::close(immutableFd);
            ::chmod(folder.c_str(), 0755);
            GTEST_SKIP() << "cannot make a folder read-only here";
        }
    }
    const bool committed = batch.commit();
    const std::string error = lastProfileError();
    if (immutableFd >= 0) {
        int flags = 0;
        ::ioctl(immutableFd, FS_IOC_GETFLAGS, &flags);
        flags &= ~FS_IMMUTABLE_FL;
        ::ioctl(immutableFd, FS_IOC_SETFLAGS, &flags);
        ::close(immutableFd);
    }
    ::chmod(folder.c_str(), 0755);
    EXPECT_FALSE(committed);
    EXPECT_NE(error.find("RO"), std::string::npos) << error;
    EXPECT_EQ(readBytes(folder + "/S.ini"), "[A]\r\nk=1\r\n");
    EXPECT_EQ(getProfileString("C:\\RO\\S.ini", "A", "k").text, "1");
}

} // namespace
} // namespace qv::kernel
