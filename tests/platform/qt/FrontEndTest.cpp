#include "platform/qt/QtBase.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/forms/Clipboard.h"
#include "platform/gdi/Surface.h"
#include "platform/kernel/Paths.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Style.h"

namespace qv::qt::test {

TEST_F(FrontEndTest, AShownFormIsAWindowWithItsControlsInPlace) {
    frmQt& f = shown();
    FormWindow* window = win(f);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Qt ウィンドウ"));
    PixelRect client = f.clientRect();
    EXPECT_EQ(window->size(), QSize(client.width(), client.height()));
    EXPECT_EQ(window->pos(), QPoint(100, 100));  // 1500 twips

    EXPECT_EQ(w(f.cmdGo)->geometry(), QRect(8, 8, 80, 24));
    EXPECT_EQ(static_cast<QPushButton*>(w(f.cmdGo))->text(), QString::fromUtf8("実行"));
    // A control in a frame sits in the frame's widget, at its place inside the frame.
    EXPECT_EQ(w(f.optB)->parentWidget(), w(f.fraMode));
    EXPECT_EQ(w(f.optB)->geometry(), QRect(8, 42, 80, 20));
    EXPECT_TRUE(static_cast<QRadioButton*>(w(f.optA))->isChecked());
    EXPECT_EQ(w(f.picView)->geometry(), QRect(250, 40, 200, 100));
    EXPECT_EQ(fe->view(f.timTick), nullptr);

    f.Hide();
    settle();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FrontEndTest, AClickThroughQtFiresClickOnce) {
    frmQt& f = shown();
    QTest::mouseClick(w(f.cmdGo), Qt::LeftButton);
    EXPECT_EQ(f.count("cmdGo_Click"), 1);

    QTest::mouseClick(w(f.chkRaw), Qt::LeftButton, Qt::NoModifier, onIndicator(w(f.chkRaw)));
    EXPECT_EQ(f.chkRaw.Value(), 1);
    EXPECT_EQ(f.count("chkRaw_Click 1"), 1);
    EXPECT_TRUE(static_cast<QCheckBox*>(w(f.chkRaw))->isChecked());

    // Option buttons: exclusive in the model, and the widgets follow it.
    QTest::mouseClick(w(f.optB), Qt::LeftButton, Qt::NoModifier, onIndicator(w(f.optB)));
    EXPECT_TRUE(f.optB.Value());
    EXPECT_FALSE(f.optA.Value());
    EXPECT_EQ(f.count("optB_Click"), 1);
    EXPECT_FALSE(static_cast<QRadioButton*>(w(f.optA))->isChecked());
    QTest::mouseClick(w(f.optB), Qt::LeftButton, Qt::NoModifier, onIndicator(w(f.optB)));
    EXPECT_EQ(f.count("optB_Click"), 1) << "an option that is already on does not click again";
    EXPECT_TRUE(static_cast<QRadioButton*>(w(f.optB))->isChecked());
}

TEST_F(FrontEndTest, DisabledControlsAndContainersTakeNoClicks) {
    frmQt& f = shown();
    f.cmdGo.setEnabled(false);
    f.fraMode.setEnabled(false);
    settle();
    EXPECT_FALSE(w(f.cmdGo)->isEnabled());
    QTest::mouseClick(w(f.cmdGo), Qt::LeftButton);
    QTest::mouseClick(w(f.optB), Qt::LeftButton, Qt::NoModifier, onIndicator(w(f.optB)));
    EXPECT_EQ(f.count("cmdGo_Click"), 0);
    EXPECT_EQ(f.count("optB_Click"), 0);
    EXPECT_FALSE(f.optB.Value());
    // The model refuses too, whatever reaches the front end.
    EXPECT_FALSE(fe->act(f.optB, [&] { f.optB.userClick(); }));
    EXPECT_FALSE(f.optB.Value());
}

// Pixels of the rendered widget that are (nearly) pure red.
int redPixels(QWidget* widget) {
    QImage img = widget->grab().toImage();
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QColor c = img.pixelColor(x, y);
            n += c.red() > 200 && c.green() < 60 && c.blue() < 60;
        }
    return n;
}

