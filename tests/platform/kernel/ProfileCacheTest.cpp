// The engine keeps a file's path mapping and parse between reads; every change, by this process
// or another, must still be seen and every answer stay what a fresh read of the file gives.
#include "KernelTestSupport.h"

#include "platform/kernel/Profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <map>
#include <thread>

namespace qv::kernel {
namespace {

using testing::ScratchTest;

class ProfileCacheTest : public ScratchTest {
protected:
    static constexpr const char* kWin = "C:\\T.ini";
    std::string file() const { return driveC + "/T.ini"; }
    std::string get(std::string_view s, std::string_view k, std::string_view path = kWin) {
        return getProfileString(path, s, k, "-").text;
    }
    // Dates the file an hour back, so its parse is trusted without reading it again.
    static void age(const std::string& f) {
        timespec times[2]{};
        times[0].tv_sec = times[1].tv_sec = std::time(nullptr) - 3600;
        ASSERT_EQ(::utimensat(AT_FDCWD, f.c_str(), times, 0), 0);
    }
    // Enough reads for the engine to index the parse.
    void readMany(std::string_view path = kWin) {
        for (int i = 0; i < 20; ++i) (void)get("S" + std::to_string(i % 3), "k" + std::to_string(i), path);
    }
};

TEST_F(ProfileCacheTest, IndexedReadsAnswerAsAScanDoes) {
    // Duplicates, the section before the first header and one named "", keys that are only a name.
    writeBytes(file(), "top=0\r\n[S0]\r\nk1=a\r\nK1=dup\r\nbare\r\n[]\r\ntop=1\r\n[s0]\r\nk2=later\r\n[S1]\r\nk1=b\r\n");
    age(file());
    for (int pass = 0; pass < 2; ++pass) {
        readMany();
        EXPECT_EQ(get("s0", "K1"), "a");
        EXPECT_EQ(get("S0", "k2"), "-");      // only the first section of a name counts
        EXPECT_EQ(get("S0", "bare"), "-");    // a bare name is no key to read
        EXPECT_EQ(get("", "top"), "0");       // lines before the first header win over "[]"
        EXPECT_EQ(get("S1", "k1"), "b");
        EXPECT_EQ(get("S2", "k1"), "-");
        clearProfileCache();
    }
    writeBytes(file(), "[]\r\ntop=1\r\n[S0]\r\nk1=a\r\n");
    age(file());
    readMany();
    EXPECT_EQ(get("", "top"), "1");
}

TEST_F(ProfileCacheTest, ReadsMixedWithWritesMatchAPlainMap) {
    // Reads between writes, in and out of a batch: a stale index or parse shows as a wrong value.
    std::map<std::pair<int, int>, std::string> model;
    unsigned seed = 777;
    auto next = [&seed](unsigned m) { seed = seed * 1103515245u + 12345u; return (seed >> 8) % m; };
    auto name = [](char prefix, int n) { return std::string(1, prefix) + std::to_string(n); };
    for (int round = 0; round < 6; ++round) {
        std::optional<ProfileBatch> batch;
        if (round % 2) batch.emplace(kWin);
        for (int step = 0; step < 150; ++step) {
            int sec = static_cast<int>(next(3)), key = static_cast<int>(next(6));
            unsigned action = next(12);
            if (action < 6) {
                auto it = model.find({sec, key});
                const std::string expected = it == model.end() ? "-" : it->second;
                ASSERT_EQ(get(name('S', sec), name('k', key)), expected) << "round " << round << " step " << step;
            } else if (action < 10) {
                std::string v = "v" + std::to_string(round * 1000 + step);
                ASSERT_TRUE(writeProfileString(kWin, name('s', sec), name('K', key), v));
                model[{sec, key}] = v;
            } else if (action == 10) {
                ASSERT_TRUE(writeProfileString(kWin, name('S', sec), name('k', key), std::nullopt));
                model.erase({sec, key});
            } else {
                ASSERT_TRUE(writeProfileString(kWin, name('S', sec), std::nullopt, std::nullopt));
                for (int k = 0; k < 6; ++k) model.erase({sec, k});
            }
        }
        if (batch) {
            ASSERT_TRUE(batch->commit());
        }
    }
}

TEST_F(ProfileCacheTest, ChangesFromOutsideAreSeen) {
    writeBytes(file(), "[S0]\r\nk1=old\r\n");
    age(file());
    readMany();
    EXPECT_EQ(get("S0", "k1"), "old");
    // Replaced by another file renamed over it.
    writeBytes(driveC + "/new.tmp", "[S0]\r\nk1=new\r\n");
    age(driveC + "/new.tmp");
    ASSERT_EQ(::rename((driveC + "/new.tmp").c_str(), file().c_str()), 0);
    EXPECT_EQ(get("S0", "k1"), "new");
    // Written in place at the same size and dated back to the same time: the change time tells.
    readMany();
    writeBytes(file(), "[S0]\r\nk1=NEW\r\n");
    age(file());
    EXPECT_EQ(get("S0", "k1"), "NEW");
    // Written in place by another process just now, same size.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        writeBytes(file(), "[S0]\r\nk1=kid\r\n");
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(get("S0", "k1"), "kid");
    // Deleted: the defaults; and written again under another case, which the name now finds.
    ASSERT_EQ(::unlink(file().c_str()), 0);
    EXPECT_EQ(get("S0", "k1"), "-");
    writeBytes(driveC + "/t.INI", "[S0]\r\nk1=other case\r\n");
    EXPECT_EQ(get("S0", "k1"), "other case");
    EXPECT_TRUE(writeProfileString(kWin, "S0", "k2", "x"));
    EXPECT_EQ(readBytes(driveC + "/t.INI"), "[S0]\r\nk1=other case\r\nk2=x\r\n");
    EXPECT_FALSE(std::filesystem::exists(file()));
}

TEST_F(ProfileCacheTest, ChangesSoonAfterAWriteAreSeen) {
    // Once a parse is trusted without reading the file, an in-place change of the same size
    // must still show; tried at several moments after the engine's own write.
    for (int waitMs : {0, 50, 120, 250}) {
        ASSERT_TRUE(writeProfileString(kWin, "S0", "k1", "aa"));
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        readMany();
        EXPECT_EQ(get("S0", "k1"), "aa");
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        EXPECT_EQ(get("S0", "k1"), "aa");
        writeBytes(file(), "[S0]\r\nk1=bb\r\n");
        EXPECT_EQ(get("S0", "k1"), "bb") << waitMs;
    }
}

TEST_F(ProfileCacheTest, AFileUnderTheExactNameWinsOverOneFoundByCase) {
    writeBytes(driveC + "/t.INI", "[S0]\r\nk1=by case\r\n");
    age(driveC + "/t.INI");
    readMany();
    EXPECT_EQ(get("S0", "k1"), "by case");
    writeBytes(file(), "[S0]\r\nk1=exact\r\n");
    EXPECT_EQ(get("S0", "k1"), "exact");
}

TEST_F(ProfileCacheTest, MovedFoldersAreFollowed) {
    writeBytes(prog + "/P.ini", "[S0]\r\nk1=first folder\r\n");
    writeBytes(file(), "[S0]\r\nk1=first drive\r\n");
    readMany("P.ini");
    readMany();
    EXPECT_EQ(get("S0", "k1", "P.ini"), "first folder");
    EXPECT_EQ(get("S0", "k1"), "first drive");
    std::filesystem::create_directories(root + "/prog2");
    std::filesystem::create_directories(root + "/drive_c2");
    writeBytes(root + "/prog2/P.ini", "[S0]\r\nk1=second folder\r\n");
    writeBytes(root + "/drive_c2/T.ini", "[S0]\r\nk1=second drive\r\n");
    setProgramFolder(root + "/prog2");
    setDriveFolder('C', root + "/drive_c2");
    EXPECT_EQ(get("S0", "k1", "P.ini"), "second folder");
    EXPECT_EQ(get("S0", "k1"), "second drive");
    EXPECT_TRUE(writeProfileString("P.ini", "S0", "k2", "w"));
    EXPECT_EQ(readBytes(root + "/prog2/P.ini"), "[S0]\r\nk1=second folder\r\nk2=w\r\n");
    EXPECT_EQ(readBytes(prog + "/P.ini"), "[S0]\r\nk1=first folder\r\n");
}

TEST_F(ProfileCacheTest, ABatchOnAFileMadeAtCommitIsReadUnderEachName) {
    {
        ProfileBatch batch(kWin);
        ASSERT_TRUE(writeProfileString(kWin, "S0", "k1", "held"));
        readMany();
        EXPECT_EQ(get("S0", "k1"), "held");
        EXPECT_EQ(get("s0", "K1", driveC + "/T.ini"), "held");
        EXPECT_FALSE(std::filesystem::exists(file()));
        ASSERT_TRUE(batch.commit());
    }
    EXPECT_EQ(readBytes(file()), "[S0]\r\nk1=held\r\n");
    EXPECT_EQ(get("S0", "k1"), "held");
}

} // namespace
} // namespace qv::kernel
