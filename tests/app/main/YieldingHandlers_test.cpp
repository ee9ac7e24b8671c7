// Handlers that let events through while they run (a print, a load, an export, a playback, …).
// From inside each one's DoEvents, (a) every control, key or drop that starts the same work is
// fired, and (b) the main window is closed with the exit confirmed. Neither may abort, let an
// exception out of the handler, raise a run-time error or show an error box; a start inside is
// dropped, so it shows nothing; and the exit ends the program as any exit does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/app/common/DayLog_testsupport.h"
#include "tests/app/main/ProgramWindows_testsupport.h"
#include "tests/app/main/RunningProgram_testsupport.h"
#include "app/camera/frmCAMDisp.h"
#include "app/camera/frmCAM_TEST.h"
#include "app/main/Acqisition2.h"

using namespace qv;

namespace {

// The first button of every box (OK to the exit question); other dialogs cancelled.
struct Answers : forms::DialogService {
    std::vector<forms::MsgBoxRecord> boxes;
    int msgBox(const std::string& prompt, int style, const std::string& title) override {
        boxes.push_back({prompt, style, title, forms::msgBoxResults(style).front()});
        return boxes.back().result;
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> fileDialog(const forms::FileDialogRequest&) override { return {}; }
};

constexpr int kShiftCtrlAlt = 7, kEnter = 13;

struct Program {
    Answers answers;
    apptest::RunningProgram running{answers};
    forms::Driver& driver = running.driver;
    const apptest::TempProgramFolder& prog = running.prog;

