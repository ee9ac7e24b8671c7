// Ctrl+V typed into every multi-line box of every window under the Qt front end (offscreen). An
// empty clipboard (cleared, or data without any format, as after a login) crashed the toolkit's
// plain-text editor: the text stays. Text arrives with its line breaks and one Change, unless locked.
#include "platform/qt/QtBase.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/FormWindow.h"
#include "platform/qt/FrontEnd.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/app/main/ProgramWindows_testsupport.h"
#include "tests/platform/qt/QtTestSupport.h"

using namespace qv;

namespace {

// Qt's events and the program's posted work and timers, at least once, for ms or until done().
void runFor(int ms, const std::function<bool()>& done = [] { return false; }) {
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents();
        forms::Runtime::get().processPending();
    } while (t.elapsed() < ms && !done());
}

class MultiLinePasteQt : public ::testing::TestWithParam<size_t> {
protected:
    void SetUp() override {
        qt::test::ensureApplication();
        forms::Runtime::get().reset();
        kernel::resetScreenMetrics();
        fe = std::make_unique<qt::FrontEnd>();
        fe->install();
        Acqisition::instance().Show();
        runFor(5000, [] { return !Acqisition::instance().timBoot.Enabled(); });
    }
    void TearDown() override {
        fe->uninstall();
        forms::Runtime::get().reset();
    }
    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
    std::unique_ptr<qt::FrontEnd> fe;
};

TEST_P(MultiLinePasteQt, EmptyClipboardChangesNothingAndTextArrivesOnce) {
    forms::Form& f = apptest::kProgramWindows[GetParam()].open();
    runFor(300);  // its re-layout after the first resize, which may clear a message
    QClipboard* clipboard = QGuiApplication::clipboard();
    std::vector<forms::TextBox*> boxes;
    for (forms::Control* c : f.Controls())
        if (auto* box = dynamic_cast<forms::TextBox*>(c); box && box->MultiLine) boxes.push_back(box);
    ASSERT_FALSE(boxes.empty());
    for (forms::TextBox* box : boxes) {
        auto* edit = qobject_cast<QPlainTextEdit*>(fe->widget(*box));
        ASSERT_NE(edit, nullptr) << box->Name();
        int changes = 0;
        const forms::ScopedConnection counting = box->Change.connect([&changes] { ++changes; });
        fe->window(f)->activateWindow();
        edit->setFocus(Qt::MouseFocusReason);
        runFor(0);
        ASSERT_EQ(QApplication::focusWidget(), edit) << box->Name();
        edit->moveCursor(QTextCursor::End);
        const std::string before = box->Text();
        for (int clip = 0; clip < 3; ++clip) {
            if (clip == 0) clipboard->clear();
            else if (clip == 1) clipboard->setMimeData(new QMimeData);
            else clipboard->setText(QString::fromUtf8("一行目\n二行目"));
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent key(type, Qt::Key_V, Qt::ControlModifier);
                QApplication::sendEvent(edit, &key);
            }
            runFor(0);
            const bool arrives = clip == 2 && !box->Locked;
            const std::string what = box->Name() + " paste " + std::to_string(clip);
            EXPECT_EQ(box->Text(), arrives ? before + "一行目\r\n二行目" : before) << what;
            EXPECT_EQ(changes, arrives ? 1 : 0) << what;
        }
    }
}

// The windows whose design holds a multi-line box.
std::vector<size_t> withMultiLineBoxes() {
    std::vector<size_t> out;
    for (size_t i = 0; i < std::size(apptest::kProgramWindows); ++i)
        for (const forms::ControlDesign& c : apptest::kProgramWindows[i].design().controls)
            if (std::count(c.props.begin(), c.props.end(), forms::DesignProp{"MultiLine", true})) {
                out.push_back(i);
                break;
            }
    return out;
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, MultiLinePasteQt, ::testing::ValuesIn(withMultiLineBoxes()),
                         [](const auto& info) {
                             return apptest::windowTestName(apptest::kProgramWindows[info.param], info.param);
                         });

}  // namespace
