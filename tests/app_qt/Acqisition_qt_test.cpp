// The main window as a person sees it: shown through the Qt front end (offscreen), grabbed and
// saved as a PNG in the test's output folder "app_qt" under the working folder.
#include "platform/qt/QtBase.h"

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/camera/frmCAMDisp.h"
#include "app/common/modIniFile.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Forms.h"
#include "platform/kernel/ScreenMetrics.h"
#include "platform/qt/Application.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/FrontEnd.h"
#include "tests/app/main/RunningProgram_testsupport.h"
#include "tests/app/common/IniSet_testsupport.h"

using namespace qv;

namespace {

void ensureApplication() {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_app_qt";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// The program in a temporary folder, started from an empty runtime and left with one.
class AcqisitionQt : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        forms::Runtime::get().reset();
        kernel::resetScreenMetrics();
    }
    void TearDown() override { forms::Runtime::get().reset(); }
    apptest::TempProgramFolder prog;
    apptest::StartableProgram start{prog};
};

TEST_F(AcqisitionQt, MainWindowShowsAsDesignedAndIsSavedAsPng) {
    qt::FrontEnd fe;
    fe.install();

    Acqisition& w = Acqisition::instance();
    w.Show();
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    qt::FormWindow* window = fe.window(w);
    ASSERT_NE(window, nullptr);
    const QImage shot = window->grab().toImage();
    const forms::PixelRect client = w.clientRect();
    EXPECT_EQ(shot.width(), client.width());
    EXPECT_EQ(shot.height(), client.height());

    // The monitor is white in the middle; the status label light grey; the panels between
    // them are drawn in other colours, so the picture is not one flat colour.
    const auto at = [&](const forms::Control& c, double fx, double fy) {
        const forms::PixelRect r = c.outerRect();
        return shot.pixelColor(r.left + static_cast<int>(r.width() * fx),
                               r.top + static_cast<int>(r.height() * fy));
    };
    EXPECT_EQ(at(w.PBXMoniDisp, 0.5, 0.5), QColor(255, 255, 255));
    EXPECT_EQ(at(w.LBLStatus, 0.1, 0.5), QColor(0xE0, 0xE0, 0xE0));
    int differing = 0;
    const QColor first = shot.pixelColor(0, 0);
    for (int y = 0; y < shot.height(); y += 7)
        for (int x = 0; x < shot.width(); x += 7) differing += shot.pixelColor(x, y) != first;
    EXPECT_GT(differing, 1000);

    // The caption of a disabled check box is grey, of an enabled one black.
    const auto darkest = [&](const forms::PixelRect& r, int d = 255) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left + 16; x < r.right; ++x) d = std::min(d, qGray(shot.pixel(x, y)));
        return d;
    };
    EXPECT_TRUE(!w.chkL2L.Enabled() && darkest(w.chkL2L.outerRect()) > 100 && darkest(w.chkDispRaw.outerRect()) < 40);
    const std::filesystem::path out = std::filesystem::current_path() / "app_qt";
    std::filesystem::create_directories(out);
    const std::filesystem::path file = out / "Acqisition.png";
    ASSERT_TRUE(shot.save(QString::fromStdString(file.string()), "PNG"));
    EXPECT_GT(std::filesystem::file_size(file), 1000u);

    fe.uninstall();
}

// The main window closed while a playback runs, the exit confirmed in the real message box: the
// program ends as at any exit, with status 0 and the windows' placement kept.
TEST_F(AcqisitionQt, AConfirmedCloseDuringAPlaybackEndsTheProgram) {
    apptest::copySample(prog, "Sample");
    QTimer answer;  // OK to every box
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::Ok)->click();
    });
    answer.start(20);
    bool playing = false;
    const int rc = qt::runApplication(0, nullptr, [&] {
        Acqisition::instance().Show();
        QTimer::singleShot(300, [&] {
            forms::Runtime::get().post([&] {
                Acqisition& w = Acqisition::instance();
                w.txtFName.setText(prog.win("Sample"));
                w.cmdLoad_Click();
                frmCAMDisp& cam = frmCAMDisp::instance();
                cam.txtEndTime.setText("60");
                QTimer::singleShot(300, [&] {
                    playing = GAcqParam.ModeString == "Play";
                    for (QWidget* top : QApplication::topLevelWidgets())
                        if (auto* window = qobject_cast<qt::FormWindow*>(top); window && window->form() == &w) window->close();
                });
                cam.cmdPlay2.Click.raise();
            });
        });
    });
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(playing);
    EXPECT_TRUE(forms::Runtime::get().ended());
    IniPathGuard ini(ProgramFile("Tolvane.ini"));
    EXPECT_NE(ReadIniString("Acqisition", "Acqisition.Left", ""), "");
}

}  // namespace
