// The recording writer: frames collect in a one-block buffer, each full block goes to its place
// in the data file, and the end of a recording writes the partly filled block and the parameter
// file, so the data file holds exactly PTotal scans.
#include <algorithm>
#include <bit>
#include <new>

#include "app/common/modCommon.h"
#include "app/recording/CKdat.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Runtime.h"

namespace qv {

static_assert(std::endian::native == std::endian::little,
              "the data file holds little-endian words as the machine keeps them");

void CKdat::StartAcqisition(const std::string& fileName) {
    const int32_t ch = P.wCh;
    if (ch < 1 || ch > kChannels) basic::raiseError(basic::errSubscript, "チャンネル数が正しくありません。");
    if (P.nSample < 1 || P.SecPoint < 1) basic::raiseError(basic::errSubscript, "サンプル数が正しくありません。");
    const int64_t secWords = int64_t{P.SecPoint} * ch;
    const int64_t unitWords = int64_t{P.nSample} * 10 * ch;
    if (std::max(secWords, unitWords) > kMaxBufferBytes / 2)
        basic::raiseError(basic::errSubscript, "バッファが大きすぎます。");
    try {
        std::vector<int16_t>(static_cast<size_t>(unitWords), 0).swap(BUFF_UNIT_);
        std::vector<int16_t>(static_cast<size_t>(secWords), 0).swap(BUFF_SEC_);
    } catch (const std::bad_alloc&) {
        basic::raiseError(basic::errOutOfMemory);
    }

    const std::string base = GetPathWithoutExt(fileName);
    strKdatFile_ = base + ".Kdat";
    strKparFile_ = base + ".Kpar";

    CalCurrent().Clone(CalPrevious());
    CalPrevious().Clone(CalRecording());
    CalCurrent().GETCAL();

    // Every recording starts a file of its own: an older file's bytes and the counters of an
    // earlier recording on this object are not carried into it.
    dataFile_.close();
    P.NFrame = 0;
    P.PTotal = 0;
    P.NTimer = 0;
    if (!dataFile_.create(strKdatFile_))
        basic::raiseError(75, "Path/File access error: " + dataFile_.error());
}

void CKdat::ADCGetData(std::span<const int16_t> frame) {
    forms::DoEvents();
    // The counts move only once the frame is in the buffer; a count that would pass the 32-bit
    // range stops the frame before that.
    const int64_t ptotal = int64_t{P.PTotal} + P.nSample;
    if (ptotal > INT32_MAX || P.NFrame == INT32_MAX) basic::raiseError(basic::errOverflow);
    SetBUFF_SEC(frame);
    P.NFrame += 1;
    P.PTotal = static_cast<int32_t>(ptotal);
    if (P.PTotal % P.SecPoint == 0) {
        if (P.NTimer == INT32_MAX) basic::raiseError(basic::errOverflow);
        P.NTimer += 1;
        FWriteWave_Sec();
    }
}

void CKdat::SetBUFF_SEC(std::span<const int16_t> frame) {
    // The frame's place follows the block size, the same count that decides when the block is
    // written, so a frame never lands outside the block buffer.
    if (P.SecPoint == 0) basic::raiseError(basic::errDivisionByZero);
    const int64_t ch = P.wCh;
    const int64_t words = int64_t{P.nSample} * ch;
    const int64_t offset = int64_t{P.PTotal % P.SecPoint} * ch;
    if (ch < 1 || words < 0 || static_cast<int64_t>(frame.size()) < words ||
        offset + words > static_cast<int64_t>(BUFF_SEC_.size()))
        basic::raiseError(basic::errSubscript);
    std::copy_n(frame.data(), static_cast<size_t>(words), BUFF_SEC_.begin() + offset);
}

void CKdat::writeKdatBytes(int64_t offset, const int16_t* words, size_t count) {
    if (offset < 0) basic::raiseError(63, "Bad record number");
    if (!dataFile_.isOpen()) basic::raiseError(52, "Bad file name or number");
    if (!dataFile_.writeAt(static_cast<uint64_t>(offset), words, count * sizeof(int16_t)))
        basic::raiseError(75, "Path/File access error: " + dataFile_.error());
}

void CKdat::FWriteWave_Sec() {
    const int64_t blockWords = int64_t{P.SecPoint} * P.wCh;
    writeKdatBytes((int64_t{P.NTimer} - 1) * blockWords * 2, BUFF_SEC_.data(), BUFF_SEC_.size());
    std::fill(BUFF_SEC_.begin(), BUFF_SEC_.end(), int16_t{0});
}

void CKdat::ENDAcqisition() {
    if (dataFile_.isOpen()) {
        // The scans taken since the last whole block follow it, so the file holds PTotal scans.
        const int32_t tail = P.SecPoint > 0 ? P.PTotal % P.SecPoint : 0;
        if (tail > 0) {
            const int64_t ch = P.wCh;
            const size_t words = static_cast<size_t>(int64_t{tail} * ch);
            if (words > BUFF_SEC_.size()) basic::raiseError(basic::errSubscript);
            writeKdatBytes(int64_t{P.NTimer} * P.SecPoint * ch * 2, BUFF_SEC_.data(), words);
        }
        if (!dataFile_.close()) basic::raiseError(75, "Path/File access error: " + dataFile_.error());
    }
    WriteKpar();
}

}  // namespace qv
