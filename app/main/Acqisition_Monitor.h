#pragma once
// Small helpers shared by the monitor's drawing, band and range code of the main window.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

#include "app/channel/AcqCondition.h"
#include "app/channel/CCalcCAL.h"
#include "app/channel/CWave.h"
#include "app/common/IniSet.h"
#include "app/main/Acqisition.h"
#include "platform/basic/Numbers.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/Controls.h"

namespace qv::monitor {

// A 0-based channel range, first..last inclusive, within 0..31 (empty when last < first).
struct ChannelSpan {
    int32_t first = 0;
    int32_t last = -1;
};

// The channels lStartCH..lEndCH of a conditions record, 0-based and kept inside the 32 rows.
inline ChannelSpan channelsOf(const AcqCondition& c) {
    return {std::max(c.lStartCH - 1, 0), std::min(c.lEndCH - 1, 31)};
}

// The channel object of ch (0..31), made when its entry is still empty.
inline CWave& waveOf(int32_t ch) {
    auto& waves = Acqisition::GCWave;
    if (waves.size() < 32) waves.resize(32);
    auto& w = waves.at(static_cast<size_t>(ch));
    if (!w) w = std::make_unique<CWave>();
    return *w;
}

// A range box's number: the leading numeric part of its text, 0 when there is none; beyond the
// single range an infinity, which draws no trace.
inline float boxValue(const forms::TextBox& box) {
    return static_cast<float>(basic::TypedVal(box.Text()));
}

// An A/D count in a calibration record's unit; nothing when the record cannot convert it (a
// Cal_AD or Base_AD beyond 32 bits, a zero Cal_AD, a result beyond single precision: the
// values of a damaged recording), as the level boxes treat such a row.
inline std::optional<float> levelOf(const CalRecord& c, float count) {
    try {
        return CCalcCAL::Calc_Digi2Analog(count, basic::CLng(c.Cal_AD), basic::CLng(c.Base_AD), c.EU_HI,
                                          c.EU_LO);
    } catch (const basic::RuntimeError& e) {
        if (e.number() != basic::errOverflow && e.number() != basic::errDivisionByZero) throw;
        return std::nullopt;
    }
}

}  // namespace qv::monitor
