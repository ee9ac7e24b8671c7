#include "platform/qt/Application.h"

#include "platform/qt/QtBase.h"

#include <QApplication>
#include <QScreen>
#include <clocale>
#include <iostream>
#include <memory>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Forms.h"
#include "platform/kernel/ScreenMetrics.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/FrontEnd.h"
#include "platform/qt/Printing.h"
#include "platform/qt/Style.h"

namespace qv::qt {

namespace {
// The screen in logical pixels at 96 DPI (Qt scales for high-DPI screens).
void takeScreenMetrics() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    kernel::ScreenMetrics m = kernel::screenMetrics();
    m.widthPx = screen->geometry().width();
    m.heightPx = screen->geometry().height();
    m.bitsPerPixel = screen->depth() > 0 ? screen->depth() : 32;
    kernel::setScreenMetrics(m);
}
}  // namespace

int runApplication(int argc, char** argv, const std::function<void()>& startup) {
    std::unique_ptr<QApplication> own;
    if (!QApplication::instance()) own = std::make_unique<QApplication>(argc, argv);
    // Qt set the user's locale; numbers in text keep "." whatever it is.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setQuitOnLastWindowClosed(false);
    takeScreenMetrics();
    registerFontSubstitutions();

    forms::Runtime& rt = forms::Runtime::get();
    FrontEnd frontEnd;
    QtDialogs dialogs(frontEnd);
    std::unique_ptr<QtPrinterPort> printer = QtPrinterPort::preferred();
    forms::PrinterPort* previousPrinter = forms::printerPort();
    frontEnd.install();
    rt.setDialogs(&dialogs);
    forms::setPrinterPort(printer.get());

    int code = 0;
    frontEnd.apply([&] {
        try {
            startup();
        } catch (const basic::RuntimeError&) {
            code = 1;
            throw;  // reported like an error in a handler
        } catch (const std::exception&) {
            code = 1;
            throw;
        }
    });
    if (code == 0) code = frontEnd.exec();

    forms::setPrinterPort(previousPrinter);
    rt.setDialogs(nullptr);
    frontEnd.uninstall();
    return code;
}

}  // namespace qv::qt