TEST_F(FrontEndTest, DisabledTextBoxesChecksOptionsAndLabelsLookDisabled) {
    frmQt& f = shown();
    f.txtName.setText("WWWW");
    std::vector<Control*> controls{&f.txtName, &f.chkRaw, &f.optA, &f.lblStatus};
    for (Control* c : controls) c->setForeColor(0x0000FF);   // red text
    settle();
    for (Control* c : controls) EXPECT_GT(redPixels(w(*c)), 0) << c->Name() << " enabled";
    for (Control* c : controls) c->setEnabled(false);
    settle();
    for (Control* c : controls) {
        QWidget* widget = w(*c);
        EXPECT_FALSE(widget->isEnabled());
        EXPECT_NE(widget->palette().color(QPalette::Disabled, QPalette::WindowText),
                  widget->palette().color(QPalette::Active, QPalette::WindowText));
        EXPECT_EQ(redPixels(widget), 0) << c->Name() << " disabled: the text is greyed";
    }
    for (Control* c : controls) c->setEnabled(true);
    settle();
    for (Control* c : controls) EXPECT_GT(redPixels(w(*c)), 0) << c->Name() << " enabled again";
}

TEST_F(FrontEndTest, TypingFiresChangeForEachKeyAndKeyDownFirst) {
    frmQt& f = shown();
    QWidget* edit = w(f.txtName);
    f.txtName.SetFocus();
    settle();
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(f.txtName.Text(), "ab");
    std::vector<std::string> want = {"txtName_GotFocus", "Form_KeyDown 65 0", "txtName_KeyDown 65 0",
                                     "txtName_Change a", "Form_KeyDown 66 0", "txtName_KeyDown 66 0",
                                     "txtName_Change ab"};
    EXPECT_EQ(f.log, want);
    EXPECT_EQ(f.txtName.SelStart(), 2) << "the caret is where the user left it";
}

TEST_F(FrontEndTest, ModelChangesReachTheWidgets) {
    frmQt& f = shown();
    f.txtName.setText("xyz");
    EXPECT_EQ(static_cast<QLineEdit*>(w(f.txtName))->text(), QString("xyz"));
    EXPECT_EQ(f.count("txtName_Change xyz"), 1) << "code writes fire Change once, not again from Qt";

    f.chkRaw.setValue(2);
    EXPECT_EQ(static_cast<QCheckBox*>(w(f.chkRaw))->checkState(), Qt::PartiallyChecked);
    f.lblStatus.setCaption("計測中");
    EXPECT_EQ(static_cast<QLabel*>(w(f.lblStatus))->text(), QString::fromUtf8("計測中"));
    f.fraMode.setCaption("モード");
    EXPECT_EQ(static_cast<QGroupBox*>(w(f.fraMode))->title(), QString::fromUtf8("モード"));

    f.lstItems.AddItem("one");
    f.lstItems.AddItem("two");
    f.lstItems.setListIndex(1);
    auto* list = static_cast<QListWidget*>(w(f.lstItems));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), QString("two"));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(f.count("lstItems_Click 1"), 1);
    f.lstItems.Clear();
    EXPECT_EQ(list->count(), 0);

    f.cmbFreq.AddItem("1kHz");
    f.cmbFreq.AddItem("2kHz");
    f.cmbFreq.setListIndex(0);
    EXPECT_EQ(static_cast<QComboBox*>(w(f.cmbFreq))->currentText(), QString("1kHz"));

    f.cmdGo.Move(20, 30, 90, 25);
    EXPECT_EQ(w(f.cmdGo)->geometry(), QRect(20, 30, 90, 25));
    f.fraMode.Move(10, 80, 160, 70);
    EXPECT_EQ(w(f.optB)->geometry(), QRect(8, 42, 80, 20)) << "children move with their frame";
    f.cmdGo.setVisible(false);
    EXPECT_FALSE(w(f.cmdGo)->isVisible());
    f.setCaption("新しい題");
    EXPECT_EQ(win(f)->windowTitle(), QString::fromUtf8("新しい題"));
    f.setBackColor(0x0000FF);
    EXPECT_EQ(win(f)->palette().color(QPalette::Window), QColor(255, 0, 0));
}

