#pragma once
// The calibration table: for each of the 32 channels a name, a unit and the four values that turn
// a raw A/D count into an engineering value (EU_LO + (raw - Base_AD) x (EU_HI - EU_LO) / Cal_AD).
// Every value is kept as text, as typed or as read, and converted only when the table is handed
// to the library or shown in a window.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/common/IniSet.h"

namespace qv::forms {
class Form;
}

namespace qv {

class CCalSetting {
public:
    static constexpr int32_t kChannels = 32;
    // Bytes of one name or unit field handed to the library: 31 of text and a padding blank.
    static constexpr int32_t kFieldBytes = 32;

    CCalSetting();

    // The joined name and unit fields; nothing sets them, so both are "".
    const std::string& pNameALL() const { return nameAll_; }
    const std::string& pUnitALL() const { return unitAll_; }

    // Fills the six text-box arrays of `window` (txtName ... txtBASEAD, elements 0..31) for the
    // channels first..last (1-based), placing the rows under the column headers Picture1(0..5)
    // and hiding every other row. Conversion errors surface after the rows before them are done.
    void DispCal(forms::Form& window, int32_t first, int32_t last) const;

    // Channels are 0..31 everywhere; any other index is run-time error 9.
    std::string CHName32(int32_t ch) const;
    std::string CHName(int32_t ch) const;  // cut at the first NUL, blanks trimmed
    void CHName(int32_t ch, std::string text);
    std::string Unit32(int32_t ch) const;
    std::string Unit(int32_t ch) const;
    void Unit(int32_t ch, std::string text);
    const std::string& Cal_AD(int32_t ch) const;
    void Cal_AD(int32_t ch, std::string text);
    const std::string& Base_AD(int32_t ch) const;
    void Base_AD(int32_t ch, std::string text);
    const std::string& EU_HI(int32_t ch) const;
    void EU_HI(int32_t ch, std::string text);
    const std::string& EU_LO(int32_t ch) const;
    void EU_LO(int32_t ch, std::string text);
    int32_t CHType(int32_t ch) const;
    void CHType(int32_t ch, int32_t type);

    // Reads the six texts of every channel from section "CAL" of the file (the current
    // calibration file when `path` is ""), which stays the ini module's current file.
    void LoadCAL(const std::string& path);
    // Copies the window's table into this one and writes it to the file (the current calibration
    // file when `path` is ""). False when the file could not be written; with no file named at
    // all nothing is written and the result is true.
    bool SaveCAL(const std::string& path, forms::Form& window);
    // Hands the whole table to the library's store, and takes it back from there.
    void PUTCAL();
    void GETCAL();

    // The first n CP932 bytes of `text` (as UTF-8); the rest stays in `text`.
    static std::string GetpName(std::string& text, int32_t n);
    // The text as one 32-byte field: up to 31 CP932 bytes of it (never half a double-byte
    // character), NUL bytes up to 31, then a blank.
    static std::string FormatStr(std::string_view value);

    // Copies the six texts and CHType of every channel into `target`; not the file path.
    void Clone(CCalSetting& target) const;

    // x on the scale (p1, p2) mapped to the scale (p3, p4), and back; 0 on a zero divisor.
    static float GetEU1_2(float p1, float p2, float p3, float p4, float x);
    static float GetEU2_1(float p1, float p2, float p3, float p4, float x);

    // The file LoadCAL / SaveCAL last used.
    const std::string& CalFilePath() const { return calFile_; }
    // The record as the last PUTCAL / GETCAL exchanged it with the library.
    const CalRecordArray& Record() const { return record_; }

private:
    struct Channel {
        std::string name, unit, euHi, euLo, calAd, baseAd;
        int32_t type = 0;
    };
    Channel& at(int32_t ch);
    const Channel& at(int32_t ch) const;
    // The argument, or the current calibration file when it is "", made the ini module's file.
    void useFile(const std::string& path);

    std::array<Channel, kChannels> ch_;
    std::string calFile_;
    CalRecordArray record_{};
    std::string nameAll_;
    std::string unitAll_;
};

// The three working sets of the main window.
extern CCalSetting GCCalSettingAcq;   // acquisition set: what the library stores
extern CCalSetting GCCalSettingDisp;  // the set shown in the calibration table
extern CCalSetting GCCalSettingCopy;  // the loaded recording's calibration

}  // namespace qv
