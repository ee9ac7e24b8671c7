#pragma once
// One channel's samples in engineering units (32-bit floats) with the settings that place the
// channel on the screen: its value range, its band among the stacked channels and the visible
// page of points. Arithmetic and statistics run in the Trelm library on contiguous runs of the
// buffer; drawing goes through the library's global view into a picture box.
//
// Every run handed to the library or copied is checked against the buffer first: a start or a
// count outside it is run-time error 9, an unallocated buffer likewise. With "/ERR_RAISE=1" on
// the command line the copy and arithmetic operations test their arguments before that and
// raise error 30000 with a description naming the offending argument.
//
// Arguments the original passed by reference and wrote back (counts lowered to PTotal, starts
// raised to 0, equal limits replaced) are references here too.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qv::forms {
class PictureBox;
}

namespace qv {

class CWave {
public:
    // Points of a buffer allocated with 0, and the chunk of the block file.
    static constexpr int32_t kDefaultPoints = 300000;
    // Entries of each peak-position table (indices 0 to 10000).
    static constexpr int32_t kPeakTableSize = 10001;
    // The 48-byte marker in front of a channel block.
    static constexpr const char* kBlockMarker = "----------------START WAVE DATA ----------------";

    CWave();
    CWave(const CWave&) = delete;
    CWave& operator=(const CWave&) = delete;

    // ---- plain fields ----
    int32_t SweepPoint() const { return sweepPoint_; }
    void SweepPoint(int32_t v) { sweepPoint_ = v; }
    float RangeHi() const { return rangeHi_; }
    void RangeHi(float v) { rangeHi_ = v; }
    float RangeLo() const { return rangeLo_; }
    void RangeLo(float v) { rangeLo_ = v; }
    int32_t BandColor() const { return bandColor_; }
    void BandColor(int32_t v) { bandColor_ = v; }
    const std::string& DivWidthUnit() const { return divWidthUnit_; }
    void DivWidthUnit(std::string v) { divWidthUnit_ = std::move(v); }
    int32_t CHDisp() const { return chDisp_; }
    void CHDisp(int32_t v) { chDisp_ = v; }
    int32_t CHWindow() const { return chWindow_; }
    void CHWindow(int32_t v) { chWindow_ = v; }
    int32_t DispStartPoint() const { return dispStart_; }
    void DispStartPoint(int32_t v) { dispStart_ = v; }
    int32_t DispEndPoint() const { return dispEnd_; }
    void DispEndPoint(int32_t v) { dispEnd_ = v; }
    int32_t PTotal() const { return pTotal_; }
    void PTotal(int32_t v) { pTotal_ = v; }
    int32_t DispNum() const { return dispNum_; }
    void DispNum(int32_t v) { dispNum_ = v; }
    int32_t DispPos() const { return dispPos_; }
    void DispPos(int32_t v) { dispPos_ = v; }
    float ChMarginU() const { return chMarginU_; }
    void ChMarginU(float v) { chMarginU_ = v; }
    float ChMarginD() const { return chMarginD_; }
    void ChMarginD(float v) { chMarginD_ = v; }
    float OffsetY() const { return offsetY_; }
    void OffsetY(float v) { offsetY_ = v; }
    int32_t BandStyle() const { return bandStyle_; }
    void BandStyle(int32_t v) { bandStyle_ = v; }
    int32_t DrawStyle() const { return drawStyle_; }
    void DrawStyle(int32_t v) { drawStyle_ = v; }
    // The picture box drawn into when a drawing call names none. Only a reference: its owner
    // (the main window) outlives the channel objects or resets it.
    forms::PictureBox* WaveGraphAll() const { return waveGraphAll_; }
    void WaveGraphAll(forms::PictureBox* picture) { waveGraphAll_ = picture; }

    // ---- computed properties ----
    // Element `index`; 0 (reading) or ignored (writing) past the end or without a buffer.
    // A negative index is error 9.
    float WaveValue(int32_t index) const;
    void WaveValue(int32_t index, float value);
    // The vertical window that puts RangeLo..RangeHi into band DispPos of DispNum stacked bands
    // (band 0 at the top), or RangeLo..RangeHi itself when CHWindow is not 0.
    float WindowHi() const;
    float WindowLo() const;
    int32_t ArrayMax() const { return static_cast<int32_t>(wave_.size()); }
    bool IsAllocate() const { return !wave_.empty(); }
    // Extreme of the first PTotal points and the index of its first occurrence.
    void WaveMax(float& value, int32_t& index) const;
    void WaveMin(float& value, int32_t& index) const;

