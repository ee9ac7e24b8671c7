#include "platform/qt/QtBase.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "QtTestSupport.h"
#include "platform/basic/RuntimeError.h"
#include "platform/qt/Printing.h"
#include "platform/qt/Style.h"

namespace qv::qt::test {

namespace {
// A picture: red on the left half, blue on the right.
Picture halves(int w, int h) {
    auto s = std::make_shared<gdi::Surface>(w, h, 0x0000FF);
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x) s->row(y)[x] = gdi::colorToPixel(0xFF0000);
    return Picture(s);
}

int pageCount(const QByteArray& pdf) {
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") +
                            pdf.count("/Type /Page ") + pdf.count("/Type /Page/") + pdf.count("/Type /Page>"));
}

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        Printer.reset();
    }
    void TearDown() override {
        setPrinterPort(nullptr);
        Printer.reset();
    }
    QTemporaryDir dir;
};
}  // namespace

TEST_F(PrintingTest, APageOfAPictureBecomesAPdfFile) {
    std::string path = ss(dir.filePath("hardcopy.pdf"));
    auto port = QtPrinterPort::pdfFile(path);
    setPrinterPort(port.get());
    Printer.setOrientation(vbPRORLandscape);
    // A4 without margins: the landscape page is 297 mm wide.
    EXPECT_NEAR(Printer.ScaleWidth(), 297 / 25.4 * 1440, 20);
    EXPECT_NEAR(Printer.ScaleHeight(), 210 / 25.4 * 1440, 20);
    Printer.PaintPicture(halves(40, 20), 0, 0, 2880, 1440);
    Printer.EndDoc();

    QFile file(qs(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pageCount(pdf), 1);
    EXPECT_TRUE(pdf.contains("/Image")) << "the picture is in the page";
    EXPECT_FALSE(QFile::exists(qs(path + ".part")));
    EXPECT_EQ(port->lastFile(), path);
}

TEST_F(PrintingTest, PrinterCountIsTheSystemsWhateverThePortWritesTo) {
    auto port = QtPrinterPort::pdfFile(ss(dir.filePath("count.pdf")));
    setPrinterPort(port.get());
    EXPECT_EQ(printerCount(), installedPrinterCount());
    if (auto system = QtPrinterPort::systemPrinter()) {
        setPrinterPort(system.get());
        EXPECT_GE(printerCount(), 1);
        EXPECT_EQ(printerCount(), installedPrinterCount());
        setPrinterPort(nullptr);
    }
}

TEST_F(PrintingTest, PagesKeepTheirOwnOrientation) {
    std::string path = ss(dir.filePath("two.pdf"));
    auto port = QtPrinterPort::pdfFile(path);
    setPrinterPort(port.get());
    Printer.PaintPicture(halves(4, 4), 0, 0, 1440, 1440);
    Printer.NewPage();
    Printer.setOrientation(vbPRORLandscape);
    Printer.PaintPicture(halves(4, 4), 0, 0, 1440, 1440);
    Printer.EndDoc();
    QFile file(qs(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray pdf = file.readAll();
    EXPECT_EQ(pageCount(pdf), 2);
    // One portrait and one landscape media box (points, A4 595 x 842).
    QRegularExpression box(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])");
    std::vector<std::pair<double, double>> boxes;
    for (auto it = box.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        auto m = it.next();
        boxes.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_LT(boxes[0].first, boxes[0].second);
    EXPECT_GT(boxes[1].first, boxes[1].second);
}

TEST_F(PrintingTest, AFileThatCannotBeWrittenIsAPrinterError) {
    auto port = QtPrinterPort::pdfFile(ss(dir.filePath("no/such/folder/x.pdf")));
    setPrinterPort(port.get());
    Printer.PaintPicture(halves(4, 4), 0, 0, 1440, 1440);
    try {
        Printer.EndDoc();
        FAIL() << "printing into a missing folder succeeded";
    } catch (const basic::RuntimeError& e) {
        EXPECT_EQ(e.number(), errPrinter);
    }
}

TEST_F(PrintingTest, PdfFolderNamesEachDocumentAnew) {
    auto port = QtPrinterPort::pdfFolder(ss(dir.path()));
    setPrinterPort(port.get());
    Printer.PaintPicture(halves(4, 4), 0, 0, 1440, 1440);
    Printer.EndDoc();
    std::string first = port->lastFile();
    Printer.PaintPicture(halves(4, 4), 0, 0, 1440, 1440);
    Printer.EndDoc();
    EXPECT_NE(first, port->lastFile());
    EXPECT_TRUE(QFile::exists(qs(first)));
    EXPECT_TRUE(QFile::exists(qs(port->lastFile())));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(RenderPage, ItemsLandAtTheirPlaceOnThePage) {
    ensureApplication();
    PrintedPage page;
    page.widthTwips = 2880;  // 2 x 2 inches
    page.heightTwips = 2880;
    PrintItem pic;
    pic.kind = PrintItem::Kind::Picture;
    pic.x = 720;  // half an inch in, an inch wide
    pic.y = 720;
    pic.width = 1440;
    pic.height = 720;
    pic.image = halves(10, 10).surface();
    page.items.push_back(pic);
    PrintItem line;
    line.kind = PrintItem::Kind::Line;
    line.x = 0;
    line.y = 2592;  // 1.8 inch
    line.x2 = 2880;
    line.y2 = 2592;
    line.color = 0x00FF00;
    page.items.push_back(line);

    QImage img = renderPage(page, 100);
    ASSERT_EQ(img.size(), QSize(200, 200));
    EXPECT_EQ(QColor(img.pixel(25, 25)), QColor(Qt::white));
    EXPECT_EQ(QColor(img.pixel(60, 75)), QColor(255, 0, 0));   // left half of the picture
    EXPECT_EQ(QColor(img.pixel(140, 75)), QColor(0, 0, 255));  // right half
    EXPECT_EQ(QColor(img.pixel(160, 75)), QColor(Qt::white));  // past its right edge
    EXPECT_EQ(QColor(img.pixel(60, 110)), QColor(Qt::white));  // below it
    EXPECT_EQ(QColor(img.pixel(100, 180)), QColor(0, 255, 0));
}

}  // namespace qv::qt::test
