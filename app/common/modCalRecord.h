#pragma once
// The calibration as the library and the raw-to-units conversion take it: one record of four
// floats per channel (CalRecordArray) and the channels' names and units as 32-byte fields joined
// in channel order (GstrCalNames, GstrCalUnits). Copies between that form and a calibration
// table for a range of channels.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/common/IniSet.h"

namespace qv {

class CCalSetting;

// Size of GstrCalNames / GstrCalUnits as handed to the library: 32 fields of 32 CP932 bytes.
inline constexpr int32_t kCalTextBytes = 1024;

// `text` left-aligned into a buffer of kCalTextBytes CP932 bytes: blank-padded when shorter,
// cut when longer (never inside a double-byte character). The result is UTF-8.
std::string CalTextLSet(std::string_view text);
// The CP932 bytes of a name or unit buffer, exactly kCalTextBytes long, ready for the library.
std::string CalTextBytes(std::string_view buffer);

// Channels first..last (1-based) of `table` into `records`, their names and units joined into
// `names` and `units` (32 bytes a channel). A value text that is not a number raises run-time
// error 13 (records already filled stay filled); a channel outside 1..32 raises 9.
void CalToArray(CalRecordArray& records, std::string& names, std::string& units,
                const CCalSetting& table, int32_t first, int32_t last);
// The reverse: the records' values as their shortest decimal texts, and names and units taken
// off the front of `names` and `units`, 32 bytes a channel (what is left stays in them).
void ArrayToCal(const CalRecordArray& records, std::string& names, std::string& units,
                CCalSetting& table, int32_t first, int32_t last);

}  // namespace qv