TEST_F(FrontEndTest, UserSelectionInListsFiresClick) {
    frmQt& f = shown();
    f.lstItems.AddItem("one");
    f.lstItems.AddItem("two");
    f.cmbFreq.AddItem("1kHz");
    f.cmbFreq.AddItem("2kHz");
    settle();
    auto* list = static_cast<QListWidget*>(w(f.lstItems));
    QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    EXPECT_EQ(f.lstItems.ListIndex(), 1);
    EXPECT_EQ(f.count("lstItems_Click 1"), 1);

    auto* combo = static_cast<QComboBox*>(w(f.cmbFreq));
    Q_EMIT combo->activated(1);  // what choosing an item in the drop-down sends
    EXPECT_EQ(f.cmbFreq.ListIndex(), 1);
    EXPECT_EQ(f.count("cmbFreq_Click 1"), 1);
    Q_EMIT combo->activated(1);
    EXPECT_EQ(f.count("cmbFreq_Click 1"), 1) << "choosing the selected item again is no change";
}

TEST_F(FrontEndTest, KeysArriveWithTheirVirtualCodeAndMask) {
    frmQt& f = shown();
    QTest::keyClick(keyTarget(f), Qt::Key_5, Qt::KeypadModifier | Qt::ControlModifier);
    QTest::keyClick(keyTarget(f), Qt::Key_F4, Qt::ShiftModifier | Qt::AltModifier);
    QTest::keyClick(keyTarget(f), Qt::Key_Z, Qt::ControlModifier);
    // The modifier keys come down first, each with the mask it sets.
    std::vector<std::string> want = {"Form_KeyDown 17 2", "Form_KeyDown 101 2", "Form_KeyDown 16 1",
                                      "Form_KeyDown 18 5", "Form_KeyDown 115 5", "Form_KeyDown 17 2",
                                      "Form_KeyDown 90 2"};
    EXPECT_EQ(f.log, want);

    // With a focused control the form previews the key; a zeroed code stops it there.
    f.log.clear();
    f.txtName.SetFocus();
    settle();
    f.log.clear();
    QTest::keyClick(w(f.txtName), Qt::Key_Escape);
    QTest::keyClick(w(f.txtName), Qt::Key_Return);
    want = {"Form_KeyDown 27 0", "Form_KeyDown 13 0", "txtName_KeyDown 13 0"};
    EXPECT_EQ(f.log, want);
}

TEST_F(FrontEndTest, ClosingTheWindowAsksQueryUnloadFirst) {
    frmQt& f = shown();
    FormWindow* window = win(f);
    f.cancelUnload = 1;
    window->close();
    settle();
    EXPECT_EQ(f.count("Form_QueryUnload 0"), 1);
    EXPECT_NE(Runtime::get().findForm("frmQt"), nullptr);
    EXPECT_TRUE(window->isVisible());

    f.cancelUnload = 0;
    window->close();
    settle();
    EXPECT_EQ(Runtime::get().findForm("frmQt"), nullptr);
    EXPECT_EQ(fe->window(f), nullptr);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FrontEndTest, SizingTheWindowResizesTheForm) {
    frmQt& f = shown();
    f.log.clear();
    PixelRect outer = f.outerRect(), client = f.clientRect();
    win(f)->resize(400, 300);
    settle();
    EXPECT_DOUBLE_EQ(f.Width(), (400 + outer.width() - client.width()) * 15.0);
    EXPECT_DOUBLE_EQ(f.Height(), (300 + outer.height() - client.height()) * 15.0);
    EXPECT_EQ(f.count("Form_Resize"), 1);

    f.setWindowState(vbMinimized);
    settle();
    EXPECT_TRUE(win(f)->isMinimized());
    f.setWindowState(vbNormal);
    settle();
    EXPECT_EQ(win(f)->size(), QSize(400, 300));
}

