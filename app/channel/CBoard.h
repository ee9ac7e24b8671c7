#pragma once
// The catalogue of A/D board types the acquisition system knows (types 0..32, and -1 for the
// debug source), the selected type, and the mapping of an outside device description to a type.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

class CBoard {
public:
    static constexpr int32_t kTypeCount = 33;   // types 0..32
    static constexpr int32_t kDebugType = -1;
    static constexpr int32_t kNoMatch = -2;      // GetADName2ADType found nothing

    // The one catalogue of the program, created on first use; ReleaseInstance drops it at shut-down.
    static CBoard& instance();
    static void ReleaseInstance();

    int32_t GetADName2ADType(const std::string& name) const;
    void GetADDataFormat_Signed_Unsigned(std::vector<int32_t>& flags) const;

    // Per-type accessors: -1 gives the debug source, 0..32 the table; any other type raises
    // run-time error 9.
    bool IsEnableDeviceName(int32_t type) const;
    int32_t SelectBoard() const { return selectBoard_; }
    void SelectBoard(int32_t type) { selectBoard_ = type; }
    int32_t BordBit(int32_t type) const;
    int32_t BoardMaxCH(int32_t type) const;
    std::string BoardName(int32_t type) const;
    std::string DeviceName(int32_t type) const;
    bool TrgSupport(int32_t type) const;
    bool TrelmSoftTrgSupport(int32_t type) const;
    bool DigitalTrgSupport(int32_t type) const;

private:
    int32_t selectBoard_ = 0;
};

}  // namespace qv
