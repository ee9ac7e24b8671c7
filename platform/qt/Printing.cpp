#include "platform/qt/Printing.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <cstdio>
#include <filesystem>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Globals.h"
#include "platform/qt/Style.h"
#include "platform/qt/SurfaceImage.h"

namespace qv::qt {

namespace {
[[noreturn]] void printerError(const std::string& why) {
    basic::raiseError(forms::errPrinter, "Printer error: " + why);
}

QPageLayout a4Portrait() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}
}  // namespace

void paintPage(QPainter& p, const forms::PrintedPage& page, double dpiX, double dpiY) {
    const double kx = dpiX / 1440.0, ky = dpiY / 1440.0;
    p.save();
    for (const forms::PrintItem& item : page.items) {
        switch (item.kind) {
            case forms::PrintItem::Kind::Picture: {
                if (!item.image) break;
                QImage img = surfaceImage(*item.image);
                if (img.isNull()) break;
                QRectF target(item.x * kx, item.y * ky, item.width * kx, item.height * ky);
                p.drawImage(target, img);
                break;
            }
            case forms::PrintItem::Kind::Text: {
                QFont f(qs(item.font.Name));
                // Points are device independent: the font's size on paper is its size in points.
                f.setPixelSize(std::max(1, static_cast<int>(item.font.Size * dpiY / 72.0 + 0.5)));
                f.setBold(item.font.Bold);
                f.setItalic(item.font.Italic);
                f.setUnderline(item.font.Underline);
                p.setFont(f);
                p.setPen(toQColor(item.color));
                QFontMetricsF fm(f, p.device());
                p.drawText(QPointF(item.x * kx, item.y * ky + fm.ascent()), qs(item.text));
                break;
            }
            case forms::PrintItem::Kind::Line:
                p.setPen(QPen(toQColor(item.color), 0));
                p.drawLine(QPointF(item.x * kx, item.y * ky), QPointF(item.x2 * kx, item.y2 * ky));
                break;
        }
    }
    p.restore();
}

QImage renderPage(const forms::PrintedPage& page, double dpi) {
    int w = std::max(1, static_cast<int>(page.widthTwips * dpi / 1440.0 + 0.5));
    int h = std::max(1, static_cast<int>(page.heightTwips * dpi / 1440.0 + 0.5));
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    int dpm = static_cast<int>(dpi / 0.0254 + 0.5);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    QPainter p(&img);
    paintPage(p, page, dpi, dpi);
    return img;
}

int installedPrinterCount() { return static_cast<int>(QPrinterInfo::availablePrinterNames().size()); }

QtPrinterPort::QtPrinterPort(Target target, std::string nameOrPath) : target_(target), layout_(a4Portrait()) {
    if (target == Target::Printer) {
        name_ = std::move(nameOrPath);
        QPrinter printer(QPrinterInfo::printerInfo(qs(name_)), QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Portrait);
        layout_ = printer.pageLayout();
        dpi_ = printer.resolution();
    } else {
        path_ = std::move(nameOrPath);
        name_ = "PDF: " + path_;
    }
}

std::unique_ptr<QtPrinterPort> QtPrinterPort::systemPrinter() {
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
        if (all.isEmpty()) return nullptr;
        info = all.front();
    }
    return std::unique_ptr<QtPrinterPort>(new QtPrinterPort(Target::Printer, ss(info.printerName())));
}

std::unique_ptr<QtPrinterPort> QtPrinterPort::pdfFile(std::string path) {
    return std::unique_ptr<QtPrinterPort>(new QtPrinterPort(Target::PdfFile, std::move(path)));
}

std::unique_ptr<QtPrinterPort> QtPrinterPort::pdfFolder(std::string folder) {
    return std::unique_ptr<QtPrinterPort>(new QtPrinterPort(Target::PdfFolder, std::move(folder)));
}

std::unique_ptr<QtPrinterPort> QtPrinterPort::preferred() {
    if (auto p = systemPrinter()) return p;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    return pdfFolder(ss(folder));
}

double QtPrinterPort::pageWidthTwips() const { return layout_.paintRect(QPageLayout::Point).width() * 20.0; }
double QtPrinterPort::pageHeightTwips() const { return layout_.paintRect(QPageLayout::Point).height() * 20.0; }

std::string QtPrinterPort::nextPdfPath() const {
    // A user without the folder (no "~/Documents") gets it made; where it cannot be made, the
    // file goes to the home folder.
    QString folder = qs(path_);
    if (!QDir().mkpath(folder)) folder = QDir::homePath();
    QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString base = QDir(folder).filePath(qs(forms::App.Title) + QChar('-') + stamp);
    QString path = base + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(path); ++n) path = base + QChar('-') + QString::number(n) + QStringLiteral(".pdf");
    return ss(path);
}

void QtPrinterPort::print(const forms::PrintedDocument& doc) {
    if (doc.pages.empty()) return;
    std::string finalPath, partPath;
    QPrinter printer(QPrinter::HighResolution);
    if (target_ == Target::Printer) {
        printer.setPrinterName(qs(name_));
        if (!printer.isValid()) printerError("the printer \"" + name_ + "\" is not available");
    } else {
        finalPath = target_ == Target::PdfFile ? path_ : nextPdfPath();
        // Written beside the target and renamed over it: a reader never sees half a document.
        partPath = finalPath + ".part";
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(qs(partPath));
        printer.setResolution(static_cast<int>(dpi_));
    }
    printer.setDocName(qs(forms::App.Title));
    auto orientation = [](const forms::PrintedPage& pg) {
        return pg.orientation == forms::vbPRORLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    };
    QPageLayout first = layout_;
    first.setOrientation(orientation(doc.pages.front()));
    printer.setPageLayout(first);

    auto fail = [&](const std::string& why) {
        if (!partPath.empty()) std::remove(partPath.c_str());
        printerError(why);
    };
    QPainter painter;
    if (!painter.begin(&printer)) fail("cannot start printing on " + name_);
    for (size_t i = 0; i < doc.pages.size(); ++i) {
        const forms::PrintedPage& page = doc.pages[i];
        if (i > 0) {
            printer.setPageOrientation(orientation(page));
            if (!printer.newPage()) {
                painter.end();
                fail("cannot begin page " + std::to_string(i + 1));
            }
        }
        paintPage(painter, page, printer.resolution(), printer.resolution());
    }
    bool ok = painter.end();
    if (!ok || printer.printerState() == QPrinter::Error) fail("the document could not be finished");
    if (!partPath.empty()) {
        std::error_code ec;
        std::filesystem::rename(partPath, finalPath, ec);
        if (ec) fail("cannot write " + finalPath + ": " + ec.message());
        lastFile_ = finalPath;
    }
}

}  // namespace qv::qt
