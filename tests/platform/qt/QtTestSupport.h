#pragma once
// A window with one control of most kinds, shown through the Qt front end, and a fixture that
// installs the front end on an empty forms runtime. Handlers write what they saw to `log`.

#include "platform/qt/QtBase.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"
#include "platform/kernel/ScreenMetrics.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/FrontEnd.h"

namespace qv::qt::test {

using namespace qv::forms;

// One QApplication for the whole test program, on the offscreen platform unless told otherwise.
inline void ensureApplication() {
    static QApplication* app = nullptr;
    if (app || QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_platform_qt";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
}

// Runs `answer` on the modal dialog of type D once it is up. When none comes within two
// seconds the test fails and whatever is modal is closed, so that nothing waits forever.
template <class D, class F>
void whenModal(F answer, int triesLeft = 200) {
    QTimer::singleShot(10, [answer, triesLeft] {
        if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) return answer(d);
        if (triesLeft > 0) return whenModal<D>(answer, triesLeft - 1);
        ADD_FAILURE() << "no " << D::staticMetaObject.className() << " came up";
        if (auto* m = qobject_cast<QDialog*>(QApplication::activeModalWidget())) m->reject();
    });
}

class frmQt : public Form {
public:
    static frmQt& instance() { return loadForm<frmQt>(); }
    static const FormDesign& design() {
        using T = ControlType;
        static const FormDesign d{
            "frmQt", "Qt ウィンドウ", 1500, 1500, 9000, 6000,
            {{"ScaleMode", vbPixels}, {"KeyPreview", true}, {"OLEDropMode", 1}},
            {
                {T::CommandButton, "cmdGo", -1, "", 8, 8, 80, 24, "実行", {}},
                {T::CheckBox, "chkRaw", -1, "", 8, 40, 100, 20, "Raw", {}},
                {T::Frame, "fraMode", -1, "", 8, 70, 160, 70, "Mode", {}},
                {T::OptionButton, "optA", -1, "fraMode", 8, 20, 80, 20, "A", {{"Value", true}}},
                {T::OptionButton, "optB", -1, "fraMode", 8, 42, 80, 20, "B", {}},
                {T::TextBox, "txtName", -1, "", 8, 150, 120, 22, "", {}},
                {T::ListBox, "lstItems", -1, "", 140, 150, 100, 80, "", {}},
                {T::ComboBox, "cmbFreq", -1, "", 250, 150, 100, 22, "", {}},
                {T::Label, "lblStatus", -1, "", 200, 8, 120, 20, "待機", {}},
                {T::PictureBox, "picView", -1, "", 250, 40, 200, 100, "",
                 {{"ScaleMode", vbPixels}, {"BackColor", 0xFFFFFF}, {"OLEDropMode", 1}}},
                {T::Timer, "timTick", -1, "", 0, 0, 0, 0, "", {{"Interval", 0}, {"Enabled", false}}},
                {T::TextBox, "txtCH", 0, "", 360, 150, 40, 22, "0", {}},
            }};
        return d;
    }
    frmQt()
        : Form(design()),
          cmdGo(ctl<CommandButton>("cmdGo")),
          chkRaw(ctl<CheckBox>("chkRaw")),
          fraMode(ctl<Frame>("fraMode")),
          optA(ctl<OptionButton>("optA")),
          optB(ctl<OptionButton>("optB")),
          txtName(ctl<TextBox>("txtName")),
          lstItems(ctl<ListBox>("lstItems")),
          cmbFreq(ctl<ComboBox>("cmbFreq")),
          lblStatus(ctl<Label>("lblStatus")),
          picView(ctl<PictureBox>("picView")),
          timTick(ctl<Timer>("timTick")),
          txtCH(array<TextBox>("txtCH")) {
        cmdGo.Click.connect([this] { log.push_back("cmdGo_Click"); });
        chkRaw.Click.connect([this] { log.push_back("chkRaw_Click " + std::to_string(chkRaw.Value())); });
        optB.Click.connect([this] { log.push_back("optB_Click"); });
        txtName.Change.connect([this] { log.push_back("txtName_Change " + txtName.Text()); });
        txtName.GotFocus.connect([this] { log.push_back("txtName_GotFocus"); });
        lstItems.Click.connect([this] { log.push_back("lstItems_Click " + std::to_string(lstItems.ListIndex())); });
        cmbFreq.Click.connect([this] { log.push_back("cmbFreq_Click " + std::to_string(cmbFreq.ListIndex())); });
        picView.Paint.connect([this] { ++paints; });
        picView.MouseDown.connect([this](int b, int s, float x, float y) {
            log.push_back("picView_MouseDown " + std::to_string(b) + " " + std::to_string(s) + " " +
                          std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
        });
        picView.Click.connect([this] { log.push_back("picView_Click"); });
        picView.OLEDragDrop.connect([this](DataObject& data, int& effect, int, int, float x, float y) {
            std::string line = "picView_OLEDragDrop";
            for (auto& f : data.Files) line += " " + f;
            line += " @" + std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y));
            log.push_back(line);
            effect = vbDropEffectCopy;
        });
        KeyDown.connect([this](int& key, int shift) {
            log.push_back("Form_KeyDown " + std::to_string(key) + " " + std::to_string(shift));
            if (key == key::Escape) key = 0;
        });
        txtName.KeyDown.connect([this](int& key, int shift) {
            log.push_back("txtName_KeyDown " + std::to_string(key) + " " + std::to_string(shift));
        });
        QueryUnload.connect([this](int& cancel, int mode) {
            log.push_back("Form_QueryUnload " + std::to_string(mode));
            cancel = cancelUnload;
        });
        Resize.connect([this] { log.push_back("Form_Resize"); });
    }