TEST_F(FrontEndTest, PictureBoxMouseAndDropsUseItsClientCoordinates) {
    frmQt& f = shown();
    QWidget* pic = w(f.picView);
    ASSERT_EQ(f.picView.borderPixels(), 2);
    QTest::mousePress(pic, Qt::RightButton, Qt::ShiftModifier, QPoint(12, 7));
    QTest::mouseRelease(pic, Qt::RightButton, Qt::ShiftModifier, QPoint(12, 7));
    QTest::mouseClick(pic, Qt::LeftButton, Qt::NoModifier, QPoint(32, 22));
    std::vector<std::string> want = {"picView_MouseDown 2 1 10 5", "picView_MouseDown 1 0 30 20",
                                     "picView_Click"};
    EXPECT_EQ(f.log, want);

    f.log.clear();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/data/run1.KDAT"), QUrl::fromLocalFile("/data/b.SET"),
                  QUrl("https://example.invalid/x")});
    QDragEnterEvent enter(QPoint(52, 12), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pic, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(52, 12), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pic, &drop);
    EXPECT_TRUE(drop.isAccepted());
    want = {"picView_OLEDragDrop /data/run1.KDAT /data/b.SET @50,10"};
    EXPECT_EQ(f.log, want);

    f.picView.OLEDropMode = 0;
    QDropEvent refused(QPointF(52, 12), Qt::CopyAction, &data, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pic, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(f.log.size(), 1u);
}

TEST_F(FrontEndTest, AModalFormRunsANestedLoopAndBlocksTheOthers) {
    frmQt& f = shown();
    f.timTick.setInterval(5);
    int ticks = 0;
    f.timTick.Tick.connect([&] { ++ticks; });
    f.timTick.setEnabled(true);
    frmAsk& ask = frmAsk::instance();
    bool refused = false;
    QTimer::singleShot(60, [&] {
        refused = !fe->act(f.cmdGo, [&] { f.cmdGo.userClick(); });
        QTest::mouseClick(fe->widget(ask.cmdOK), Qt::LeftButton);
    });
    ask.Show(vbModal);
    EXPECT_FALSE(ask.Visible());
    EXPECT_TRUE(refused) << "the other window takes no input while the dialog is modal";
    EXPECT_EQ(f.count("cmdGo_Click"), 0);
    EXPECT_GT(ticks, 2) << "timers keep running in the modal loop";
}

TEST_F(FrontEndTest, MessageBoxesAnswerWithTheButtonPressedAndTimersRun) {
    QtDialogs dialogs(*fe);
    Runtime::get().setDialogs(&dialogs);
    frmQt& f = shown();
    f.timTick.setInterval(5);
    int ticks = 0;
    f.timTick.Tick.connect([&] { ++ticks; });
    f.timTick.setEnabled(true);
    QString seenText, seenTitle;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        seenText = box->text();
        seenTitle = box->windowTitle();
        // The box stays up until the timer has ticked a few times under it (or 5 s have gone,
        // and the count below fails): a fixed wait is too short on a loaded machine.
        auto* poll = new QTimer(box);
        QObject::connect(poll, &QTimer::timeout, box, [&ticks, box, waited = 0]() mutable {
            waited += 5;
            if (ticks > 2 || waited >= 5000) box->button(QMessageBox::Cancel)->click();
        });
        poll->start(5);
    });
    int result = MsgBox("適用しますか?\r\nはい", vbOKCancel, "適用");
    EXPECT_EQ(result, vbCancel);
    EXPECT_EQ(seenText, QString::fromUtf8("適用しますか?\nはい"));
    EXPECT_EQ(seenTitle, QString::fromUtf8("適用"));
    EXPECT_GT(ticks, 2);

    whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(MsgBox("done"), vbOK);
    Runtime::get().setDialogs(nullptr);
}

