#include "platform/qt/QtBase.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/qt/Application.h"

namespace qv::qt::test {

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        Runtime::get().reset();
    }
    void TearDown() override {
        Runtime::get().reset();
        kernel::resetScreenMetrics();
    }
};

TEST_F(ApplicationTest, RunsTheStartupThenTheLoopUntilEnd) {
    int ticks = 0;
    std::string point;
    bool hostDuringStartup = false;
    std::setlocale(LC_NUMERIC, "C.UTF-8");  // as a user's locale may have set it
    std::string numeric;
    int rc = runApplication(0, nullptr, [&] {
        frmQt& f = frmQt::instance();
        f.Show();
        hostDuringStartup = !Runtime::get().isHeadless();
        point = std::localeconv()->decimal_point;
        numeric = std::setlocale(LC_NUMERIC, nullptr);
        f.timTick.Tick.connect([&] {
            if (++ticks == 3) Runtime::get().post([] { End(); });
        });
        f.timTick.setInterval(5);
        f.timTick.setEnabled(true);
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(hostDuringStartup);
    EXPECT_EQ(point, ".");
    EXPECT_EQ(numeric, "C");
    EXPECT_TRUE(Runtime::get().Forms().empty());
    EXPECT_TRUE(Runtime::get().isHeadless()) << "the front end lets go of the runtime";
    EXPECT_EQ(printerPort(), nullptr);
}

TEST_F(ApplicationTest, TheLoopEndsWhenTheLastFormIsUnloaded) {
    bool unloaded = false;
    int rc = runApplication(0, nullptr, [&] {
        frmQt& f = frmQt::instance();
        f.Show();
        QTimer::singleShot(30, [&unloaded] {
            if (Form* f = Runtime::get().findForm("frmQt")) unloaded = Unload(*f);
        });
    });
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(unloaded);
    EXPECT_FALSE(Runtime::get().ended());
}

namespace {
// Clicks the test window's widget of type W through Qt, as the user would.
template <class W>
void clickThroughQt() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<FormWindow*>(top); window && window->form())
            if (auto* target = window->findChild<W*>())
                QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(6, target->height() / 2));
}
}  // namespace

TEST_F(ApplicationTest, EndInsideANestedLoopStopsTheCodeThatWaited) {
    bool after = false;
    int rc = runApplication(0, nullptr, [&] {
        frmQt& f = frmQt::instance();
        f.Show();
        f.chkRaw.Click.connect([] { End(); });
        f.cmdGo.Click.connect([&] {
            QTimer::singleShot(10, [] { clickThroughQt<QCheckBox>(); });
            for (int i = 0; i < 100000; ++i) DoEvents();  // End arrives in here
            after = true;
        });
        QTimer::singleShot(10, [] { clickThroughQt<QPushButton>(); });
        // Should End never come, the test still ends.
        f.timTick.Tick.connect([&f] { Runtime::get().post([&f] { Unload(f); }); });
        f.timTick.setInterval(3000);
        f.timTick.setEnabled(true);
    });
    EXPECT_EQ(rc, 0);
    EXPECT_FALSE(after) << "the handler that waited did not go on after End";
    EXPECT_TRUE(Runtime::get().ended());
}

}  // namespace qv::qt::test