    // ---- buffer ----
    // n points, all 0 (n = 0: 300000); SweepPoint = n, PTotal = 0. Negative n is error 9.
    void Allocate(int32_t n);
    void ClearData();
    // The buffer becomes a copy of `values` (an empty array leaves it unallocated); PTotal stays.
    void PutArray(std::span<const float> values);
    // other.PutArray(buffer) and the display fields, WaveGraphAll included; not OffsetY,
    // BandStyle, DrawStyle.
    void MakeCopy(CWave& other) const;
    int32_t CheckWave() { return 0; }

    // Copies lAddNum values to the buffer at lAddPoint; PTotal += lAddNum.
    void AddWave(std::span<const float> sngWave, int32_t lAddPoint, int32_t lAddNum);
    // Copies lUpdateNum values to the buffer at lUpdatePoint; an empty channel (PTotal 0)
    // takes PTotal = lUpdatePoint + lUpdateNum.
    void UpdateWave(std::span<const float> sngWave, int32_t lUpdatePoint, int32_t lUpdateNum);
    // Copies lGetNum values from the buffer at lGetPoint into sngWave[0..].
    void GetWave(std::span<float> sngWave, int32_t lGetPoint, int32_t lGetNum) const;

    // ---- in-place arithmetic ----
    void SumWave(std::span<const float> sngWave, int32_t lSumPoint, int32_t lSumNum);
    void DivcWave(float sngDivC, int32_t lDivPoint, int32_t lDivNum);
    void MulcWave(float sngMulC, int32_t lMulPoint, int32_t lMulNum);
    void ShiftWave(float c, int32_t start, int32_t count);
    void FullRect();  // absolute values of the first PTotal points
    // Subtracts the mean of `count` points from `start` (count lowered to PTotal) from the
    // first PTotal points.
    void OffsetWave(int32_t start, int32_t& count);
    // Moves the contents by k positions (k > 0 towards the end); vacated positions become 0,
    // what passes the end is dropped. PTotal += k, kept within 0..buffer length.
    void MoveWave(int32_t k);

    // ---- statistics (count is lowered to PTotal when larger, in the caller's variable) ----
    std::string GetMax(int32_t start, int32_t& count) const;   // "value,index"
    std::string GetMin(int32_t start, int32_t& count) const;
    std::string GetP2P(int32_t start, int32_t& count) const;   // "max,imax,min,imin"
    std::string GetMean(int32_t start, int32_t& count) const;
    std::string GetRMS(int32_t start, int32_t& count) const;
    // Peak and valley positions (relative to start) of the run; the tables are resized to
    // count entries. Returns "".
    std::string GetPeak(int32_t start, int32_t& count, float threshold, int32_t& peakNum,
                        int32_t& valleyNum, std::vector<float>& peaks,
                        std::vector<float>& valleys) const;
    // The run condensed to m averages in `out` (resized to m). Returns "".
    std::string GetCondenceWave(int32_t start, int32_t& count, int32_t m,
                                std::vector<float>& out) const;
    // The first PTotal points reduced to m envelope values in `out` (resized to m). Returns "".
    std::string GetWaveTrans(int32_t m, std::vector<float>& out) const;

    // ---- paging: move DispStartPoint by pages and draw the page with DispWaveAll3 ----
    void CheckNextPage();
    void CheckPrevPage();
    void DispNextPage(bool noDraw, forms::PictureBox* picture, int32_t marginLeft,
                      int32_t marginRight, int32_t marginTop, int32_t marginBottom);
    void DispPrevtPage(bool noDraw, forms::PictureBox* picture, int32_t marginLeft,
                       int32_t marginRight, int32_t marginTop, int32_t marginBottom);
    void DispNextPageHalf(bool noDraw, forms::PictureBox* picture, int32_t marginLeft,
                          int32_t marginRight, int32_t marginTop, int32_t marginBottom);
    void DispPrevtPageHalf(bool noDraw, forms::PictureBox* picture, int32_t marginLeft,
                           int32_t marginRight, int32_t marginTop, int32_t marginBottom);
    void DispFirstPage(bool noDraw, forms::PictureBox* picture, int32_t marginLeft,
                       int32_t marginRight, int32_t marginTop, int32_t marginBottom);
    void DispLastPage(bool noDraw, forms::PictureBox* picture, int32_t marginLeft,
                      int32_t marginRight, int32_t marginTop, int32_t marginBottom);

