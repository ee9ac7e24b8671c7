#pragma once
// The parameter file of a recording (".Kpar") read into a staging record: everything the file
// sets in the parameter record, the calibration arrays, the mark table, the lists and the
// controls, taken whole before any of it is applied, so a file that fails anywhere changes
// nothing. The main window fills the record with what it holds now (the defaults the file
// falls back on), reads the file into it and, when all of it was good, applies it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/common/IniSet.h"

namespace qv {

struct KparParam {
    AcqParam param;                 // the parameter record with the recording's conditions
    CalRecordArray calEU{};         // GCalRecEU, record i = absolute channel i + 1
    std::string names, units;       // GstrCalNames, GstrCalUnits: 32 fields of 32 bytes
    std::array<int32_t, 100> marks{};  // MarkArray
    // Control values and texts of the main window.
    std::array<int16_t, 32> chkCopy{}, chkCopy_V{};
    std::array<std::string, 32> txtDR_WaveHi, txtDR_WaveLo, txtDR_WaveHi_V, txtDR_WaveLo_V;
    int16_t chkDispRaw = 0, chkDispCAMPos = 0;
    int16_t chkDetectR = 0;
    std::string txtDetectRCHNo;
    std::vector<std::string> lstMarkCom, lstTrigDateTime;
    // The frame-table sizes and the start time of the camera recording.
    int32_t GlCapNum = 0, GlADCGETCnt = 0, GlTime_ADSTART = 0;
    // The camera window's adjustments and the conditions window's sound box.
    std::string camTxtAdjustMS, camTxtMP3Adjust;
    int16_t chkAudioSetting = 0;
    // The file named a P-P hysteresis ("strP2PHist" not empty): the conditions window shows it.
    bool hasP2PHist = false;
    // Not read from the file: whether the unit pair of range boxes is the one in use ("USE CAL"
    // ticked) rather than the A/D pair. A box of the pair in use that the file does not store
    // shows the file's own range, so the recording is drawn in it.
    bool useCal = false;
    // The rate of nSClock is one that the sampling-rate list of the file's own board, channel
    // count and sweep time offers; lcmbSampleFreq_ListIndex is then its place in that list.
    bool rateOffered = false;
};

// Reads the parameter file `path` into `stage`, which holds the current values on entry (the
// defaults of the keys that fall back on them). A malformed key raises the run-time error of
// its conversion (13, 6), a short name or unit list or a mark count of 100 or more raises 9, a
// zero sample period 11; after the whole file, values that would size or index anything out of
// bounds, and a channel text that states another range than lStartCH..lEndCH, raise 9, and
// check-box values other than 0, 1 and 2 raise 380. The current ini file is the same
// afterwards, whatever happened; nothing but `stage` is written.
void ReadKparParam(const std::string& path, KparParam& stage);

// The first entry of the rate list whose value is the whole part of 1000000 / nSClock (as a
// 32-bit float), or -1. An empty list answers -1 without dividing; otherwise nSClock 0 raises 11.
int32_t SanplingRateSelect(const std::vector<int32_t>& items, int32_t nSClock);

}  // namespace qv
