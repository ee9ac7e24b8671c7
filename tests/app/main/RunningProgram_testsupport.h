#pragma once
// The whole program started as a user starts it, headless, in a temporary program folder: the
// main window shown and its boot timer run, boxes answered by the given service, the current
// folder the program folder (the export writes there). Everything is put back when it goes.
#include <filesystem>
#include <string>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "app/camera/modCAM.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Runtime.h"

namespace qv::apptest {

// The bundled sample recording (8 channels, 60 s, with its video) copied into the folder as `as`.
inline void copySample(const TempProgramFolder& prog, const std::string& as) {
    for (const char* ext : {".Kpar", ".Kdat", ".AVI", ".FLM"})
        std::filesystem::copy_file(std::string(QV_BIN_DIR "/Sample") + ext, prog.dir() / (as + ext),
                                   std::filesystem::copy_options::overwrite_existing);
}

class RunningProgram {
public:
    explicit RunningProgram(forms::DialogService& answers) {
        std::filesystem::current_path(prog.dir());
        forms::Runtime::get().setDialogs(&answers);
        driver.setScreen(1920, 1080);
        driver.run([] { Acqisition::instance().Show(); });
        driver.advance(1);
    }
    ~RunningProgram() {
        forms::Runtime::get().setDialogs(nullptr);
        std::filesystem::current_path(here_);
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
        ClearFileNameGlobals();
        GlFlameTime.clear();
        ForgetExitConfirmation();
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // The sample loaded as a user loads it: its name typed, then LOAD.
    bool loadSample() {
        copySample(prog, "Sample");
        Acqisition& w = Acqisition::instance();
        return driver.type(w.txtFName, prog.win("Sample")) && driver.click(w.cmdLoad) && GAcqParam.PTotal == 60000;
    }

    std::filesystem::path here_ = std::filesystem::current_path();
    TempProgramFolder prog;
    StartableProgram start{prog};
    forms::Driver driver;
};

}  // namespace qv::apptest
