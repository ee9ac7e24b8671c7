// Drawing of a channel: the page trace into its band and the overlays over a page, all through
// the library's global view (VIEWSET binds the picture, MARGINSET and WINDOW map data units to
// pixels, LINETYPES picks the pen). Coordinates handed to the library are data units: x in
// points, y in the channel's units; distances meant in pixels go through CP2CX/CP2CY.
#include <algorithm>

#include "app/channel/CWave.h"
#include "app/common/IniSet.h"
#include "app/common/TrelmImports.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Controls.h"
#include "platform/gdi/Gdi.h"

namespace qv {

namespace {

using basic::CStr;

constexpr int32_t kBlack = 0x000000;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kGreen = 0x00FF00;
constexpr int32_t kBlue = 0xFF0000;
constexpr int32_t kSolid = 0;
constexpr int32_t kDotted = 2;

float f(double v) { return static_cast<float>(v); }

void line(double x1, double y1, double x2, double y2) {
    Trelm::MOVEDRAW(f(x1), f(y1), f(x2), f(y2));
}

// Texts go to the library as CP932; the numbers and captions drawn here are plain ASCII.
void text(double x, double y, const std::string& s) { Trelm::CPLOT(f(x), f(y), s.c_str()); }

void bind(forms::PictureBox& picture) { Trelm::VIEWSET(picture.hWnd(), picture.hDC()); }

// Width and height of a window's rectangle in pixels.
gdi::RECT windowRect(const forms::PictureBox& picture) {
    gdi::RECT r;
    gdi::GetWindowRect(picture.hWnd(), &r);
    return r;
}

// A window no single can span (a range box beyond the single range) gives a distance no
// coordinate can take: what is drawn with it falls outside the picture.
float perPixels(double low, double high, double pixelsAcross, int32_t pixels) {
    return static_cast<float>(basic::Divide(high - low, pixelsAcross) * pixels);
}

}  // namespace

forms::PictureBox& CWave::pictureOr(forms::PictureBox* picture) const {
    if (picture) return *picture;
    if (waveGraphAll_) return *waveGraphAll_;
    basic::raiseError(basic::errObjectNotSet);
}

float CWave::CP2CX(int32_t pixels, forms::PictureBox* picture, float& xmin, float& xmax) const {
    if (xmin == xmax) {
        xmin = 0.0f;
        xmax = static_cast<float>(sweepPoint_);
    }
    const gdi::RECT r = windowRect(pictureOr(picture));
    return perPixels(xmin, xmax, static_cast<double>(r.right) - r.left, pixels);
}

float CWave::CP2CY(int32_t pixels, forms::PictureBox* picture, float& ymin, float& ymax) const {
    if (ymin == ymax) {
        ymin = WindowLo();
        ymax = WindowHi();
    }
    const gdi::RECT r = windowRect(pictureOr(picture));
    return perPixels(ymin, ymax, static_cast<double>(r.bottom) - r.top, pixels);
}

float CWave::pixelsX(int32_t pixels, forms::PictureBox* picture) const {
    float lo = 0.0f, hi = 0.0f;
    return CP2CX(pixels, picture, lo, hi);
}

float CWave::pixelsY(int32_t pixels, forms::PictureBox* picture) const {
    float lo = 0.0f, hi = 0.0f;
    return CP2CY(pixels, picture, lo, hi);
}

void CWave::SetupView(int32_t& start, forms::PictureBox* picture) {
    if (start < 0) start = 0;
    forms::PictureBox& pic = pictureOr(picture);
    if (chDisp_ != 1) return;
    bind(pic);
    Trelm::LINETYPES(kSolid, kRed);
    // The view is always one page wide, whatever the overlay's run.
    setWindow(start, static_cast<double>(start) + sweepPoint_);
}

void CWave::setWindow(double x0, double x1) const {
    // WindowLo/WindowHi are the band's limits, or the channel's own range with CHWindow set.
    Trelm::WINDOW(f(x0), WindowLo(), f(x1), WindowHi());
}

bool CWave::beginPage(bool noDraw, forms::PictureBox* picture, int32_t marginLeft,
                      int32_t marginRight, int32_t marginTop, int32_t marginBottom) {
    forms::PictureBox* pic = picture ? picture : waveGraphAll_;
    if (noDraw || !pic || wave_.empty()) return false;
    bind(*pic);
    Trelm::MARGINSET(marginLeft, marginRight, marginTop, marginBottom);
    Trelm::LINETYPES(kSolid, kBlack);
    if (chDisp_ != 1) return false;
    Trelm::LINETYPES(bandStyle_, bandColor_);
    return true;
}

bool CWave::overlayRun(int32_t& start, int32_t& count) const {
    lowerToPTotal(count);
    if (start < 0) start = 0;
    // A run of no points (both cursors on one point, at the end of a play both on the last)
    // has no mean, extreme or peak to draw.
    return count > 0 && int64_t{start} + count <= pTotal_;
}

// ---- page drawing ----

void CWave::DispWaveAll3(int32_t lStartPoint, int32_t lDispPoint, bool noDraw,
                         forms::PictureBox* picture, int32_t marginLeft, int32_t marginRight,
                         int32_t marginTop, int32_t marginBottom, bool keepPosition) {
    if (!beginPage(noDraw, picture, marginLeft, marginRight, marginTop, marginBottom)) return;
    const int64_t last = static_cast<int64_t>(wave_.size()) - 1;
    if (lStartPoint < 0) {
        if (errRaise() && last < int64_t{lDispPoint} - 1)
            basic::raiseError(basic::errApplication, "lDispPoint が MsngWaveのサイズを超えています。");
        const float* run = runAt(0, lDispPoint);
        setWindow(0.0, chWindow_ == 0 ? lDispPoint : sweepPoint_);
        Trelm::DISPS(run, lDispPoint, 0, 0.0f, offsetY_);
        dispStart_ = 0;
        dispEnd_ = sweepPoint_;
        return;
    }
    if (errRaise() && last < int64_t{lStartPoint} + lDispPoint - 1)
        basic::raiseError(basic::errApplication,
                          "lStartPoint + lDispPoint が MsngWaveのサイズを超えています。");
    const float* run = runAt(lStartPoint, lDispPoint);
    setWindow(lStartPoint, static_cast<double>(lStartPoint) + lDispPoint);
    Trelm::DISPS(run, lDispPoint, 0, f(lStartPoint), offsetY_);
    if (!keepPosition) {
        dispEnd_ = sum32(lStartPoint, sweepPoint_);
        dispStart_ = lStartPoint;
    }
}

void CWave::drawPage(int32_t lStartPoint, bool noDraw, forms::PictureBox* picture,
                     int32_t marginLeft, int32_t marginRight, int32_t marginTop,
                     int32_t marginBottom, bool shiftNegative) {
    if (!beginPage(noDraw, picture, marginLeft, marginRight, marginTop, marginBottom)) return;
    // A negative start draws the page from point 0; at the end of the buffer the page is short.
    const int32_t from = std::max(lStartPoint, 0);
    const int64_t n = std::min<int64_t>(sweepPoint_, static_cast<int64_t>(wave_.size()) - from);
    const float* run = runAt(from, static_cast<int32_t>(n));
    setWindow(from, static_cast<double>(from) + sweepPoint_);
    const int32_t xoffset = lStartPoint < 0 && !shiftNegative ? 0 : lStartPoint;
    Trelm::DISPS2(run, static_cast<int32_t>(n), 0, f(xoffset), offsetY_);
    dispEnd_ = sum32(from, sweepPoint_);
    dispStart_ = from;
}

void CWave::DispWaveAll2(int32_t lStartPoint, bool noDraw, forms::PictureBox* picture,
                         int32_t marginLeft, int32_t marginRight, int32_t marginTop,
                         int32_t marginBottom) {
    drawPage(lStartPoint, noDraw, picture, marginLeft, marginRight, marginTop, marginBottom,
             false);
}

void CWave::DispWaveAll4(int32_t lStartPoint, bool noDraw, forms::PictureBox* picture,
                         int32_t marginLeft, int32_t marginRight, int32_t marginTop,
                         int32_t marginBottom) {
    drawPage(lStartPoint, noDraw, picture, marginLeft, marginRight, marginTop, marginBottom,
             true);
}

// ---- overlays ----

void CWave::DispCross(float x, float y, forms::PictureBox* picture, bool up, bool down,
                      bool left, bool right, int32_t selector) {
    if (chDisp_ != 1) return;
    forms::PictureBox* pic = selector == -1 ? nullptr : picture;
    SetupView(dispStart_, pic);
    Trelm::LINETYPES(kSolid, kRed);
    const double far_x = pixelsX(15, pic), near_x = pixelsX(5, pic);
    const double far_y = pixelsY(15, pic), near_y = pixelsY(5, pic);
    if (left) line(x - far_x, y, x - near_x, y);
    if (right) line(x + far_x, y, x + near_x, y);
    if (up) line(x, y + far_y, x, y + near_y);
    if (down) line(x, y - far_y, x, y - near_y);
}

void CWave::DispMark(float x, float y) {
    if (chDisp_ != 1) return;
    SetupView(dispStart_, nullptr);
    Trelm::LINETYPES(kSolid, kRed);
    const double dx = pixelsX(5, nullptr), dy = pixelsY(5, nullptr);
    line(x, y + dy, x, y - dy);
    line(x - dx, y, x + dx, y);
    Trelm::CTYPEM(6, 12);
    text(x, y + pixelsY(15, nullptr), CStr(y));
    text(x, y + pixelsY(23, nullptr), CStr(x));
}

void CWave::DispLevel(float level, int32_t& start, int32_t& count, int32_t colour,
                      int32_t style) {
    if (start < 0) start = 0;
    lowerToPTotal(count);
    if (chDisp_ != 1) return;
    SetupView(dispStart_, nullptr);
    Trelm::LINETYPES(style, colour);
    line(start, level, static_cast<double>(start) + count, level);
}

void CWave::DispTrg(int32_t& position, int32_t colour, int32_t style) {
    if (position < 0) position = 0;
    if (chDisp_ != 1) return;
    // Page-relative x over the full height of the view bound last.
    Trelm::WINDOW(0.0f, 0.0f, f(sweepPoint_), 1.0f);
    Trelm::LINETYPES(style, colour);
    line(position, 0.0, position, 1.0);
}

void CWave::DispMean(int32_t& start, int32_t& count, bool withText) {
    if (!overlayRun(start, count) || chDisp_ != 1) return;
    float mean = 0.0f;
    Trelm::S_MEAN(&mean, runAt(start, count), count);
    SetupView(dispStart_, nullptr);
    Trelm::LINETYPES(kSolid, kGreen);
    line(start, mean, static_cast<double>(start) + count, mean);
    if (withText) {
        Trelm::CTYPEM(6, 12);
        text(start + count / 2.0, mean + pixelsY(10, nullptr), CStr(mean));
    }
}

std::string CWave::DispP2P(int32_t& start, int32_t& count, bool withText) {
    if (!overlayRun(start, count)) return "";
    const Extreme hi = extremeOf(start, count, true), lo = extremeOf(start, count, false);
    const std::string result = hi.text() + "," + lo.text();
    if (chDisp_ != 1) return result;
    const float max = hi.value, min = lo.value;
    const int32_t iMax = hi.index, iMin = lo.index;
    // The box runs from the earlier extreme to the later one, whichever comes first.
    const int32_t xa = start + std::min(iMax, iMin);
    const int32_t xb = start + std::max(iMax, iMin);
    SetupView(dispStart_, nullptr);
    Trelm::LINETYPES(kDotted, kBlue);
    line(xa, max, xb, max);
    line(xa, min, xb, min);
    line(xa, min, xa, max);
    line(xb, min, xb, max);
    if (withText) {
        Trelm::CTYPEM(6, 12);
        const float height = max - min;
        const int32_t widthMs = basic::CLng(PointToMs(xb - xa));
        text(xb, min + height / 2.0,
             "P-P=" + CStr(height) + " W=" + CStr(widthMs) + "(ms)");
    }
    return result;
}

std::string CWave::extremeMark(int32_t& start, int32_t& count, bool valueText, bool timeText,
                               int32_t offset, bool maximum) {
    if (!overlayRun(start, count)) return "";
    const Extreme e = extremeOf(start, count, maximum);
    const std::string result = e.text();
    if (chDisp_ != 1) return result;
    const float value = e.value;
    const int32_t index = e.index;
    SetupView(dispStart_, nullptr);
    Trelm::LINETYPES(kSolid, maximum ? kRed : kBlue);
    const int32_t x = start + index;
    // The maximum's marks step over an overflow (a time beyond the range) and give up on any
    // other error; the minimum's let every error go to the caller.
    auto step = [&](auto&& draw) {
        if (!maximum) return draw();
        try {
            draw();
        } catch (const basic::RuntimeError& e) {
            if (e.number() != basic::errOverflow) throw;
        }
    };
    try {
        step([&] { line(x, value + pixelsY(5, nullptr), x, value - pixelsY(5, nullptr)); });
        step([&] { line(x - pixelsX(5, nullptr), value, x + pixelsX(5, nullptr), value); });
        step([&] { Trelm::CTYPEM(6, 12); });
        if (valueText)
            step([&] { text(x, value + pixelsY(maximum ? 15 : -5, nullptr), CStr(value)); });
        if (timeText)
            step([&] {
                const int32_t point = basic::CLng(static_cast<double>(x) + offset);
                const float seconds = static_cast<float>(PointToMs(point) / 1000.0);
                text(x, value + pixelsY(maximum ? 23 : -14, nullptr), CStr(seconds));
            });
    } catch (const basic::RuntimeError&) {
        if (!maximum) throw;
        return "";
    }
    return result;
}

std::string CWave::DispMax(int32_t& start, int32_t& count, bool valueText, bool timeText,
                           int32_t offset) {
    return extremeMark(start, count, valueText, timeText, offset, true);
}

std::string CWave::DispMin(int32_t& start, int32_t& count, bool valueText, bool timeText,
                           int32_t offset) {
    return extremeMark(start, count, valueText, timeText, offset, false);
}

void CWave::DispPeak(int32_t& start, int32_t& count, float threshold,
                     forms::PictureBox* picture, bool texts, bool values, bool peaks,
                     bool valleys, bool intervals) {
    if (errRaise()) CheckWave();
    if (!overlayRun(start, count) || chDisp_ != 1) return;
    const float* run = runAt(start, count);
    SetupView(start, picture);
    Trelm::LINETYPES(kSolid, kGreen);
    // The library writes as many positions as it finds, up to one per point: search into
    // tables of that size and keep at most the fixed tables' worth, with the true counts.
    const size_t room = static_cast<size_t>(std::max(count, 1));
    std::vector<float> foundPeaks(room), foundValleys(room);
    Trelm::S_PEAK(&peakNum_, foundPeaks.data(), &valleyNum_, foundValleys.data(), run, count,
                  threshold);
    const auto keep = [](const std::vector<float>& found, int32_t num, std::vector<float>& table) {
        const size_t n = std::min<size_t>(static_cast<size_t>(std::max(num, 0)), table.size());
        std::copy_n(found.begin(), n, table.begin());
    };
    keep(foundPeaks, peakNum_, peakTable_);
    keep(foundValleys, valleyNum_, valleyTable_);
    const PeakMarks peakMarks{rangeHi_, -4, -15, intervals};
    const PeakMarks valleyMarks{rangeLo_, 12, 23, false};
    if (peaks && peakNum_ > 0)
        drawPeakTable(start, peakNum_, peakTable_, peakMarks, texts, values, picture);
    if (valleys && valleyNum_ > 0)
        drawPeakTable(start, valleyNum_, valleyTable_, valleyMarks, texts, values, picture);
}

void CWave::drawPeakTable(int32_t start, int32_t found, const std::vector<float>& table,
                          const PeakMarks& marks, bool texts, bool values,
                          forms::PictureBox* picture) {
    if (found > kPeakTableSize - 1)
        basic::raiseError(basic::errApplication,
                          "S_PEAKの検出個数が10000を超えています。10000個までしか扱えません。");
    for (int32_t i = 0; i < found; ++i) {
        const double x = start + static_cast<double>(table[static_cast<size_t>(i)]);
        const float level = *runAt(basic::CLng(x), 1);
        line(x, level, x, marks.edge);
        if (texts) {
            Trelm::CTYPEM(6, 12);
            if (values) text(x, marks.edge + pixelsY(marks.valuePixels, picture), CStr(level));
            text(x, marks.edge + pixelsY(marks.positionPixels, picture), CStr(x));
        }
    }
    if (marks.intervals) {
        for (int32_t i = 1; i < found; ++i) {
            const float at = table[static_cast<size_t>(i)];
            const float gap = at - table[static_cast<size_t>(i - 1)];
            text(start + static_cast<double>(at), marks.edge + pixelsY(-26, picture), CStr(gap));
        }
    }
}

}  // namespace qv
