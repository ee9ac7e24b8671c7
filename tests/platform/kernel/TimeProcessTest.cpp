#include "KernelTestSupport.h"

#include "platform/kernel/Process.h"
#include "platform/kernel/ScreenMetrics.h"
#include "platform/kernel/SettingsStore.h"
#include "platform/kernel/Time.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qv::kernel {
namespace {

using testing::ScratchTest;
using Clock = std::chrono::steady_clock;

long elapsedMs(Clock::time_point since) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

TEST(TimeTest, RealClockAdvancesWithSleep) {
    std::uint32_t before = tickCount();
    auto start = Clock::now();
    sleepMs(20);
    EXPECT_GE(elapsedMs(start), 20);
    std::uint32_t diff = tickCount() - before;   // unsigned difference survives a wrap
    EXPECT_GE(diff, 19u);
    EXPECT_LT(diff, 5000u);
}

TEST(TimeTest, VirtualClockDrivesTicksAndSleepsAndWraps) {
    {
        VirtualClock clock(0xFFFFFFF0u);
        EXPECT_EQ(tickCount(), 0xFFFFFFF0u);
        auto start = Clock::now();
        sleepMs(100000);   // no real wait
        EXPECT_LT(elapsedMs(start), 1000);
        EXPECT_EQ(tickCount(), 0xFFFFFFF0u + 100000u);
        clock.set(5);
        EXPECT_EQ(tickCount(), 5u);
    }
    auto start = Clock::now();
    sleepMs(5);
    EXPECT_GE(elapsedMs(start), 5);   // the real clock is back
}

TEST(ScreenTest, MetricsAre96DpiLogicalAndOverridable) {
    resetScreenMetrics();
    ScreenMetrics m = screenMetrics();
    EXPECT_EQ(m.widthMm(), 508);
    EXPECT_EQ(m.widthTwips(), 1920 * 15);
    m.widthPx = 1280;
    m.heightPx = 1024;
    setScreenMetrics(m);
    EXPECT_EQ(screenMetrics().widthMm(), 339);   // 338.67 rounded
    EXPECT_EQ(screenMetrics().heightMm(), 271);  // 270.93
    resetScreenMetrics();
    EXPECT_EQ(screenMetrics().widthPx, 1920);
}

class ProcessTest : public ScratchTest {
protected:
    void TearDown() override {
        setLaunchRecording(false);
        clearLaunchRecords();
        ScratchTest::TearDown();
    }
    std::string script(const std::string& name, const std::string& body, const char* shell = "/bin/sh") {
        std::string file = prog + "/" + name;
        writeBytes(file, "#!" + std::string(shell) + "\n" + body + "\n");
        ::chmod(file.c_str(), 0755);
        return file;
    }
};

TEST_F(ProcessTest, RecordedStartsTryTheNameThenWithoutExe) {
    setLaunchRecording(true);
    std::filesystem::create_directories(driveC + "/Tolvane");
    writeBytes(driveC + "/Tolvane/Vocapt", "");
    StartResult r = startProcess({"C:\\tolvane\\Vocapt.exe", "/FILENAME=a b.WAV"});
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.program, driveC + "/Tolvane/Vocapt");
    StartResult missing = startProcess({"C:\\Tolvane\\Other.exe"});
    EXPECT_FALSE(missing.started);
    EXPECT_NE(missing.error.find("Other.exe"), std::string::npos);
    std::vector<LaunchRecord> launches = recordedLaunches();
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].argv, (std::vector<std::string>{"C:\\tolvane\\Vocapt.exe", "/FILENAME=a b.WAV"}));
    EXPECT_EQ(launches[1].program, "");
    EXPECT_FALSE(startProcess({}).started);
}