    static Acqisition& w() { return Acqisition::instance(); }
    static frmCAMDisp& cam() { return frmCAMDisp::instance(); }
    std::string sample() const { return prog.win("Sample"); }
    void loadSample() { running.loadSample(); }
    bool drop(const std::string& file) { return driver.drop(w(), {file}).has_value(); }
    // The user's way out: the main window's close box, or the camera window's while the main
    // window takes no input.
    bool closeTheProgram() {
        if (driver.close(w())) return true;
        forms::Form* camera = forms::Runtime::get().findForm("frmCAMDisp");
        return camera && driver.close(*camera);
    }
};

struct Starter {
    const char* what;
    bool (*fire)(Program&);
};

struct Row {
    const char* handler;
    void (*prepare)(Program&);
    bool (*start)(Program&);
    std::vector<Starter> again;  // every start of the same work a user (or the program) has
    // What the work must have done once, however often it was started.
    std::string (*once)(Program&) = nullptr;
};

std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool clickLoad(Program& p) { return p.driver.click(p.w().cmdLoad); }
bool runCode(Program& p, void (Acqisition::*handler)()) {
    p.driver.run([&] { (p.w().*handler)(); });
    return true;
}

const Row kRows[] = {
    {"cmdHardCopy_Click", [](Program&) {}, [](Program& p) { return p.driver.click(p.w().cmdHardCopy); },
     {{"PRINT", [](Program& p) { return p.driver.click(p.w().cmdHardCopy); }},
      {"PRINT(F)", [](Program& p) { return p.driver.click(p.w().cmdHardCopyF); }}},
     [](Program& p) {
         const size_t n = p.driver.printer().documents().size();
         return n == 1 ? std::string() : "printed " + std::to_string(n) + " times";
     }},
    {"cmdLoad_Click",
     [](Program& p) {
         apptest::copySample(p.prog, "Other");
         p.loadSample();
         p.driver.keyDown(p.w(), kEnter, kShiftCtrlAlt);  // the hidden panel with the call by name
         p.driver.type(p.w().txtFormName, "Acqisition");
         p.driver.type(p.w().txtFuncName, "cmdLoad_Click");
     },
     clickLoad,
     {{"LOAD", clickLoad},
      {"another recording dropped", [](Program& p) { return p.drop(p.prog.win("Other.Kdat")); }},
      {"the call by name", [](Program& p) { return p.driver.click(p.w().cmdCallFuncMain); }}},
     // The recording named and loaded is the sample, the history holds it twice, and only twice.
     [](Program& p) {
         IniPathGuard ini(ProgramFile("Tolvane.ini"));
         std::string history;
         for (const char* key : {"ITEM_00", "ITEM_01", "ITEM_02"}) history += ReadIniString("HISTORY", key, "") + ";";
         const std::string want = p.sample() + ";" + p.sample() + ";;";
         return history == want && p.w().txtFName.Text() == p.sample() ? std::string() : "loaded: " + history;
     }},
    {"cmdLoadSetting_Click",
     [](Program& p) {
         runCode(p, &Acqisition::cmdSaveSetting_Click);
         std::filesystem::copy_file(p.prog.dir() / "SETTING.SET", p.prog.dir() / "OTHER.SET");
     },
     [](Program& p) { return p.driver.click(p.w().cmdLoadSetting); },
     {{"LOAD SETTING", [](Program& p) { return p.driver.click(p.w().cmdLoadSetting); }},
      {"another settings file dropped", [](Program& p) { return p.drop(p.prog.win("OTHER.SET")); }}},
     [](Program& p) {
         const bool other = apptest::dayLogLines(p.prog.dir(), "OTHER.SET") > 0 || GstrSettingFile != p.prog.win("SETTING.SET");
         return other ? "applied " + GstrSettingFile : std::string();
     }},
    // No user reaches SAVE SETTING or STORE (the mode rule keeps them disabled): the program's calls.
    {"cmdSaveSetting_Click", [](Program&) {}, [](Program& p) { return runCode(p, &Acqisition::cmdSaveSetting_Click); },
     {{"the save", [](Program& p) { return runCode(p, &Acqisition::cmdSaveSetting_Click); }},
      {"STORE", [](Program& p) { return runCode(p, &Acqisition::cmdQUIT_Click); }}}},
    {"cmdCSV_Click",
     [](Program& p) {
         p.loadSample();
         p.driver.type(p.w().txtEndTime, "2");
         p.driver.click(p.w().cmdCSV);
         std::filesystem::rename(p.prog.dir() / "test.CSV", p.prog.dir() / "alone.CSV");
         p.cam().txtStartTime.setText("30");
         p.cam().txtEndTime.setText("30");
     },
     [](Program& p) { return p.driver.click(p.w().cmdCSV); },
     {{"CSV", [](Program& p) { return p.driver.click(p.w().cmdCSV); }},
      // A playback loads other pages; at the export's next yield it would feed it their rows.
      {"Play, at the next yield",
       [](Program& p) {
           forms::Runtime::get().post([&p] { p.driver.click(p.cam().cmdPlay2); });
           return true;
       }}},
     [](Program& p) -> std::string {
         return fileText(p.prog.dir() / "test.CSV") == fileText(p.prog.dir() / "alone.CSV") ? "" : "rows differ";
     }},
    {"cmdPlay2_Click",
     [](Program& p) {
         p.loadSample();
         p.cam().txtEndTime.setText("1");
     },
     [](Program& p) { return p.driver.click(p.cam().cmdPlay2); },
     {{"Play", [](Program& p) { return p.driver.click(p.cam().cmdPlay2); }},
      {"the hidden Play", [](Program& p) { return p.driver.click(p.cam().cmdPlay); }}}},
    {"cmdずらす_Click",
     [](Program& p) {
         p.loadSample();
         p.driver.keyDown(p.w(), kEnter, kShiftCtrlAlt);
         p.driver.type(p.w().txtずらすCHNo, "0");
         p.driver.type(p.w().txtずらすPointNum, "1");
     },
     [](Program& p) { return p.driver.click(p.w().cmdずらす); },
     {{"ずらす", [](Program& p) { return p.driver.click(p.w().cmdずらす); }}}},
    // The highlight is whole before it yields: a box focused meanwhile takes the highlight.
    {"txtDR_WaveHi_V_GotFocus",
     [](Program& p) {
         p.loadSample();
         p.driver.check(p.w().chkDispTable, 0);
     },
     [](Program& p) { return p.driver.focus(p.w().txtDR_WaveHi_V(0)); },
     {{"the low box", [](Program& p) { return p.driver.focus(p.w().txtDR_WaveLo_V(0)); }},
      {"the high box", [](Program& p) { return p.driver.focus(p.w().txtDR_WaveHi_V(0)); }}}},
    {"Command1_Click (frame-table differences)",
     [](Program& p) {
         p.driver.keyDown(p.w(), 'A', kShiftCtrlAlt);
         p.driver.check(Acqisition2::instance().chkDispCAM_TEST, 1);
         p.loadSample();
     },
     [](Program& p) { return p.driver.click(frmCAM_TEST::instance().Command1); },
     {{"Command1", [](Program& p) { return p.driver.click(frmCAM_TEST::instance().Command1); }}}},
    {"timSaveImage_Timer", [](Program& p) { p.loadSample(); },
     [](Program& p) {
         p.driver.advance(1);
         return true;
     },
     {}},
    {"timBootSubPrg_Timer",
     [](Program&) {
         Acqisition2::instance().chkUseSubPrg.setValue(1);
         Acqisition2::instance().chkUseSubPrgVylM70.setValue(1);
     },
     [](Program& p) {
         p.driver.advance(300);
         return true;
     },
     {}},
    {"Form_QueryUnload",
     [](Program& p) {
         p.loadSample();
         p.driver.run([&] { p.cam().Move(1230, 450, p.cam().Width(), p.cam().Height()); });
     },
     [](Program& p) { return p.closeTheProgram(); },
     {{"the main window's close", [](Program& p) { return p.driver.close(p.w()); }},
      {"the camera window's close", [](Program& p) { return p.driver.close(p.cam()); }}},
     [](Program&) {
         IniPathGuard ini(ProgramFile("Tolvane.ini"));
         const std::string left = ReadIniString("frmCAMDisp", "frmCAMDisp.Left", "");
         return left == "1230" ? std::string() : "the camera window's placement lost: " + left;
     }},
};

class YieldingHandler : public ::testing::TestWithParam<size_t> {
protected:
    const Row& row() const { return kRows[GetParam()]; }

