// The hard copy under the Qt front end: the main window, rendered by its widgets inside the
// drawn frame, printed into a real PDF file through the Qt printer port.
#include "platform/qt/QtBase.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/main/Acqisition.h"
#include "app/main/frmPrintPv.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Printer.h"
#include "platform/kernel/ScreenMetrics.h"
#include "platform/qt/FrontEnd.h"
#include "platform/qt/Printing.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "tests/platform/qt/QtTestSupport.h"

using namespace qv;

namespace {

TEST(PrintPvQt, TheMainWindowIsPrintedIntoAOnePagePdf) {
    qt::test::ensureApplication();
    forms::Runtime& rt = forms::Runtime::get();
    rt.reset();
    kernel::resetScreenMetrics();
    apptest::TempProgramFolder prog;
    apptest::StartableProgram start(prog);
    qt::FrontEnd fe;
    fe.install();
    // HOME at an empty folder: with no printer the PDF goes into "Documents", made there.
    const QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    const bool noPrinter = qt::installedPrinterCount() == 0;
    auto port = noPrinter ? qt::QtPrinterPort::preferred() : qt::QtPrinterPort::pdfFile((prog.dir() / "hardcopy.pdf").string());
    forms::setPrinterPort(port.get());
    forms::Printer.reset();

    Acqisition& w = Acqisition::instance();
    w.Show();
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    // Without a printer on the system the hard copy names the file it wrote.
    if (noPrinter) rt.scriptedDialogs().answerMsgBox(forms::vbOK);
    GPrintForms.fill(nullptr);
    GPrintForms[1] = &w;
    HardCopyForms();
    GPrintForms.fill(nullptr);
    qputenv("HOME", oldHome);
    const std::string pdf = port->lastFile();
    EXPECT_TRUE(!noPrinter || std::filesystem::path(pdf).parent_path() == home.filePath("Documents").toStdString()) << pdf;
    ASSERT_TRUE(std::filesystem::exists(pdf));
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    const auto pages = QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))
                           .globalMatch(QString::fromLatin1(bytes));
    int count = 0;
    for (auto it = pages; it.hasNext(); it.next()) ++count;
    EXPECT_EQ(count, 1);
    if (noPrinter) {
        ASSERT_EQ(rt.scriptedDialogs().msgBoxLog().size(), 1u);
        EXPECT_NE(rt.scriptedDialogs().msgBoxLog()[0].prompt.find(pdf), std::string::npos);
    }

    // The canvas is the window's outer size, its client area drawn by the widgets.
    const std::filesystem::path tmp = prog.dir() / "Tmp.bmp";
    ASSERT_TRUE(std::filesystem::exists(tmp));
    forms::Picture canvas = forms::LoadPicture(tmp.string());
    EXPECT_EQ(canvas.widthPixels(), static_cast<int>(w.Width() / 15 + 0.5));
    EXPECT_EQ(canvas.heightPixels(), static_cast<int>(w.Height() / 15 + 0.5));
    const forms::PixelRect mon = w.PBXMoniDisp.outerRect();
    const forms::WindowFrame frame = forms::windowFrame(w.BorderStyle);
    const int x = frame.border + (mon.left + mon.right) / 2;
    const int y = frame.border + frame.caption + (mon.top + mon.bottom) / 2;
    EXPECT_EQ(canvas.surface()->colorAt(x, y), 0xFFFFFFu);

    forms::setPrinterPort(nullptr);
    forms::Printer.reset();
    fe.uninstall();
    rt.reset();
}

}  // namespace
