#pragma once
// The Printer object: a page in the printer's scale mode (twips by default), drawing of
// pictures scaled into a rectangle, text and lines, new page and end of document. A document
// goes to a pluggable port: the front end's real printer or PDF writer, or the recording
// printer that keeps the composed pages for tests. Any failure is the printer error 482.

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Picture.h"
#include "platform/forms/Types.h"

namespace qv::forms {

constexpr int vbPRORPortrait = 1;
constexpr int vbPRORLandscape = 2;
constexpr int errPrinter = 482;

struct PrintItem {
    enum class Kind { Picture, Text, Line };
    Kind kind = Kind::Picture;
    // Twips from the printable area's top-left corner. A line runs from (x, y) to (x2, y2).
    double x = 0, y = 0, width = 0, height = 0, x2 = 0, y2 = 0;
    std::shared_ptr<const gdi::Surface> image;
    std::string text;
    Font font;
    Color color = 0;
};

struct PrintedPage {
    int orientation = vbPRORPortrait;
    double widthTwips = 0, heightTwips = 0;  // printable area of this page
    std::vector<PrintItem> items;
};

struct PrintedDocument {
    std::vector<PrintedPage> pages;
};

class PrinterPort {
public:
    virtual ~PrinterPort() = default;
    virtual std::string deviceName() const = 0;
    // The printable area of a portrait page in twips (landscape swaps them).
    virtual double pageWidthTwips() const = 0;
    virtual double pageHeightTwips() const = 0;
    // The device's resolution, for the pixel scale mode.
    virtual double pixelsPerInch() const = 0;
    // Prints a finished document; raises 482 when the printer fails.
    virtual void print(const PrintedDocument& doc) = 0;
    // How many printers the system has (Printers.Count). A port may print where there is
    // none (to a file), so this is the system's number, not whether printing works.
    virtual int printerCount() const { return 1; }
    // The file the last document went to when the port writes files, else "".
    virtual std::string lastOutputFile() const { return {}; }
};

// Keeps every printed document. By default an A4 page without margins at 600 dots an inch.
class RecordingPrinter : public PrinterPort {
public:
    std::string deviceName() const override { return name; }
    double pageWidthTwips() const override { return widthTwips; }
    double pageHeightTwips() const override { return heightTwips; }
    double pixelsPerInch() const override { return dpi; }
    void print(const PrintedDocument& doc) override;
    int printerCount() const override { return printers; }
    std::string lastOutputFile() const override { return documents_.empty() ? std::string() : outputFile; }

    const std::vector<PrintedDocument>& documents() const { return documents_; }
    // The next print fails with error 482 (a printer that is off line).
    bool failNext = false;
    std::string name = "Recording printer";
    double widthTwips = 210.0 / 25.4 * 1440.0;
    double heightTwips = 297.0 / 25.4 * 1440.0;
    double dpi = 600;
    int printers = 1;
    // What lastOutputFile reports once a document was kept (a port that writes files).
    std::string outputFile;

private:
    std::vector<PrintedDocument> documents_;
};

class PrinterObject {
public:
    // 1 portrait, 2 landscape (else 380). Takes effect for the next page begun.
    int Orientation() const { return orientation_; }
    void setOrientation(int o);
    int ScaleMode() const { return scaleMode_; }
    void setScaleMode(int mode);
    // The printable area in the scale mode, for the current orientation.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // Page size in twips.
    double Width() const;
    double Height() const;
    double ScaleX(double v, int fromMode, int toMode) const;
    double ScaleY(double v, int fromMode, int toMode) const;
    std::string DeviceName() const;

    double CurrentX = 0, CurrentY = 0;
    Font font;
    Color ForeColor = 0;

    // Draws the picture into (x, y, w, h) in the scale mode; a negative size takes the
    // picture's own size.
    void PaintPicture(const Picture& p, double x, double y, double w = -1, double h = -1);
    // Text at CurrentX/CurrentY; CurrentY moves down a line, CurrentX back to 0.
    void Print(const std::string& text);
    void Line(double x1, double y1, double x2, double y2, Color color);
    void NewPage();
    // Sends the document (pages drawn so far) to the port.
    void EndDoc();
    void KillDoc();
    // The page being composed (nothing drawn yet: null).
    const PrintedPage* currentPage() const { return pageOpen_ ? &page_ : nullptr; }

    // Back to the defaults (tests).
    void reset();

private:
    PrintedPage& page();
    double toTwipsX(double v) const;
    double toTwipsY(double v) const;
    int orientation_ = vbPRORPortrait;
    int scaleMode_ = vbTwips;
    PrintedDocument doc_;
    PrintedPage page_;
    bool pageOpen_ = false;
};

extern PrinterObject Printer;

// Where printing goes; null means nowhere (Printers.Count = 0; printing raises 482).
// printerCount() is the port's count of the system's printers.
void setPrinterPort(PrinterPort* port);
PrinterPort* printerPort();
int printerCount();

}  // namespace qv::forms
