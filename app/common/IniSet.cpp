#include "app/common/IniSet.h"

#include <algorithm>

#include <new>

#include "platform/basic/Basic.h"

namespace qv {

AcqParam GAcqParam;
AcqParam GAcqParamBackup;
AcqParam GAcqParamSnapshot;
AcqCondition GAcqCondition;
AcqCondition GAcqConditionBackup;

std::string GstrSettingFile;
std::string GstrKparFile;
std::string GstrKdatFile;
std::string GstrAviFile;
std::string GstrFlmFile;

std::vector<int16_t> RawSampleBuffer;
WaveArray DispWaveArray;
WaveArray ConvWaveArray;
std::array<int32_t, 100> MarkArray{};

CalRecordArray GCalRecEU{};
CalRecordArray GCalRecVolt{};
std::string GstrCalNames;
std::string GstrCalUnits;

std::string GstrErrRaise;
std::string GstrMode;
std::string GstrKdat;
std::string GstrSet;

int32_t InstanceMode = 0;
int32_t GlwdtCnt = 0;
bool GbEndProgram = false;
int32_t GlCapNum = 0;

// ---- WaveArray ----

void WaveArray::Redim(int32_t channels, int32_t points) {
    if (channels < 0 || points < 0) basic::raiseError(basic::errSubscript);
    const size_t n = static_cast<size_t>(channels) * static_cast<size_t>(points);
    if (n == data_.size()) {
        // The same size again (every page of a recording): cleared in place, without giving
        // back hundreds of megabytes only to have them mapped and zeroed anew.
        std::fill(data_.begin(), data_.end(), 0.0f);
        channels_ = channels;
        points_ = points;
        return;
    }
    std::vector<float> fresh;
    try {
        fresh.assign(n, 0.0f);
    } catch (const std::bad_alloc&) {
        basic::raiseError(basic::errOutOfMemory);
    }
    data_.swap(fresh);
    channels_ = channels;
    points_ = points;
}

void WaveArray::Erase() {
    std::vector<float>().swap(data_);
    channels_ = 0;
    points_ = 0;
}

size_t WaveArray::index(int32_t point, int32_t channel) const {
    if (point < 0 || point >= points_ || channel < 0 || channel >= channels_)
        basic::raiseError(basic::errSubscript);
    return static_cast<size_t>(channel) * static_cast<size_t>(points_) + static_cast<size_t>(point);
}

float& WaveArray::operator()(int32_t point, int32_t channel) { return data_[index(point, channel)]; }

float WaveArray::operator()(int32_t point, int32_t channel) const {
    return data_[index(point, channel)];
}

const float* WaveArray::Channel(int32_t channel) const {
    if (channel < 0 || channel >= channels_) basic::raiseError(basic::errSubscript);
    return data_.data() + static_cast<size_t>(channel) * static_cast<size_t>(points_);
}

float* WaveArray::Channel(int32_t channel) {
    return const_cast<float*>(static_cast<const WaveArray&>(*this).Channel(channel));
}

// ---- state ----

void InitGlobals() {
    ForgetExitConfirmation();
    AcqParam& p = GAcqParam;
    p.nVer = kVersionText;
    p.wCh = 32;
    for (int i = 0; i < 32; ++i) p.wChNo[i] = static_cast<int16_t>(i + 1);
    p.nSample = 0;
    p.nScan = 1;
    p.nSClock = 0;
    p.bL2LMode = false;
    p.lTrgCH = 0;
    p.TrgLevelD = 0;
    p.TrgLevelU = 0;
    p.ModeString.clear();
    p.PTotal = 0;
    p.NTimerPreSet = 100;
    p.NTimer = 0;
    p.NFrame = 0;
    p.DR_WaveHi.fill(1.0f);
    p.DR_WaveLo.fill(1.0f);  // the same as the top: a recording or settings file sets ranges
    p.CHKWaveNo.fill(1);
    p.lSoftTrgCntAll = 0;
}

void ClearFileNameGlobals() {
    GstrSettingFile.clear();
    GstrKparFile.clear();
    GstrKdatFile.clear();
    GstrAviFile.clear();
    GstrFlmFile.clear();
}

std::string JoinBy2Spaces(const std::string& a, const std::string& b, const std::string& c) {
    return a + "  " + b + "  " + c;
}

bool IsModeLL() { return GAcqParam.ModeString == "L-L"; }
bool IsModeLLHalf() { return GAcqParam.ModeString == "L-L/2"; }
bool IsModeEnd() { return GAcqParam.ModeString == "End"; }
bool IsModeAcq() { return GAcqParam.ModeString == "Acq"; }
bool IsModeReadSet() { return GAcqParam.ModeString == "ReadSet"; }
bool IsModePlay() { return GAcqParam.ModeString == "Play"; }
bool IsModeRecalc() { return GAcqParam.ModeString == "Recalc"; }
bool IsModeSetTrg() { return GAcqParam.ModeString == "SETTRG"; }

bool IsDataLoaded() { return GAcqParam.PTotal >= 1; }

// A recording's setting text beyond the number range is not 1 either.
bool IsTriggerSetting() {
    try {
        return basic::Val(GAcqCondition.strTRIGGER_SETTING) == 1.0;
    } catch (const basic::RuntimeError&) {
        return false;
    }
}

bool IsCameraSetting() { return GAcqCondition.strCameraSetting == 1; }

bool IsCamDispTypeEnabled() {
    // Nothing sets it: the camera window's display-type options stay disabled.
    return false;
}

}  // namespace qv
