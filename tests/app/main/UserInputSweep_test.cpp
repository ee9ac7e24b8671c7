// What a user can type and click raises no run-time error, in any window the program can show,
// with the sample recording loaded and with nothing loaded. For each hostile text, twice: every
// text box that takes input gets the text (its Change, Enter and LostFocus fire), every button
// and clickable label is clicked while the texts stand, then every check box and option button
// (backwards the second time). Message boxes get a fixed answer: the first button, but the last
// (No, Cancel) for the exit confirmation and the questions that clear the loaded data; input
// boxes and file dialogs are cancelled; a modal window is closed again at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/main/ProgramWindows_testsupport.h"
#include "app/camera/modCAM.h"
#include "platform/forms/Driver.h"
#include "platform/forms/Runtime.h"

using namespace qv;

namespace {

const std::vector<std::string> kHostileTexts = {
    "", "-", ".", "1e39", "-500e39", "-1e308", "-500e999", "99999999999", "2147483648", "2147483647", "24856", "-1",
    "abc", "１２３", "日本語のテキスト", std::string(300, '9')};

using apptest::ProgramWindow;

class FixedAnswers : public forms::DialogService {
public:
    int msgBox(const std::string&, int style, const std::string& title) override {
        const std::vector<int> buttons = forms::msgBoxResults(style);
        return title == "終了" || title == "適用" ? buttons.back() : buttons.front();
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> fileDialog(const forms::FileDialogRequest&) override { return std::nullopt; }
};

// Closes a modal window as soon as it shows, every time.
void closeAtOnce(const std::string& form) {
    forms::Runtime::get().queueModalScript(form, [form](forms::Form& f) {
        f.Hide();
        closeAtOnce(form);
    });
}

class UserInputSweep : public ::testing::TestWithParam<std::tuple<size_t, bool>> {
protected:
    void SetUp() override {
        here_ = std::filesystem::current_path();
        std::filesystem::current_path(prog.dir());
        forms::Runtime::get().setDialogs(&answers);
        for (const char* modal : {"frmCondition", "frmSelectAmp"}) closeAtOnce(modal);
        driver.setScreen(1920, 1080);
        main = &Acqisition::instance();
        driver.run([this] { main->Show(); });
        driver.advance(1);
    }
    void TearDown() override {
        forms::Runtime::get().setDialogs(nullptr);
        std::filesystem::current_path(here_);
        GAcqParam = AcqParam{};
        GAcqCondition = AcqCondition{};
        ClearFileNameGlobals();
        GlFlameTime.clear();
    }

    void loadSample() {
        for (const char* ext : {".Kpar", ".Kdat", ".AVI", ".FLM"})
            std::filesystem::copy_file(std::filesystem::path(QV_BIN_DIR) / ("Sample" + std::string(ext)),
                                       prog.dir() / ("Sample" + std::string(ext)));
        ASSERT_TRUE(driver.type(main->txtFName, prog.win("Sample")));
        ASSERT_TRUE(driver.click(main->cmdLoad));
        ASSERT_EQ(GAcqParam.PTotal, 60000);
        driver.advance(200);
    }

    // One user action and the timers that fall due after it; what either raised is a fault.
    void step(const std::string& what, const std::function<void()>& action) {
        const auto& errors = driver.errors();
        size_t from = errors.size();
        try {
            action();
            for (; from < errors.size(); ++from) faults.push_back(what + ": " + errors[from]);
            driver.advance(250);
            for (; from < errors.size(); ++from) faults.push_back(what + ", then a timer: " + errors[from]);
        } catch (const forms::HeadlessFailure& e) {
            faults.push_back(what + ": " + e.what());
        }
    }

