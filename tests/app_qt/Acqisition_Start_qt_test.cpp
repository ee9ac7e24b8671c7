// The program as a person starts it: the whole start on a temporary program folder under the
// Qt front end (offscreen), the boot timer run by Qt's own loop, the main window grabbed and
// saved as "app_qt/Quorvane_start.png" under the working folder.
#include "platform/qt/QtBase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Forms.h"
#include "platform/kernel/ScreenMetrics.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/FrontEnd.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/platform/qt/QtTestSupport.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

TEST(QuorvaneStartQt, StartsOnAFreshFolderAndShowsThirtyTwoChannelRows) {
    qt::test::ensureApplication();
    forms::Runtime::get().reset();
    kernel::resetScreenMetrics();
    apptest::TempProgramFolder prog;
    apptest::StartableProgram startable(prog);
    // All 32 channels recorded, so every channel row is shown.
    std::ofstream(prog.dir() / "SETTING.SET") << "[frmCondition.txtCH]\r\nText=1-32\r\n";
    kernel::setDriveFolder('C', (prog.dir() / "drive_c").string());
    qt::FrontEnd fe;
    fe.install();

    Acqisition& w = Acqisition::instance();
    w.Show();
    // Let the boot timer and the table timer run on Qt's loop.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) {
        QCoreApplication::processEvents();
        forms::Runtime::get().processPending();
    }
    EXPECT_FALSE(w.timBoot.Enabled());
    EXPECT_TRUE(Trelm::binding::isLoaded());
    EXPECT_EQ(w.Caption(), "Quorvane  (Ver6.24 #200129)  [Host]");

    qt::FormWindow* window = fe.window(w);
    ASSERT_NE(window, nullptr);
    const QImage shot = window->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    // The last channel row is shown below the first, inside the picture.
    EXPECT_EQ(GAcqCondition.lEndCH, 32);
    EXPECT_TRUE(w.CHKWaveNo(31).Visible());
    const forms::PixelRect first = w.CHKWaveNo(0).outerRect(), last = w.CHKWaveNo(31).outerRect();
    EXPECT_GT(last.top, first.top + 30 * 14);
    EXPECT_LT(last.bottom, shot.height());

    const fs::path out = fs::current_path() / "app_qt";
    fs::create_directories(out);
    const fs::path file = out / "Quorvane_start.png";
    ASSERT_TRUE(shot.save(QString::fromStdString(file.string()), "PNG"));
    EXPECT_GT(fs::file_size(file), 1000u);

    fe.uninstall();
    forms::Runtime::get().reset();
}

}  // namespace