TEST_F(FrontEndTest, InputBoxesAndFileDialogsReturnWhatTheUserGave) {
    QtDialogs dialogs(*fe);
    Runtime::get().setDialogs(&dialogs);
    whenModal<QInputDialog>([](QInputDialog* d) {
        EXPECT_EQ(d->textValue(), QString("10"));
        d->setTextValue(QString::fromUtf8("２０"));
        d->accept();
    });
    EXPECT_EQ(InputBox("回数", "設定", "10"), "２０");
    whenModal<QInputDialog>([](QInputDialog* d) { d->reject(); });
    EXPECT_EQ(InputBox("回数"), "") << "cancelled";

    QTemporaryDir dir;
    QString chosen = dir.filePath("run1.Kdat");
    whenModal<QFileDialog>([chosen](QFileDialog* d) {
        EXPECT_EQ(d->nameFilters(), QStringList({"Data (*.Kdat)", "All (*.*)"}));
        d->selectFile(chosen);
        static_cast<QDialog*>(d)->accept();  // as the Save button does
    });
    FileDialogRequest request;
    request.save = true;
    request.title = "保存";
    request.filter = "Data|*.Kdat|All|*.*";
    request.initDir = ss(dir.path());
    auto path = FileDialog(request);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(kernel::toLinuxPath(*path), ss(chosen));
    Runtime::get().setDialogs(nullptr);
}

TEST_F(FrontEndTest, ArrayElementsContainersAndEnd) {
    frmQt& f = shown();
    TextBox& ch1 = f.txtCH.Load(1);
    ASSERT_NE(w(ch1), nullptr);
    EXPECT_FALSE(w(ch1)->isVisible()) << "a loaded element starts hidden";
    ch1.Move(360, 180, 40, 22);
    ch1.setVisible(true);
    settle();
    EXPECT_TRUE(w(ch1)->isVisible());
    EXPECT_EQ(w(ch1)->geometry(), QRect(360, 180, 40, 22));
    EXPECT_EQ(static_cast<QLineEdit*>(w(ch1))->text(), QString("0"));
    QPointer<QWidget> gone(w(ch1));
    f.txtCH.Unload(1);
    EXPECT_EQ(fe->view(ch1), nullptr);
    EXPECT_TRUE(gone.isNull() || !gone->isVisible());

    f.fraMode.setVisible(false);
    settle();
    EXPECT_FALSE(w(f.optA)->isVisible()) << "hidden along the container";
    f.fraMode.setVisible(true);
    settle();
    EXPECT_TRUE(w(f.optA)->isVisible());

    // End in a handler: the windows go away with the forms, and nothing of them is left.
    f.cmdGo.Click.connect([] { End(); });
    QTest::mouseClick(w(f.cmdGo), Qt::LeftButton);
    EXPECT_TRUE(Runtime::get().ended());
    EXPECT_TRUE(Runtime::get().Forms().empty());
}

}  // namespace qv::qt::test

namespace qv::qt::test {

TEST_F(FrontEndTest, AMetafileOnTheClipboardReachesTheSystemAsEmfAndPng) {
    auto picture = std::make_shared<gdi::Surface>(4, 2, 0x0000FF);
    forms::Clipboard.SetMetafile({1, 0, 0, 0, 9}, picture);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data("image/emf").size(), 5);
    const QImage png = QImage::fromData(data->data("image/png"), "PNG");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(4, 2));
    EXPECT_EQ(png.pixelColor(1, 1), QColor(255, 0, 0));
    forms::Clipboard.Clear();
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"));
}

}  // namespace qv::qt::test