    // Starts the row's work with `inside` waiting for its first DoEvents; what went wrong.
    std::string run(Program& p, const std::function<std::string()>& inside) {
        row().prepare(p);
        const size_t errorsBefore = p.driver.errors().size();
        bool yielded = false;
        std::string faults;
        forms::Runtime::get().post([&] {
            yielded = true;
            faults += inside();
        });
        try {
            if (!row().start(p)) faults += "the work did not start; ";
        } catch (const std::exception& e) {
            faults += std::string("left the handler: ") + e.what() + "; ";
        }
        if (!yielded) faults += "never let events through; ";
        for (size_t i = errorsBefore; i < p.driver.errors().size(); ++i) faults += p.driver.errors()[i] + "; ";
        for (const forms::MsgBoxRecord& box : p.answers.boxes)
            if ((box.style & 0x70) == forms::vbCritical) faults += "error box \"" + box.prompt + "\"; ";
        return faults;
    }
};

TEST_P(YieldingHandler, DropsEveryStartOfTheSameWorkMadeInsideIt) {
    Program p;
    const std::string faults = run(p, [&] {
        std::string inner;
        for (const Starter& s : row().again) {
            const size_t boxes = p.answers.boxes.size();
            s.fire(p);
            if (p.answers.boxes.size() != boxes) inner += std::string(s.what) + " showed \"" + p.answers.boxes.back().prompt + "\"; ";
        }
        return inner;
    });
    const std::string all = faults + (row().once ? row().once(p) : "");
    EXPECT_TRUE(all.empty()) << row().handler << ": " << all;
    EXPECT_EQ(p.driver.ended(), std::string(row().handler) == "Form_QueryUnload") << row().handler;
}

// The confirmed exit is remembered for the rest of the process: each one in a process of its own.
// Where the work keeps every window from taking a close, the program goes on.
TEST_P(YieldingHandler, AnExitConfirmedInsideItEndsTheProgram) {
    EXPECT_EXIT(
        {
            std::string faults;
            {
                Program p;
                bool closed = false;
                faults = run(p, [&] {
                    closed = p.closeTheProgram();
                    return std::string();
                });
                if (p.driver.ended() != closed) faults += closed ? "the program goes on; " : "ended unasked; ";
                IniPathGuard ini(ProgramFile("Tolvane.ini"));
                if (closed && ReadIniString("Acqisition", "Acqisition.Left", "").empty()) faults += "no placement written; ";
                // Window code run after the end, caught and logged on the way out.
                if (apptest::dayLogLines(p.prog.dir(), forms::ProgramEnded().what())) faults += "the end was logged as a failure; ";
            }
            std::fputs(faults.c_str(), stderr);
            std::_Exit(faults.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << row().handler;
}

INSTANTIATE_TEST_SUITE_P(EveryYieldingHandler, YieldingHandler, ::testing::Range<size_t>(0, std::size(kRows)),
                         [](const auto& info) { return apptest::asciiTestName(kRows[info.param].handler, info.param); });

}  // namespace
