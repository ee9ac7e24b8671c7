// Running out of memory inside an export, one family at a time: the call ends with the export's
// answer for unusable input and no exception reaches the caller (a C caller cannot take one).
#include "FailingAllocation.h"
#include "PlotTestSupport.h"

#include "library/Calibration.h"
#include "library/GlobalView.h"
#include "library/trelm.h"

#include "platform/kernel/Process.h"
#include "platform/kernel/Profile.h"
#include "tests/platform/media/MediaTestFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <vector>

namespace {

using namespace plottest;

// Runs `call` with the n-th allocation refused, for every n up to 16 and then for n growing by
// an eighth each time (a save of many keys allocates thousands of times), until a run meets no
// refusal; `refused(n)` checks each refused run. Returns the last n (0: nothing was refused).
template <class Call, class Refused>
int64_t refuseEachAllocation(Call call, Refused refused) {
    for (int64_t allowed = 0;; allowed += 1 + allowed / 8) {
        bool hit;
        {
            trelmtest::FailingAllocation seam(allowed);
            call();
            hit = seam.refused();
        }
        if (!hit) return allowed;
        refused(allowed);
        if (allowed > 100000) return allowed;
    }
}

TEST(ExportGuard, SpectrumLeavesItsOutputsWhenItsWorkBuffersCannotGrow) {
    // Larger than any transform before it, so the kept work buffers must grow.
    const int32_t n = 1 << 21;
    const std::vector<float> src(n, 1.0f);
    std::vector<float> re(n, -7.0f), im(n, -7.0f);
    const int64_t runs = refuseEachAllocation([&] { S_FFT(re.data(), im.data(), src.data(), n); },
                                              [&](int64_t at) {
                                                  EXPECT_EQ(re[0], -7.0f) << at;
                                                  EXPECT_EQ(im[1], -7.0f) << at;
                                              });
    EXPECT_GT(runs, 0) << "the seam refused nothing";
    EXPECT_FLOAT_EQ(re[0], 1.0f);
    EXPECT_FLOAT_EQ(re[1], 0.0f);
    std::vector<float> back(n, -7.0f);
    refuseEachAllocation([&] { S_INVFFT(back.data(), re.data(), im.data(), n); },
                         [&](int64_t at) { EXPECT_EQ(back[5], -7.0f) << at; });
    EXPECT_NEAR(back[5], 1.0f, 1e-5f);
}

// The global view on `win`, x over n points and y over -1..1, in a blue pen; a sine of n points.
std::vector<float> sineInView(const TestWindow& win, size_t n, double step) {
    VIEWSET(win.hwnd, win.dc);
    MARGINSET(0, 0, 0, 0);
    WINDOW(0.0f, -1.0f, static_cast<float>(n - 1), 1.0f);
    LINETYPES(0, 0x0000FF);
    std::vector<float> y(n);
    for (size_t i = 0; i < y.size(); ++i) y[i] = static_cast<float>(std::sin(static_cast<double>(i) * step));
    return y;
}

TEST(ExportGuard, GlobalViewDrawingEndsQuietlyAndDrawsWholeOnceMemoryIsThere) {
    TestWindow win(200, 100);
    const std::vector<float> y = sineInView(win, 1000, 0.05);
    EXPECT_GT(refuseEachAllocation([&] { DISPS(y.data(), 1000, 0, 0.0f, 0.0f); }, [](int64_t) {}), 0);
    EXPECT_GT(win.count(0x0000FF), 100);
    refuseEachAllocation([&] { DISPLSJ(y.data(), y.data(), 1000, 0, 3); }, [](int64_t) {});
    refuseEachAllocation([&] { MOVEDRAWRECT(0.0f, -1.0f, 999.0f, 1.0f, 1); }, [](int64_t) {});
    refuseEachAllocation([&] { CPLOT(10.0f, 0.0f, "AB"); }, [](int64_t) {});
    // The pen each call selected went back: a later line has the current colour.
    LINETYPES(0, 0x00FF00);
    MOVEDRAW(0.0f, 0.0f, 999.0f, 0.0f);
    EXPECT_GT(win.count(0x00FF00), 150);
}

TEST(ExportGuard, EnvelopeDrawingKeepsTheViewRangeWhenItRunsOutOfMemory) {
    TestWindow win(200, 100);
    const std::vector<float> y = sineInView(win, 20000, 0.01);
    const trelm::PlotFrame before = trelm::view().frame;
    // Refusals land before, inside and after the shrunk range's drawing.
    const int64_t runs = refuseEachAllocation([&] { DISPS2(y.data(), 20000, 0, 0.0f, 0.0f); }, [&](int64_t at) {
        const trelm::PlotFrame& f = trelm::view().frame;
        EXPECT_EQ(f.xmin, before.xmin) << at;
        EXPECT_EQ(f.xmax, before.xmax) << at;
        EXPECT_EQ(f.xs, before.xs) << at;
    });
    EXPECT_GT(runs, 1) << "no refusal came after the range was shrunk";
    EXPECT_EQ(trelm::view().frame.xmax, before.xmax);
    EXPECT_GT(win.count(0x0000FF), 100);
}

TEST(ExportGuard, GraphPaintCountsNothingWhenItRunsOutOfMemory) {
    TestWindow win(200, 100);
    const int32_t h = H_VIEWSET(win.hwnd, win.dc);
    ASSERT_GT(h, 0);
    ASSERT_EQ(H_WAVEGET(h), h);
    H_WINDOW(h, 0.0f, 0.0f, 10.0f, 10.0f);
    H_CURSORSIZE(h, 1);
    H_CURSOR(h, 0, 5.0f, 0.0f, 5.0f, 10.0f);
    H_CURSORPROP(h, 0, 0x0000FF, 0, 1);
    H_CURSORDISP(h, 0, 1);
    int32_t painted = -1;
    const int64_t runs = refuseEachAllocation([&] { painted = H_PAINT(h); },
                                              [&](int64_t at) { EXPECT_EQ(painted, 0) << at; });
    EXPECT_GT(runs, 0);
    EXPECT_EQ(painted, 1);
    refuseEachAllocation([&] { H_CURSORMOVE(h, 0, 5.0f, 5.0f, 6.0f, 5.0f); }, [](int64_t) {});
    H_DELETE(h);
}

TEST(ExportGuard, CalibrationStoreReadsAndWritesEndQuietly) {
    mediatest::TempDir dir;
    const std::string file = dir.file("GUARD.CAL");
    trelm::setCalibrationStorePath(file.c_str());
    qv::kernel::clearProfileCache();
    std::array<float, 128> before{}, after{}, read{};
    std::array<char, 1024> names{}, units{};
    before.fill(1.5f);
    after.fill(2.5f);
    PUTCAL(before.data(), names.data(), units.data());
    EXPECT_GT(refuseEachAllocation([&] { PUTCAL(after.data(), names.data(), units.data()); },
                                   [](int64_t) {}),
              0);
    read.fill(-1.0f);
    EXPECT_GT(refuseEachAllocation([&] { GETCAL(read.data(), names.data(), units.data()); },
                                   [](int64_t) {}),
              0);
    for (float v : read) EXPECT_EQ(v, 2.5f);
    trelm::resetCalibrationStorePath();
    qv::kernel::clearProfileCache();
}

TEST(ExportGuard, WindowImageIsWrittenWholeOrNotAtAll) {
    mediatest::TempDir dir;
    TestWindow win(64, 40, 0x00FF00);
    const std::string path = dir.file("shot.bmp");
    const uintmax_t whole = 54 + 64 * 4 * 35;
    const int64_t runs = refuseEachAllocation([&] { SAVEIMAGE(win.hwnd, path.c_str(), 0); },
                                              [&](int64_t at) {
                                                  std::error_code ec;
                                                  const auto size = std::filesystem::file_size(path, ec);
                                                  if (!ec) {
                                                      EXPECT_EQ(size, whole) << at;
                                                  }
                                                  std::filesystem::remove(path, ec);
                                              });
    EXPECT_GT(runs, 0);
    EXPECT_EQ(std::filesystem::file_size(path), whole);
}

TEST(ExportGuard, ProgramStartStartsNothingOrTheWholeCommand) {
    qv::kernel::setLaunchRecording(true);
    qv::kernel::clearLaunchRecords();
    P_MONITOR_SETTING("C:\\A.SET");
    const std::vector<std::string> expected{"C:\\Tolvane\\Quorvane.exe", "C:\\A.SET"};
    const int64_t runs = refuseEachAllocation([] { P_MONITOR(); }, [&](int64_t at) {
        for (const auto& launch : qv::kernel::recordedLaunches()) EXPECT_EQ(launch.argv, expected) << at;
        qv::kernel::clearLaunchRecords();
    });
    EXPECT_GT(runs, 0);
    const auto launches = qv::kernel::recordedLaunches();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].argv, expected);
    qv::kernel::clearLaunchRecords();
    qv::kernel::setLaunchRecording(false);
    P_MONITOR_SETTING("C:\\SETTING.SET");
}

}  // namespace