TEST_F(ProcessTest, ArgumentsReachTheChildUntouchedAndItIsReaped) {
    script("args", "for a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$0.out\"; exit 3");
    StartResult r = startProcess({toWindowsPath(prog + "/args.exe"), "a b", "\"q\"", "$HOME;*"});
    ASSERT_TRUE(r.started) << r.error;
    int code = -1;
    ASSERT_TRUE(waitForExit(r.pid, 10000, &code));
    EXPECT_EQ(code, 3);
    EXPECT_EQ(readBytes(prog + "/args.out"), "[a b][\"q\"][$HOME;*]");
    // Reaped: no zombie left behind.
    int status = 0;
    EXPECT_EQ(::waitpid(r.pid, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(ProcessTest, ReadinessWaitEndsWhenTheChildSignalsOrAtTheLimit) {
    // bash: the descriptor may have two digits.
    script("ready", "eval \"exec $QUORVANE_READY_FD>&-\" || exit 1; sleep 2", "/bin/bash");
    auto start = Clock::now();
    StartResult r = startProcess({prog + "/ready"}, StartOptions{5000});
    ASSERT_TRUE(r.started) << r.error;
    EXPECT_LT(elapsedMs(start), 1500);
    EXPECT_FALSE(waitForExit(r.pid, 0));   // it said it was ready; it did not end
    script("slow", "sleep 3");
    start = Clock::now();
    StartResult slow = startProcess({prog + "/slow"}, StartOptions{300});
    ASSERT_TRUE(slow.started);
    long waited = elapsedMs(start);
    EXPECT_GE(waited, 300);
    EXPECT_LT(waited, 2500);
    ::kill(r.pid, SIGTERM);
    ::kill(slow.pid, SIGTERM);
    int code = 0;
    EXPECT_TRUE(waitForExit(slow.pid, 10000, &code));
    EXPECT_EQ(code, 128 + SIGTERM);
    EXPECT_TRUE(waitForExit(r.pid, 10000));
}

TEST_F(ProcessTest, NotifyingReadinessClosesOnlyTheInheritedPipe) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::setenv("QUORVANE_READY_FD", std::to_string(fds[1]).c_str(), 1);
    notifyParentReady();
    EXPECT_EQ(std::getenv("QUORVANE_READY_FD"), nullptr);
    char c;
    EXPECT_EQ(::read(fds[0], &c, 1), 0);   // end of file: no writer is left
    ::close(fds[0]);
    // A descriptor that is not a pipe (the variable outlived its pipe) is left alone.
    std::string file = root + "/plain";
    int plain = ::open(file.c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(plain, 0);
    ::setenv("QUORVANE_READY_FD", std::to_string(plain).c_str(), 1);
    notifyParentReady();
    EXPECT_EQ(::write(plain, "x", 1), 1);
    ::close(plain);
}

TEST_F(ProcessTest, ShowInFileManagerOpensTheFolderHoldingTheItem) {
    setLaunchRecording(true);
    std::filesystem::create_directories(driveC + "/Data");
    writeBytes(driveC + "/Data/rec.KDAT", "");
    showInFileManager("C:\\data\\REC.kdat");
    showInFileManager("C:\\Data");
    showInFileManager("C:\\NotThere");
    showInFileManager("");
    EXPECT_EQ(recordedFolderOpens(),
              (std::vector<std::string>{driveC + "/Data", driveC, driveC + "/NotThere"}));
    EXPECT_TRUE(recordedLaunches().empty());
}

TEST_F(ProcessTest, PreviousInstanceIsSeenThroughTheProgramFolderLock) {
    setPreviousInstance(true);
    EXPECT_TRUE(previousInstance());
    setPreviousInstance(std::nullopt);
    int toParent[2], toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(toChild[1]);
        char answer = previousInstance() ? 'y' : 'n';
        (void)!::write(toParent[1], &answer, 1);
        char done;
        (void)!::read(toChild[0], &done, 1);   // hold the lock until the parent has looked
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(toParent[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'n');
    EXPECT_TRUE(previousInstance());
    ::close(toChild[1]);
    ::waitpid(child, nullptr, 0);
    for (int fd : {toParent[0], toParent[1], toChild[0]}) ::close(fd);
}

TEST(PriorityTest, RaisedPriorityIsAtMostMinusFiveWhenAllowed) {
    if (raisePriority()) EXPECT_LE(::getpriority(PRIO_PROCESS, 0), -5);
    else EXPECT_EQ(::geteuid() == 0, false);   // only an unprivileged user may be refused
}

class SettingsStoreTest : public ScratchTest {
protected:
    void TearDown() override {
        setSettingsFolder("");
        ScratchTest::TearDown();
    }
};

TEST_F(SettingsStoreTest, SettingsLiveInAnIniFilePerApplication) {
    setSettingsFolder(root + "/config/quorvane");
    EXPECT_EQ(getSetting("Quorvane", "Settings\\PrintPv", "Left", "1200"), "1200");
    ASSERT_TRUE(saveSetting("Quorvane", "Settings\\PrintPv", "Left", "345.5"));
    ASSERT_TRUE(saveSetting("Quorvane", "Settings\\PrintPv", "Top", ""));
    EXPECT_EQ(getSetting("Quorvane", "settings\\printpv", "LEFT", "0"), "345.5");
    EXPECT_EQ(getSetting("Quorvane", "Settings\\PrintPv", "Top", "0"), "");   // stored empty, not missing
    EXPECT_EQ(readBytes(root + "/config/quorvane/Quorvane.ini"), "[Settings\\PrintPv]\r\nLeft=345.5\r\nTop=\r\n");
    ASSERT_TRUE(saveSetting("../x", "S", "K", "V"));
    EXPECT_TRUE(std::filesystem::exists(root + "/config/quorvane/.._x.ini"));
    setSettingsFolder("");
    ::setenv("XDG_CONFIG_HOME", (root + "/xdg").c_str(), 1);
    EXPECT_EQ(settingsFolder(), root + "/xdg/quorvane");
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace qv::kernel