    // The window as the user left it, shown again when an action closed it.
    forms::Form& window() {
        forms::Form* f = forms::Runtime::get().findForm(name_);
        if (f && f->Visible()) return *f;
        forms::Form* opened = nullptr;
        driver.run([&] { opened = &window_.open(); });
        name_ = opened->Name();
        return *opened;
    }
    // The window's controls by name, taken afresh: an action may load or unload elements.
    std::vector<std::string> controlsOf(bool (*kind)(forms::Control&)) {
        std::vector<std::string> names;
        for (forms::Control* c : window().Controls())
            if (kind(*c) && forms::Runtime::get().acceptsUserInput(*c)) names.push_back(c->fullName());
        return names;
    }
    static bool isText(forms::Control& c) { return dynamic_cast<forms::TextBox*>(&c) != nullptr; }
    static bool isButton(forms::Control& c) {
        return c.Click.hasHandlers() && (dynamic_cast<forms::CommandButton*>(&c) || dynamic_cast<forms::Label*>(&c));
    }
    static bool isSwitch(forms::Control& c) {
        return c.Click.hasHandlers() && (dynamic_cast<forms::CheckBox*>(&c) || dynamic_cast<forms::OptionButton*>(&c));
    }

    void typeInto(const std::string& box, const std::string& text, const std::string& shown) {
        auto* t = dynamic_cast<forms::TextBox*>(window().findControlByFullName(box));
        const std::string at = name_ + "." + box + " with " + shown + " (" + box;
        bool typed = false;
        step(at + "_Change)", [&] { typed = t && driver.type(*t, text); });
        if (!typed) return;
        step(at + "_KeyDown Enter)", [&] { driver.keyDown(window(), 13); });
        step(at + "_LostFocus)", [&] { driver.run([] { forms::Runtime::get().moveFocus(nullptr); }); });
    }

    void click(const std::string& control, const std::string& text, const std::string& shown) {
        const std::vector<std::string> before = controlsOf(isText);
        step(name_ + "." + control + "_Click with " + shown + " in the boxes", [&] {
            if (forms::Control* c = window().findControlByFullName(control)) driver.click(*c);
        });
        // A box the click brought up (the edit box over a label) takes the text at once.
        for (const std::string& box : controlsOf(isText))
            if (std::find(before.begin(), before.end(), box) == before.end()) typeInto(box, text, shown);
    }

    // Every box takes the text, then every button and label is clicked while it stands, and
    // last every check box and option button (in the order given), for the next pass.
    void pass(const std::string& text, bool reverse) {
        const std::string shown = "\"" + (text.size() > 20 ? text.substr(0, 20) + "…" : text) + "\"";
        for (const std::string& box : controlsOf(isText)) typeInto(box, text, shown);
        for (bool (*kind)(forms::Control&) : {isButton, isSwitch}) {
            std::vector<std::string> controls = controlsOf(kind);
            if (reverse) std::reverse(controls.begin(), controls.end());
            for (const std::string& c : controls) click(c, text, shown);
        }
    }

    std::filesystem::path here_;
    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    FixedAnswers answers;
    forms::Driver driver;
    Acqisition* main = nullptr;
    const ProgramWindow& window_ = apptest::kProgramWindows[std::get<0>(GetParam())];
    std::string name_;
    std::vector<std::string> faults;
};

TEST_P(UserInputSweep, RaisesNoRunTimeError) {
    if (std::get<1>(GetParam())) loadSample();
    // The switches a user reaches by keys: every frame enabled, the hidden panel and the hidden
    // state window shown, the mean of the cursor range drawn.
    for (const int key : {int{'H'}, 13, int{'2'}}) driver.keyDown(*main, key, 7);
    name_ = window().Name();
    // Two passes a text, the second clicking backwards: every check box is seen both ways
    // and each group of option buttons with its first and its last option chosen.
    for (const std::string& text : kHostileTexts) {
        pass(text, false);
        pass(text, true);
        ASSERT_FALSE(driver.ended()) << "the program ended with \"" << text << "\" in the boxes";
    }
    std::string report;
    for (const std::string& f : faults) report += f + "\n";
    EXPECT_TRUE(faults.empty()) << faults.size() << " run-time errors:\n" << report;
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, UserInputSweep,
                         ::testing::Combine(::testing::Range<size_t>(0, std::size(apptest::kProgramWindows)),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             const size_t i = std::get<0>(info.param);
                             return apptest::windowTestName(apptest::kProgramWindows[i], i) +
                                    (std::get<1>(info.param) ? "_WithTheSample" : "_WithNothingLoaded");
                         });

}  // namespace
