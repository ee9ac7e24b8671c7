#include "tests/app/main/RecordingGenerator.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "platform/kernel/Encoding.h"

namespace qv::apptest {

namespace {

std::string idx(const std::string& name, int32_t i) { return name + "(" + std::to_string(i) + ")"; }

// The rate list's position of a base rate (10 Hz .. 1 kHz); the reader finds the others itself.
int32_t rateListIndex(int32_t hz) {
    const int32_t base[] = {10, 20, 50, 100, 200, 500, 1000};
    for (int32_t i = 0; i < 7; ++i)
        if (base[i] == hz) return i;
    return 0;
}

}  // namespace

RecordingSpec::RecordingSpec(int32_t channels, int32_t rateHz, int32_t scans, int32_t startCH)
    : channels_(channels), scans_(scans) {
    if (channels < 1 || startCH < 1 || rateHz < 10)
        throw std::invalid_argument("a recording needs a channel and 10 Hz at least");
    sample = [](int32_t p, int32_t c) {
        const int32_t v = (c / 2) * 100 + p;
        return static_cast<int16_t>(c % 2 == 0 ? v : -v);
    };
    const int32_t endCH = startCH + channels - 1;
    const auto isRecorded = [&](int32_t i) { return i + 1 >= startCH && i + 1 <= endCH; };
    const std::string S = "P";
    set(S, "nVer", "0");
    set(S, "wCh", std::to_string(channels));
    for (int32_t i = 0; i < 32; ++i)
        set(S, idx("wChNo", i), std::to_string(i < channels ? startCH + i : 0));
    set(S, "nSample", std::to_string(rateHz / 10));
    set(S, "nScan", "0");
    set(S, "nSClock", std::to_string(1000000 / rateHz));
    set(S, "Date_Time_Start", "2020/01/29 13:45:00");
    set(S, "Comment(0)", "hello");
    for (int32_t i = 1; i < 8; ++i) set(S, idx("Comment", i), "");
    const int32_t seconds = scans / rateHz;
    set(S, "NTimerPreSet", std::to_string(seconds));
    set(S, "NTimer", std::to_string(seconds));
    set(S, "NFrame", std::to_string(static_cast<int64_t>(scans) * 10 / rateHz));
    set(S, "PTotal", std::to_string(scans));
    for (int32_t i = 0; i < 32; ++i) {
        const std::string cal = idx("Cal", i);
        set("CAL", cal + ".fBASE_AD", "0");
        set("CAL", cal + ".fCAL_AD", isRecorded(i) ? "1" : "2048");
        set("CAL", cal + ".fEU_HI", isRecorded(i) ? "1" : "100");
        set("CAL", cal + ".fEU_LO", "0");
    }
    set(S, "Cur_L_Point", "0");
    set(S, "Cur_R_Point", "10");
    set(S, "Cur_W_Point", "10");
    for (int32_t i = 0; i < 32; ++i) set("Acqisition", idx("chkCopy", i), "0");
    for (int32_t i = 0; i < 32; ++i) set("Acqisition", idx("chkCopy_V", i), "0");
    for (int32_t i = 0; i < 32; ++i) set(S, idx("CHKWaveNo", i), i < channels ? "1" : "0");
    for (int32_t i = 0; i < 32; ++i) {
        set(S, idx("DR_WaveHi", i), "60");
        set(S, idx("DR_WaveLo", i), "-60");
    }
    for (int32_t i = 0; i < 32; ++i) set("Acqisition", idx("txtDR_WaveHi", i), "60");
    for (int32_t i = 0; i < 32; ++i) set("Acqisition", idx("txtDR_WaveLo", i), "-60");
    for (int32_t i = 0; i < 32; ++i) set("Acqisition", idx("txtDR_WaveHi_V", i), "5");
    for (int32_t i = 0; i < 32; ++i) set("Acqisition", idx("txtDR_WaveLo_V", i), "-5");
    set(S, "lcmbSampleFreq_ListIndex", std::to_string(rateListIndex(rateHz)));
    set(S, "lSweepPoint", std::to_string(rateHz));  // one second a page
    set(S, "lPosWAVE_Start", "0");
    set(S, "lMoveWAVE_Start", "0");
    set(S, "lAcqType", "0");
    for (int32_t i = 0; i < 32; ++i) set(S, idx("lchkCal_Value", i), "0");
    set(S, "sngEndCSVTime", std::to_string(seconds));
    set(S, "lStartCSVPoint", "0");
    set(S, "lcmbTimeFS_ListIndex", "9");  // 1000 ms a page
    set(S, "lSoftTrgCntAll", "0");
    set(S, "lFuoukiTimeMS", "0");
    set(S, "lOLMarkCHNo", "0");
    for (const char* k : {"sngOLMarkSLvl", "sngOLMarkHist", "sngOLMarkW1", "sngOLMarkW2"}) set(S, k, "0");
    set(S, "lOLMarkDirection", "0");
    set(S, "lOLMarkCanCHNo", "0");
    for (const char* k : {"sngOLMarkCanSLvl", "sngOLMarkCanHist", "sngOLMarkCanW1", "sngOLMarkCanW2"})
        set(S, k, "0");
    set(S, "lOLMarkCanDirection", "0");
    set("CTRL", "chkDispRaw.Value", "1");
    set("CTRL", "chkDispCAMPos.Value", "1");
    set("CTRL", "frmCAMDisp.txtAdjustMS.Text", "0");
    set("CTRL", "frmCAMDisp.txtMP3Adjust.Text", "0");
    set("CTRL", "frmCondition.chkAudioSetting.Value", "0");
    set("GLOBAL", "GlCapNum", "0");
    set("GLOBAL", "GlADCGETCnt", "0");
    set("GLOBAL", "GlTime_ADSTART", "0");
    std::string names, units;
    for (int32_t i = 0; i < 32; ++i) {
        if (i) names += ",", units += ",";
        names += (isRecorded(i) ? "ch" : "CH") + std::to_string(i + 1);
        units += isRecorded(i) ? "mV" : "V";
    }
    set("pName", "pName", names);
    set("pUnit", "pUnit", units);
    set("MARK", "MARK(0)", "0");
    set("DETECTR", "Acqisition.chkDetectR.Value", "0");
    set("DETECTR", "Acqisition.txtDetectRCHNo.Text", "0");
    const bool wide = channels > 16;
    const std::string C = "Condition";
    set(C, "strCH", channels == 1 ? std::to_string(startCH)
                                  : std::to_string(startCH) + "-" + std::to_string(endCH));
    set(C, "lStartCH", std::to_string(startCH));
    set(C, "lEndCH", std::to_string(endCH));
    set(C, "lCHCnt", std::to_string(channels));
    set(C, "strFIXED", "True");
    set(C, "strFLOW", "False");
    set(C, "lFlage", "0");
    set(C, "strADBOARD", wide ? "VylK18[±10]" : "VylK10[±5]");
    set(C, "lADBOARD", wide ? "10" : "0");
    set(C, "lADBOARD_ID", wide ? "10" : "1");
    set(C, "lADBOARD_BIT", wide ? "16" : "12");
    set(C, "sngADBOARD_V", wide ? "10" : "5");
    set(C, "strDEVICE_NAME", "");
    set(C, "strTRIGGER_SETTING", "0");
    set(C, "strSINGLE_DISP_MODE", "0");
    set(C, "strTRG_POINT", "0");
    set(C, "strANALOG_LEVEL_TRIGGER", "False");
    set(C, "strANALOG_LEVEL_TRIGGER_D", "0");
    set(C, "strANALOG_LEVEL_TRIGGER_U", "0");
    set(C, "strCOMP_CH", std::to_string(startCH));
    set(C, "lCOMP_CH_ID", "0");
    set(C, "strEXTERNAL_TRIGGER", "False");
    set(C, "strTTL", "");
    set(C, "lTTL", "0");
    set(C, "strSWEEP_TIME", "1000");
    set(C, "strP2PHist", "2 ^ 11");
    set(C, "lP2PHist", "2048");
    set(C, "strSYNC", "0");
    set(C, "lGetADBoard", "1");
    set(C, "lGetRemoteHost", "0");
    set(C, "strCameraSetting", "0");
    set(C, "strResolution", "");
    set(C, "strAudioSetting", "0");
    set(C, "strCamera", "");
    set(C, "lcmbCamera_ListIndex", "0");
    set("LISTBOX", "lstMarkCom.ListCount", "0");
    set("LISTBOX", "lstTrigDateTime.ListCount", "0");
    set("Control", "txtStartTime", "0");
    set("Control", "txtEndTime", std::to_string(seconds));
    set("Control", "txtAdjustMS", "0");
    set("Control", "txtMP3Adjust", "0");
    set("Control", "txtMP3AdjustOffset", "0");
}

RecordingSpec& RecordingSpec::set(const std::string& section, const std::string& key,
                                  const std::string& value) {
    auto s = std::find_if(sections_.begin(), sections_.end(),
                          [&](const auto& e) { return e.first == section; });
    if (s == sections_.end()) s = sections_.insert(sections_.end(), {section, {}});
    auto k = std::find_if(s->second.begin(), s->second.end(),
                          [&](const auto& e) { return e.first == key; });
    if (k == s->second.end())
        s->second.emplace_back(key, value);
    else
        k->second = value;
    return *this;
}

RecordingSpec& RecordingSpec::remove(const std::string& section, const std::string& key) {
    for (auto& [name, keys] : sections_)
        if (name == section)
            std::erase_if(keys, [&](const auto& e) { return e.first == key; });
    return *this;
}

std::optional<std::string> RecordingSpec::get(const std::string& section, const std::string& key) const {
    for (const auto& [name, keys] : sections_)
        if (name == section)
            for (const auto& [k, v] : keys)
                if (k == key) return v;
    return std::nullopt;
}

std::string RecordingSpec::KparBytes() const {
    const std::string eol = lfOnly ? "\n" : "\r\n";
    const auto name = [&](std::string n) {
        if (lowerCaseNames)
            std::transform(n.begin(), n.end(), n.begin(), [](unsigned char ch) {
                return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
            });
        return n;
    };
    std::string text;
    for (const auto& [section, keys] : sections_) {
        text += "[" + name(section) + "]" + eol;
        for (const auto& [k, v] : keys) {
            text += name(k) + (blanksAroundEquals ? " = " : "=");
            text += quoteValues ? "\"" + v + "\"" : v;
            text += eol;
        }
    }
    text += extraText;
    if (utf8Bom) return "\xEF\xBB\xBF" + text;
    return kernel::utf8ToCp932(text);
}

std::string RecordingSpec::KdatBytes() const {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(scans_) * static_cast<size_t>(channels_) * 2);
    for (int32_t p = 0; p < scans_; ++p)
        for (int32_t c = 0; c < channels_; ++c) {
            const auto w = static_cast<uint16_t>(sample(p, c));
            bytes += static_cast<char>(w & 0xFF);
            bytes += static_cast<char>(w >> 8);
        }
    if (kdatBytes) bytes.resize(static_cast<size_t>(*kdatBytes), '\0');
    return bytes;
}

void RecordingSpec::Write(const std::filesystem::path& folder, const std::string& base) const {
    const auto write = [](const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
        if (!out) throw std::runtime_error("cannot write " + path.string());
    };
    write(folder / (base + ".Kpar"), KparBytes());
    if (writeKdat) write(folder / (base + ".Kdat"), KdatBytes());
}

}  // namespace qv::apptest
