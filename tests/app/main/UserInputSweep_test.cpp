// What a user can type and click raises no run-time error, in any window the program can show,
// with the sample recording loaded, with a recording of the trigger setting loaded and with
// nothing loaded. For each hostile text, twice: every text box that takes input gets it (Change,
// Enter, LostFocus), every button and clickable label is clicked while it stands, then every
// check box and option button (backwards the second time, so each is seen both ways). Message
// boxes get the first button, but No or Cancel for the exit and the questions that clear the
// data; other dialogs are cancelled, modal windows closed. Then the conditions window takes each
// text in one box at a time, its other boxes as loaded, and applies it with OK.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/app/main/ProgramWindows_testsupport.h"
#include "tests/app/main/RecordingGenerator.h"
#include "tests/app/main/RunningProgram_testsupport.h"

using namespace qv;

namespace {

const std::string kTexts[] = {"", "-", ".", "1e39", "-500e39", "-1e308", "-500e999", "1E+400", "99999999999",
                              "2147483648", "2147483647", "24856", "-1", "abc", "１２３", "日本語のテキスト",
                              std::string(300, '9')};

struct FixedAnswers : forms::DialogService {
    int msgBox(const std::string&, int style, const std::string& title) override {
        const std::vector<int> buttons = forms::msgBoxResults(style);
        return title == "終了" || title == "適用" ? buttons.back() : buttons.front();
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> fileDialog(const forms::FileDialogRequest&) override { return {}; }
};

void closeAtOnce(const std::string& form) {
    forms::Runtime::get().queueModalScript(form, [form](forms::Form& f) {
        f.Hide();
        closeAtOnce(form);
    });
}

using Kind = bool (*)(forms::Control&);
bool isText(forms::Control& c) { return dynamic_cast<forms::TextBox*>(&c); }
bool isButton(forms::Control& c) {
    return c.Click.hasHandlers() && (dynamic_cast<forms::CommandButton*>(&c) || dynamic_cast<forms::Label*>(&c));
}
bool isSwitch(forms::Control& c) {
    return c.Click.hasHandlers() && (dynamic_cast<forms::CheckBox*>(&c) || dynamic_cast<forms::OptionButton*>(&c));
}

enum class Loaded { Nothing, Sample, Trigger };
const char* const kStateNames[] = {"_WithNothingLoaded", "_WithTheSample", "_WithATriggerRecording"};

class UserInputSweep : public ::testing::TestWithParam<std::tuple<size_t, Loaded>> {
protected:
    void SetUp() override {
        for (const char* modal : {"frmCondition", "frmSelectAmp"}) closeAtOnce(modal);
    }

    // One action and the timers due after it; each run-time error is a fault that says where.
    void step(const std::string& what, const std::function<void()>& action) {
        const auto& errors = driver.errors();
        size_t from = errors.size();
        try {
            action();
            for (; from < errors.size(); ++from) faults += what + ": " + errors[from] + "\n";
            driver.advance(250);
            for (; from < errors.size(); ++from) faults += what + ", then a timer: " + errors[from] + "\n";
        } catch (const forms::HeadlessFailure& e) {
            faults += what + ": " + e.what() + "\n";
        }
    }
    // The window, opened again when an action closed it.
    forms::Form& window() {
        if (forms::Form* f = forms::Runtime::get().findForm(name); f && f->Visible()) return *f;
        forms::Form* opened = nullptr;
        driver.run([&] { opened = &apptest::kProgramWindows[std::get<0>(GetParam())].open(); });
        name = opened->Name();
        return *opened;
    }
    // Its controls of a kind that take input now, by name: actions load and unload elements.
    std::vector<std::string> live(Kind kind) {
        std::vector<std::string> names;
        for (forms::Control* c : window().Controls())
            if (kind(*c) && forms::Runtime::get().acceptsUserInput(*c)) names.push_back(c->fullName());
        return names;
    }
    void type(const std::string& box, const std::string& text) {
        auto* t = dynamic_cast<forms::TextBox*>(window().findControlByFullName(box));
        const std::string at = name + "." + box + " with \"" + text.substr(0, 30) + "\" (" + box;
        bool typed = false;
        step(at + "_Change)", [&] { typed = t && driver.type(*t, text); });
        if (!typed) return;
        step(at + "_KeyDown Enter)", [&] { driver.keyDown(window(), 13); });
        step(at + "_LostFocus)", [&] { driver.run([] { forms::Runtime::get().moveFocus(nullptr); }); });
    }
    // A box the click brings up (the edit box over a label) takes the text at once.
    void click(const std::string& control, const std::string& text) {
        const std::vector<std::string> before = live(isText);
        step(name + "." + control + "_Click with \"" + text.substr(0, 30) + "\" in the boxes", [&] {
            if (forms::Control* c = window().findControlByFullName(control)) driver.click(*c);
        });
        for (const std::string& box : live(isText))
            if (std::find(before.begin(), before.end(), box) == before.end()) type(box, text);
    }

