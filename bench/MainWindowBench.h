#pragma once
// The main window started headless for a bench: a temporary program folder with the shipped
// ini files and the library, the window shown, and its monitor set to 32 bands in a
// 1920 x 1080 picture, traces shown. Only the start-up's own small files are written.
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/SettingsStore.h"

namespace qv::bench {

// A length in seconds from the environment variable `name`; `fallback` when unset or not positive.
inline int32_t secondsFromEnv(const char* name, int32_t fallback) {
    const char* text = std::getenv(name);
    const int32_t s = text ? std::atoi(text) : fallback;
    return s > 0 ? s : fallback;
}

// A temporary program folder with the shipped ini files and the library, drive C inside it;
// removed when the object goes.
struct ProgramFolder {
    std::filesystem::path dir;
    ProgramFolder() {
        namespace fs = std::filesystem;
        std::string tmpl = (fs::temp_directory_path() / "qvbench_XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        dir = tmpl;
        const fs::path bin = QV_BIN_DIR;
        for (const char* f : {"AmpDef.ini", "Tolvane.ini"}) fs::copy_file(bin / f, dir / f);
        fs::create_symlink(bin / "libTrelm.so", dir / "libTrelm.so");
        fs::create_directories(dir / "drive_c");
        kernel::setProgramFolder(dir.string());
        kernel::setSettingsFolder((dir / "config").string());
        kernel::setDriveFolder('C', (dir / "drive_c").string());
    }
    ~ProgramFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;
};

struct MainWindow : ProgramFolder {
    std::unique_ptr<forms::Driver> driver;
    Acqisition* w = nullptr;
    MainWindow() {
        driver = std::make_unique<forms::Driver>();
        w = &Acqisition::instance();
        w->Show();
        driver->advance(5);
        // Traces are drawn as after a load, which ticks the raw-trace box (its Click empties
        // the display array, so this comes before any page is put there).
        w->chkDispRaw.setValue(1);
    }
    ~MainWindow() { driver.reset(); }
    // A recording of `channels` channels from channel 1 in memory, no trigger, PTotal four
    // pages of `points`, at a sample period of 1 ms with nSample samples a tenth of a second;
    // the display array sized for one page, its samples left to the caller.
    static void loadRecording(int32_t channels, int32_t points, int32_t nSample) {
        GAcqCondition.lStartCH = 1;
        GAcqCondition.lEndCH = channels;
        GAcqCondition.lCHCnt = channels;
        GAcqCondition.strTRIGGER_SETTING = std::string(1, '0');
        AcqParam& p = GAcqParam;
        p.PTotal = points * 4;
        p.lSweepPoint = points;
        p.lPosWAVE_Start = 0;
        p.wCh = static_cast<int16_t>(channels);
        p.nSample = nSample;
        p.nSClock = 1000;
        p.Condition = GAcqCondition;
        DispWaveArray.Redim(channels, points + 1);
    }
    // Every channel of the live conditions ticked with the range lo..hi, in a 1920 x 1080
    // monitor, laid out as the channel panel does it.
    void showBands(const char* hi, const char* lo) {
        for (int ch = 0; ch < 32; ++ch) {
            const bool in = ch >= GAcqCondition.lStartCH - 1 && ch <= GAcqCondition.lEndCH - 1;
            GAcqParam.CHKWaveNo[ch] = in ? 1 : 0;
            w->CHKWaveNo(ch).setValue(in ? 1 : 0);
            // Both pairs of range boxes: the monitor reads the pair of the unit shown.
            for (auto* box : {&w->txtDR_WaveHi(ch), &w->txtDR_WaveHi_V(ch)}) box->setText(hi);
            for (auto* box : {&w->txtDR_WaveLo(ch), &w->txtDR_WaveLo_V(ch)}) box->setText(lo);
        }
        w->PBXMoniDisp.Move(w->PBXMoniDisp.Left(), w->PBXMoniDisp.Top(), 1920, 1080);
        w->UpdateCHDisp();
    }
};

}  // namespace qv::bench