    // ---- drawing (a null picture means WaveGraphAll) ----
    // lDispPoint points from lStartPoint into the channel's band; a negative start draws from
    // point 0. Sets DispStartPoint/DispEndPoint unless keepPosition.
    void DispWaveAll3(int32_t lStartPoint, int32_t lDispPoint, bool noDraw,
                      forms::PictureBox* picture, int32_t marginLeft, int32_t marginRight,
                      int32_t marginTop, int32_t marginBottom, bool keepPosition);
    // One page (SweepPoint points, fewer at the end of the buffer), long runs reduced by the
    // library. DispWaveAll4 draws a negative start shifted left by that many points.
    void DispWaveAll2(int32_t lStartPoint, bool noDraw, forms::PictureBox* picture,
                      int32_t marginLeft, int32_t marginRight, int32_t marginTop,
                      int32_t marginBottom);
    void DispWaveAll4(int32_t lStartPoint, bool noDraw, forms::PictureBox* picture,
                      int32_t marginLeft, int32_t marginRight, int32_t marginTop,
                      int32_t marginBottom);

    // Overlays on the current page. Runs: a negative start is raised to 0 and a count beyond
    // PTotal lowered (in the caller's variables); a run reaching past PTotal draws nothing.
    // selector -1: the cross goes into WaveGraphAll, otherwise into `picture`.
    void DispCross(float x, float y, forms::PictureBox* picture, bool up, bool down, bool left,
                   bool right, int32_t selector);
    void DispPeak(int32_t& start, int32_t& count, float threshold, forms::PictureBox* picture,
                  bool texts, bool values, bool peaks, bool valleys, bool intervals);
    void DispLevel(float level, int32_t& start, int32_t& count, int32_t colour, int32_t style);
    void DispTrg(int32_t& position, int32_t colour, int32_t style);
    void DispMark(float x, float y);
    void DispMean(int32_t& start, int32_t& count, bool text);
    std::string DispP2P(int32_t& start, int32_t& count, bool text);  // "max,imax,min,imin"
    std::string DispMax(int32_t& start, int32_t& count, bool valueText, bool timeText,
                        int32_t offset);  // "max,index"
    std::string DispMin(int32_t& start, int32_t& count, bool valueText, bool timeText,
                        int32_t offset);  // "min,index"
    // Width (height) of `pixels` pixels of the picture's window in data units between xmin and
    // xmax (ymin, ymax); equal limits become 0..SweepPoint (WindowLo..WindowHi).
    float CP2CX(int32_t pixels, forms::PictureBox* picture, float& xmin, float& xmax) const;
    float CP2CY(int32_t pixels, forms::PictureBox* picture, float& ymin, float& ymax) const;

