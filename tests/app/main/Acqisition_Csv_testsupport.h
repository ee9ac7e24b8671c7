#pragma once
// The started main window with a recording from the test generator loaded, working in a folder
// of its own (the export writes into the process's working folder), with the export's three
// switches of "Tolvane.ini" set by the test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "app/channel/frmCondition.h"
#include "app/common/IniSet.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"
#include "platform/kernel/Encoding.h"

namespace qv::apptest {

class CsvTest : public ::testing::Test {
public:
    // The default sample of the generator.
    static int32_t raw(int32_t p, int32_t c) {
        const int32_t v = (c / 2) * 100 + p;
        return c % 2 == 0 ? v : -v;
    }

protected:
    void SetUp() override {
        here_ = std::filesystem::current_path();
        std::filesystem::create_directories(out());
        std::filesystem::current_path(out());
        w = &Acqisition::instance();
        driver.run([this] { w->Show(); });
        switches(false, false, false);
    }
    void TearDown() override {
        std::filesystem::current_path(here_);
        GAcqParam = AcqParam{};
        ClearFileNameGlobals();
        MarkArray.fill(0);
    }
    // The folder the export writes into.
    std::filesystem::path out() const { return prog.dir() / "out"; }
    std::string read(const std::string& name) const { return prog.readBytes(std::filesystem::path("out") / name); }
    bool exists(const std::string& name) const { return std::filesystem::exists(out() / name); }

    void switches(bool header, bool dataNo, bool divTrial) {
        IniPathGuard g(ProgramFile("Tolvane.ini"));
        WriteIniString("CSV", "HEADER", header ? "1" : "0");
        WriteIniString("CSV", "DATANO", dataNo ? "1" : "0");
        WriteIniString("CSV", "DIVTRIAL", divTrial ? "1" : "0");
    }
    // Loads the recording as "rec" with the identity calibration on the recorded channels, so
    // that with USE CAL the rows show the raw words.
    void load(const RecordingSpec& layout, bool useCal = true) {
        layout.Write(prog.dir(), "rec");
        w->chkUseCAL.setValue(useCal ? 1 : 0);
        const size_t shown = driver.msgBoxes().size();
        ASSERT_TRUE(driver.type(w->txtFName, prog.win("rec")));
        ASSERT_TRUE(driver.click(w->cmdLoad));
        ASSERT_EQ(driver.msgBoxes().size(), shown) << driver.msgBoxes().back().prompt;
    }
    // The range boxes typed and the step chosen as the user does it.
    void range(const std::string& start, const std::string& end, int32_t step) {
        ASSERT_TRUE(driver.type(w->txtStartTime, start));
        ASSERT_TRUE(driver.type(w->txtEndTime, end));
        for (int i = 0; i < w->cmbSamplePoint.ListCount(); ++i)
            if (w->cmbSamplePoint.ItemData(i) == step) {
                ASSERT_TRUE(driver.select(w->cmbSamplePoint, i));
            }
    }
    // A click on CSV; false when the button could not be clicked.
    bool exportCsv() { return driver.click(w->cmdCSV); }
    std::string lastMessage() const {
        return driver.msgBoxes().empty() ? std::string() : driver.msgBoxes().back().prompt;
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> all;
        size_t at = 0;
        while (at < text.size()) {
            const size_t end = text.find("\r\n", at);
            if (end == std::string::npos) {
                all.push_back(text.substr(at));
                break;
            }
            all.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return all;
    }
    static std::string cp932(const std::string& utf8) { return kernel::utf8ToCp932(utf8); }

    TempProgramFolder prog;
    StartableProgram start{prog};
    forms::Driver driver;
    Acqisition* w = nullptr;

private:
    std::filesystem::path here_;
};

}  // namespace qv::apptest