    CommandButton& cmdGo;
    CheckBox& chkRaw;
    Frame& fraMode;
    OptionButton& optA;
    OptionButton& optB;
    TextBox& txtName;
    ListBox& lstItems;
    ComboBox& cmbFreq;
    Label& lblStatus;
    PictureBox& picView;
    Timer& timTick;
    ControlArray<TextBox> txtCH;
    std::vector<std::string> log;
    int paints = 0;
    int cancelUnload = 0;

    int count(const std::string& entry) const {
        int n = 0;
        for (auto& l : log) n += l == entry;
        return n;
    }
};

// A dialog shown modally; OK hides it.
class frmAsk : public Form {
public:
    static frmAsk& instance() { return loadForm<frmAsk>(); }
    static const FormDesign& design() {
        static const FormDesign d{"frmAsk", "確認", 3000, 3000, 3000, 2000, {{"ScaleMode", vbPixels}},
                                  {{ControlType::CommandButton, "cmdOK", -1, "", 8, 8, 80, 24, "OK", {}}}};
        return d;
    }
    frmAsk() : Form(design()), cmdOK(ctl<CommandButton>("cmdOK")) {
        cmdOK.Click.connect([this] { Hide(); });
    }
    CommandButton& cmdOK;
};

class FrontEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        Runtime::get().reset();
        kernel::resetScreenMetrics();
        fe = std::make_unique<FrontEnd>();
        fe->install();
    }
    void TearDown() override {
        fe->uninstall();
        fe.reset();
        Runtime::get().reset();
    }
    // A shown test window, its events run.
    frmQt& shown() {
        frmQt& f = frmQt::instance();
        f.Show();
        settle();
        f.log.clear();
        return f;
    }
    static void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    QWidget* w(Control& c) const { return fe->widget(c); }
    // Where the user's keys go in the window: its focus widget, else the window.
    QWidget* keyTarget(Form& f) const {
        QWidget* window = fe->window(f);
        return window->focusWidget() ? window->focusWidget() : window;
    }
    // On the box of a check box or option button.
    static QPoint onIndicator(QWidget* b) { return QPoint(6, b->height() / 2); }
    FormWindow* win(Form& f) const { return fe->window(f); }

    std::unique_ptr<FrontEnd> fe;
};

}  // namespace qv::qt::test
