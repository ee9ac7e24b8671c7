#pragma once
// Printing through Qt Print Support: the composed pages of the Printer object go to a printer
// (through CUPS) or to a PDF file. Page drawing is shared with the print preview, which shows
// the same pages as images.

#include "platform/qt/QtBase.h"

#include <QImage>
#include <QPageLayout>
#include <memory>
#include <string>

#include "platform/forms/Printer.h"

class QPainter;

namespace qv::qt {

// Draws a composed page with the painter's origin at the printable area's top-left corner, on
// a device with dpiX x dpiY pixels an inch (twips -> device pixels).
void paintPage(QPainter& p, const forms::PrintedPage& page, double dpiX, double dpiY);
// The page's printable area as an image at dpi pixels an inch, white where nothing is drawn.
QImage renderPage(const forms::PrintedPage& page, double dpi);

// How many printers the system has (CUPS).
int installedPrinterCount();

class QtPrinterPort : public forms::PrinterPort {
public:
    // The system's default printer, or the first one installed; null when there is none.
    static std::unique_ptr<QtPrinterPort> systemPrinter();
    // Each document becomes the PDF file `path` (A4, no margins), replaced whole.
    static std::unique_ptr<QtPrinterPort> pdfFile(std::string path);
    // Each document becomes a new PDF file in `folder` (made when missing, else the home
    // folder), named after the program and the time.
    static std::unique_ptr<QtPrinterPort> pdfFolder(std::string folder);
    // The default printer, else PDF files in the user's documents folder (or home).
    static std::unique_ptr<QtPrinterPort> preferred();

    std::string deviceName() const override { return name_; }
    double pageWidthTwips() const override;
    double pageHeightTwips() const override;
    double pixelsPerInch() const override { return dpi_; }
    // Raises 482 with the reason when the document cannot be printed or written.
    void print(const forms::PrintedDocument& doc) override;
    // The printers installed on the system, whichever target this port writes to: with none,
    // the program disables its print buttons, and its direct calls still reach a PDF port.
    int printerCount() const override { return installedPrinterCount(); }
    // The file the last document went to (PDF output), else "".
    const std::string& lastFile() const { return lastFile_; }
    std::string lastOutputFile() const override { return lastFile_; }

private:
    enum class Target { Printer, PdfFile, PdfFolder };
    QtPrinterPort(Target target, std::string nameOrPath);
    std::string nextPdfPath() const;

    Target target_;
    std::string name_;    // printer name, or what a PDF port reports
    std::string path_;    // PDF file or folder
    QPageLayout layout_;  // portrait
    double dpi_ = 600;
    std::string lastFile_;
};

}  // namespace qv::qt
