#include "platform/forms/Printer.h"

#include <algorithm>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Globals.h"

namespace qv::forms {

using basic::raiseError;

PrinterObject Printer;

namespace {
PrinterPort* gPort = nullptr;

PrinterPort& port() {
    if (!gPort) raiseError(errPrinter, "Printer error");
    return *gPort;
}
}  // namespace

void setPrinterPort(PrinterPort* p) { gPort = p; }
PrinterPort* printerPort() { return gPort; }
int printerCount() { return gPort ? std::max(0, gPort->printerCount()) : 0; }

void RecordingPrinter::print(const PrintedDocument& doc) {
    if (failNext) {
        failNext = false;
        raiseError(errPrinter, "Printer error");
    }
    documents_.push_back(doc);
}

void PrinterObject::setOrientation(int o) {
    if (o != vbPRORPortrait && o != vbPRORLandscape) raiseError(basic::errInvalidProperty);
    orientation_ = o;
}

void PrinterObject::setScaleMode(int mode) {
    convertScale(1.0, mode, vbTwips, 96.0);  // refuses the modes we do not have (380)
    scaleMode_ = mode;
}

double PrinterObject::Width() const {
    PrinterPort& p = port();
    return orientation_ == vbPRORPortrait ? p.pageWidthTwips() : p.pageHeightTwips();
}

double PrinterObject::Height() const {
    PrinterPort& p = port();
    return orientation_ == vbPRORPortrait ? p.pageHeightTwips() : p.pageWidthTwips();
}

double PrinterObject::ScaleX(double v, int fromMode, int toMode) const {
    return convertScale(v, fromMode, toMode, port().pixelsPerInch());
}

double PrinterObject::ScaleY(double v, int fromMode, int toMode) const {
    return convertScale(v, fromMode, toMode, port().pixelsPerInch());
}

double PrinterObject::ScaleWidth() const { return ScaleX(Width(), vbTwips, scaleMode_); }
double PrinterObject::ScaleHeight() const { return ScaleY(Height(), vbTwips, scaleMode_); }

std::string PrinterObject::DeviceName() const { return port().deviceName(); }

double PrinterObject::toTwipsX(double v) const { return ScaleX(v, scaleMode_, vbTwips); }
double PrinterObject::toTwipsY(double v) const { return ScaleY(v, scaleMode_, vbTwips); }

PrintedPage& PrinterObject::page() {
    if (!pageOpen_) {
        page_ = PrintedPage{};
        page_.orientation = orientation_;
        page_.widthTwips = Width();
        page_.heightTwips = Height();
        pageOpen_ = true;
    }
    return page_;
}

void PrinterObject::PaintPicture(const Picture& p, double x, double y, double w, double h) {
    port();
    if (p.empty()) raiseError(basic::errObjectNotSet);
    PrintItem item;
    item.kind = PrintItem::Kind::Picture;
    item.x = toTwipsX(x);
    item.y = toTwipsY(y);
    item.width = w < 0 ? convertScale(p.Width(), vbHimetric, vbTwips, 96.0) : toTwipsX(w);
    item.height = h < 0 ? convertScale(p.Height(), vbHimetric, vbTwips, 96.0) : toTwipsY(h);
    item.image = p.surface();
    page().items.push_back(std::move(item));
}

void PrinterObject::Print(const std::string& text) {
    port();
    PrintItem item;
    item.kind = PrintItem::Kind::Text;
    item.x = toTwipsX(CurrentX);
    item.y = toTwipsY(CurrentY);
    item.text = text;
    item.font = font;
    item.color = ForeColor;
    page().items.push_back(std::move(item));
    // One line of the font: its point size in twips with the usual leading.
    CurrentX = 0;
    CurrentY += ScaleY(font.Size * 20.0 * 1.2, vbTwips, scaleMode_);
}

void PrinterObject::Line(double x1, double y1, double x2, double y2, Color color) {
    port();
    PrintItem item;
    item.kind = PrintItem::Kind::Line;
    item.x = toTwipsX(x1);
    item.y = toTwipsY(y1);
    item.x2 = toTwipsX(x2);
    item.y2 = toTwipsY(y2);
    item.color = color;
    page().items.push_back(std::move(item));
    CurrentX = x2;
    CurrentY = y2;
}

void PrinterObject::NewPage() {
    port();
    // A new page after an empty one still gives a (blank) page, as the original did.
    doc_.pages.push_back(page());
    pageOpen_ = false;
    CurrentX = 0;
    CurrentY = 0;
}

void PrinterObject::EndDoc() {
    PrinterPort& p = port();
    if (pageOpen_) doc_.pages.push_back(page_);
    PrintedDocument doc = std::move(doc_);
    doc_ = PrintedDocument{};
    pageOpen_ = false;
    CurrentX = 0;
    CurrentY = 0;
    if (!doc.pages.empty()) p.print(doc);
}

void PrinterObject::KillDoc() {
    doc_ = PrintedDocument{};
    pageOpen_ = false;
    CurrentX = 0;
    CurrentY = 0;
}

void PrinterObject::reset() {
    KillDoc();
    orientation_ = vbPRORPortrait;
    scaleMode_ = vbTwips;
    font = Font{};
    ForeColor = 0;
}

}  // namespace qv::forms
