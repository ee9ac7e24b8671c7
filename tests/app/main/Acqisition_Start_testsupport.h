#pragma once
// A temporary program folder the whole program can start in: the shipped amplifier definitions
// and system ini, the library beside them, drive C inside the folder, and the start's globals
// as a fresh process has them. Everything is put back when the object goes.
#include <filesystem>
#include <memory>
#include <string>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/common/modCommand.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/kernel/Paths.h"

namespace qv::apptest {

class StartableProgram {
public:
    explicit StartableProgram(const TempProgramFolder& prog) {
        namespace fs = std::filesystem;
        reset();
        const auto over = fs::copy_options::overwrite_existing;
        const fs::path data = fs::path(QV_SOURCE_DIR) / "data";
        fs::copy_file(data / "AmpDef.ini", prog.dir() / "AmpDef.ini", over);
        fs::copy_file(data / "Tolvane.ini", prog.dir() / "Tolvane.ini", over);
        if (!fs::exists(prog.dir() / "libTrelm.so"))
            fs::create_symlink(fs::path(QV_BIN_DIR) / "libTrelm.so", prog.dir() / "libTrelm.so");
        fs::create_directories(prog.dir() / "drive_c");
        kernel::setDriveFolder('C', (prog.dir() / "drive_c").string());
    }
    ~StartableProgram() {
        kernel::setDriveFolder('C', "");
        reset();
    }
    StartableProgram(const StartableProgram&) = delete;
    StartableProgram& operator=(const StartableProgram&) = delete;

private:
    static void reset() {
        SetIniFileName("");
        SetCommandLine("");
        GstrSet.clear();
        GstrKdat.clear();
        GstrMode.clear();
        GAcqParam = AcqParam{};
        GbEndProgram = false;
        Trelm::binding::reset();
        Acqisition::CreateObject = [](const std::string&) {
            return std::shared_ptr<Acqisition::OutsideComponent>();
        };
    }
};

}  // namespace qv::apptest
