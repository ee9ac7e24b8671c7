#pragma once
// The ready calibration tables of the amplifiers and A/D front ends the acquisition conditions
// can name: one table per model and input range, filled at start-up with the device's A/D span,
// base count and engineering range on all 32 channels, and correctable per site through section
// "INTCAL" of "Tolvane.ini". Looked up by the board label the conditions window shows.
#include <string>
#include <string_view>

#include "app/channel/CCalSetting.h"

namespace qv {

// The preset of that name ("GCCalSetting_K10_5V", ...), created with the table defaults on first
// use. A name that is not one of the presets is run-time error 9.
CCalSetting& GCCalSetting(std::string_view presetName);

// Fills every preset with its values (names CH1..CH32), then applies the "INTCAL" overrides of
// "Tolvane.ini" in the program folder. The ini module's current file is restored afterwards.
void InitAmpCalTable();

// The preset whose board label is `name` exactly ("デバッグ", "VylK10[±5]", ...); an empty name is
// first replaced, in the argument too, by the live conditions' strADBOARD. nullptr when no
// preset carries that label.
CCalSetting* GetIntCAL(std::string& name);
// The live board's preset, or a set of the defaults when no preset carries its label: the
// recording load, the unit switch and the CSV export convert through the same set.
const CCalSetting& BoardCalOrDefault();

}  // namespace qv