    // ---- block file and dump ----
    // Writes the marker at byte `position` of the file, then the first PTotal samples as
    // little-endian floats, leaving the rest of the file alone. Returns the position after the
    // block; 0 (and the file untouched) when PTotal is 0.
    int32_t SaveWave(const std::string& fileName, int32_t position);
    // Reads a block written by SaveWave at `position`: up to `count` samples into consecutive
    // points (the buffer is first re-allocated to SweepPoint points when that is not 0).
    // PTotal = the samples read; returns the position after them.
    int32_t LoadWave(const std::string& fileName, int32_t count, int32_t position);
    // The whole buffer to the program folder's "Array\1_<name>.csv".
    void WriteCSV(const std::string& name) const;

private:
    static bool errRaise();
    // A copy between the caller's array and the buffer run at `start`: with "/ERR_RAISE=1" the
    // caller's array, then the buffer, must reach the last index the count names (error 30000
    // with the given description); always, the caller's array must hold the count (error 9).
    void checkExchange(size_t arraySize, int32_t start, int32_t count, const char* arrayText,
                       const char* bufferText) const;
    // a + b as a 32-bit sum; beyond the range is error 6, as the original's integer sums were.
    static int32_t sum32(int64_t a, int64_t b);
    // The run [start, start + count) of the buffer; an empty or negative count still needs
    // `start` inside the buffer, as the original indexed its first element. Error 9 otherwise.
    float* runAt(int32_t start, int32_t count);
    const float* runAt(int32_t start, int32_t count) const;
    // Error 9 unless the first PTotal points lie in the buffer.
    int32_t checkedPTotal() const;
    void lowerToPTotal(int32_t& count) const;
    // The picture argument, else WaveGraphAll; error 91 when both are missing.
    forms::PictureBox& pictureOr(forms::PictureBox* picture) const;
    void SetupView(int32_t& start, forms::PictureBox* picture);
    // WINDOW over x0..x1 with the channel's vertical window.
    void setWindow(double x0, double x1) const;
    // Binds the page's picture with its margins and selects the trace pen; false when there is
    // nothing to draw (no-draw flag, no picture, no buffer, channel hidden).
    bool beginPage(bool noDraw, forms::PictureBox* picture, int32_t marginLeft,
                   int32_t marginRight, int32_t marginTop, int32_t marginBottom);
    // Overlay run test: adjusts start/count, false when nothing is to be drawn (no points, or
    // a run that passes the end).
    bool overlayRun(int32_t& start, int32_t& count) const;
    float pixelsX(int32_t pixels, forms::PictureBox* picture) const;
    float pixelsY(int32_t pixels, forms::PictureBox* picture) const;
    void drawPage(int32_t lStartPoint, bool noDraw, forms::PictureBox* picture,
                  int32_t marginLeft, int32_t marginRight, int32_t marginTop,
                  int32_t marginBottom, bool shiftNegative);
    // Draws the page at DispStartPoint (DispWaveAll3 over SweepPoint points).
    void pageTo(bool noDraw, forms::PictureBox* picture, int32_t marginLeft, int32_t marginRight,
                int32_t marginTop, int32_t marginBottom);
    // The extreme of `count` points from `start` (count lowered to PTotal) and its index in
    // the run; text() is "value,index".
    struct Extreme {
        float value = 0.0f;
        int32_t index = 0;
        std::string text() const;
    };
    Extreme extremeOf(int32_t start, int32_t& count, bool maximum) const;
    std::string extremeMark(int32_t& start, int32_t& count, bool valueText, bool timeText,
                            int32_t offset, bool maximum);
    // Where the marks of one kind of peak go: lines from the sample to `edge`, texts that many
    // pixels from it, and whether the gaps between neighbours are written.
    struct PeakMarks {
        float edge;
        int32_t valuePixels;
        int32_t positionPixels;
        bool intervals;
    };
    void drawPeakTable(int32_t start, int32_t found, const std::vector<float>& table,
                       const PeakMarks& marks, bool texts, bool values,
                       forms::PictureBox* picture);

    std::vector<float> wave_;  // MsngWave
    forms::PictureBox* waveGraphAll_ = nullptr;
    int32_t sweepPoint_ = 0;
    float rangeHi_ = 100.0f;
    float rangeLo_ = -100.0f;
    int32_t bandColor_ = 0;
    std::string divWidthUnit_;
    int32_t chDisp_ = 1;
    int32_t chWindow_ = 0;
    int32_t dispStart_ = 0;
    int32_t dispEnd_ = 0;
    int32_t pTotal_ = 0;
    int32_t dispNum_ = 0;
    int32_t dispPos_ = 0;
    float chMarginU_ = 0.0f;
    float chMarginD_ = 0.0f;
    float offsetY_ = 0.0f;
    int32_t bandStyle_ = 0;
    int32_t drawStyle_ = 0;
    // Positions found by the last DispPeak; the counts may exceed the tables.
    int32_t peakNum_ = 0;
    int32_t valleyNum_ = 0;
    std::vector<float> peakTable_;
    std::vector<float> valleyTable_;
};

}  // namespace qv