    FixedAnswers answers;
    apptest::RunningProgram program{answers};
    forms::Driver& driver = program.driver;
    const apptest::TempProgramFolder& prog = program.prog;
    std::string name, faults;
};

TEST_P(UserInputSweep, RaisesNoRunTimeError) {
    Acqisition& main = Acqisition::instance();
    const Loaded loaded = std::get<1>(GetParam());
    if (loaded == Loaded::Sample) {
        ASSERT_TRUE(program.loadSample());
    } else if (loaded == Loaded::Trigger) {
        // Small, so the sweep stays short: three sweeps of 100 points on two channels.
        apptest::RecordingSpec(2, 100, 300).set("Condition", "strTRIGGER_SETTING", "1").Write(prog.dir(), "Trig");
        frmCondition::instance().optGetADBoard.setValue(true);  // a board that triggers
        ASSERT_TRUE(driver.type(main.txtFName, prog.win("Trig")) && driver.click(main.cmdLoad));
        ASSERT_TRUE(IsTriggerSetting() && IsDataLoaded());
    }
    const AcqCondition asLoaded = GAcqCondition;
    // Switches a user reaches by keys: every frame enabled, the hidden panel and the hidden
    // state window shown, the mean of the cursor range drawn.
    for (const int key : {int{'H'}, 13, int{'2'}}) driver.keyDown(main, key, 7);
    for (const std::string& text : kTexts) {
        for (const bool backwards : {false, true}) {
            for (const std::string& box : live(isText)) type(box, text);
            for (const Kind kind : {isButton, isSwitch}) {
                std::vector<std::string> controls = live(kind);
                if (backwards) std::reverse(controls.begin(), controls.end());
                for (const std::string& c : controls) click(c, text);
            }
        }
        ASSERT_FALSE(driver.ended()) << "the program ended with \"" << text << "\" in the boxes";
    }
    if (name == "frmCondition" && loaded != Loaded::Nothing) {
        frmCondition& f = frmCondition::instance();
        const auto restore = [&] { driver.run([&] { GAcqCondition = asLoaded; window(); f.LoadObjectValue(); }); };
        restore();
        int applied = 0;
        for (const std::string& box : live(isText))
            for (const std::string& text : kTexts) {
                restore();
                type(box, text);
                step("frmCondition.cmdOK_Click with \"" + text.substr(0, 30) + "\" in " + box, [&] { driver.click(f.cmdOK); });
                applied += !f.Visible();
            }
        EXPECT_GT(applied, 0) << "OK applied no text";
    }
    EXPECT_EQ(faults, "");
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, UserInputSweep,
                         ::testing::Combine(::testing::Range<size_t>(0, std::size(apptest::kProgramWindows)),
                                            ::testing::Values(Loaded::Nothing, Loaded::Sample, Loaded::Trigger)),
                         [](const auto& info) {
                             const size_t i = std::get<0>(info.param);
                             return apptest::windowTestName(apptest::kProgramWindows[i], i) +
                                    kStateNames[static_cast<int>(std::get<1>(info.param))];
                         });

}  // namespace
