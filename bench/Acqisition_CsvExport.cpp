// The CSV export as a person runs it: the main window under the Qt front end (the offscreen
// platform unless QT_QPA_PLATFORM says otherwise), a generated recording of 32 channels at
// 10 kHz (60 s by default; QV_BENCH_CSV_SECONDS sets another length) loaded, and the export
// button's handler run whole at step 1 in input volts, the header and the numbering columns on,
// the progress box shown and the window system's events let through as the export goes. The
// figure is the CSV text written per second, the page loads, the conversion, the progress box
// and the sync of the file included.
#include "platform/qt/QtBase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "bench/MainWindowBench.h"
#include "platform/forms/Forms.h"
#include "platform/qt/FrontEnd.h"
#include "tests/app/main/RecordingGenerator.h"

namespace {

constexpr int32_t kChannels = 32;
constexpr int32_t kRateHz = 10000;

int32_t exportSeconds() { return qv::bench::secondsFromEnv("QV_BENCH_CSV_SECONDS", 60); }

// Qt's loop and the program's timers for a while, as an idle program runs them.
void idle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents();
        qv::forms::Runtime::get().processPending();
    }
}

void BM_CsvExport(benchmark::State& state) {
    qv::forms::Runtime::get().reset();
    qv::bench::ProgramFolder program;
    qv::qt::FrontEnd frontEnd;
    frontEnd.install();
    qv::Acqisition& w = qv::Acqisition::instance();
    w.Show();
    idle(300);  // the boot timer

    const int32_t seconds = exportSeconds();
    qv::apptest::RecordingSpec layout(kChannels, kRateHz, seconds * kRateHz);
    // Samples over the whole 16-bit span, different on every channel.
    layout.sample = [](int32_t p, int32_t c) { return static_cast<int16_t>((p * 37 + c * 1021) % 65536 - 32768); };
    layout.Write(program.dir, "rec");
    {
        qv::IniPathGuard g(qv::ProgramFile("Tolvane.ini"));
        qv::WriteIniString("CSV", "HEADER", "1");
        qv::WriteIniString("CSV", "DATANO", "1");
        qv::WriteIniString("CSV", "DIVTRIAL", "0");
    }
    w.chkUseCAL.setValue(0);
    w.txtFName.setText((program.dir / "rec").string());
    w.cmdLoad_Click();
    idle(300);  // the one-shot timers a load starts
    if (qv::GAcqParam.PTotal != seconds * kRateHz) {
        state.SkipWithError("the recording did not load");
        return;
    }
    w.txtStartTime.setText("0");
    w.txtEndTime.setText(std::to_string(seconds));
    w.cmbSamplePoint.setListIndex(0);
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(program.dir);
    int64_t bytes = 0;
    for (auto _ : state) {
        w.cmdCSV_Click();
        bytes += static_cast<int64_t>(std::filesystem::file_size(program.dir / "test.CSV"));
    }
    std::filesystem::current_path(here);
    state.SetBytesProcessed(bytes);
    state.counters["rows"] = static_cast<double>(seconds) * kRateHz;
    state.counters["file_MB"] = static_cast<double>(bytes) / state.iterations() / 1e6;
    frontEnd.uninstall();
    qv::forms::Runtime::get().reset();
}

BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
